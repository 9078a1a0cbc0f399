// Splitting one fuzzer input into the pieces a target needs.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
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

// Which bytes of text begin a single-byte character under the fake machine's code page: an
// account of its own, kept apart from the program's scanning so that the two can disagree.
inline std::string SingleBytes(const std::string& text, const std::set<unsigned char>& leadBytes)
{
    std::string mask(text.size(), '0');
    for (size_t i = 0; i < text.size();) {
        if (leadBytes.count(static_cast<unsigned char>(text[i])) != 0 && i + 1 < text.size()) {
            i += 2;
        } else {
            mask[i] = '1';
            ++i;
        }
    }
    return mask;
}

// True when text holds, as a single-byte character, one of bytes.
inline bool HoldsSingle(const std::string& text, const std::set<unsigned char>& leadBytes,
                        const char* bytes)
{
    std::string mask = SingleBytes(text, leadBytes);
    for (size_t i = 0; i < text.size(); ++i)
        if (mask[i] == '1' && std::string(bytes).find(text[i]) != std::string::npos)
            return true;
    return false;
}

#define FUZZ_CHECK(condition)                                      \
    do {                                                           \
        if (!(condition)) {                                        \
            __builtin_fprintf(stderr, "property failed: %s\n", #condition); \
            std::abort();                                          \
        }                                                          \
    } while (0)
