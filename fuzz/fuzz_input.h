// Splitting one fuzzer input into the pieces a target needs.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }

    // The next piece, up to a 0xFF separator (or the end), without NUL bytes.
    std::string Text(size_t longest = 100000)
    {
        std::string s;
        while (pos_ < size_ && data_[pos_] != 0xFF) {
            if (data_[pos_] != 0 && s.size() < longest)
                s += static_cast<char>(data_[pos_]);
            ++pos_;
        }
        if (pos_ < size_)
            ++pos_;
        return s;
    }

    // The next piece with its bytes as they are, NUL bytes included.
    std::string Bytes()
    {
        std::string s;
        while (pos_ < size_ && data_[pos_] != 0xFF)
            s += static_cast<char>(data_[pos_++]);
        if (pos_ < size_)
            ++pos_;
        return s;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

#define FUZZ_CHECK(condition)                                   \
    do {                                                        \
        if (!(condition)) {                                     \
            __builtin_printf("property failed: %s\n", #condition); \
            std::abort();                                       \
        }                                                       \
    } while (0)
