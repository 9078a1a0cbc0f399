// Building texts in fixed buffers without ever passing their end, and scanning them one
// character at a time, so that a double-byte character's second byte is never taken for a
// separator, an escape or a quote.
#pragma once
#include <cstddef>

#include "host/host.h"

inline size_t TextLength(const char* text)
{
    size_t n = 0;
    while (text[n] != '\0')
        ++n;
    return n;
}

// The bytes of the character at text: two for a lead byte with its trail byte, else one.
inline size_t CharLength(const char* text)
{
    return HostIsDbcsLeadByte(static_cast<unsigned char>(text[0])) && text[1] != '\0' ? 2 : 1;
}

// True when text holds one of the single-byte characters of bytes.
inline bool HoldsAnyOf(const char* text, const char* bytes)
{
    for (size_t i = 0; text[i] != '\0'; i += CharLength(text + i))
        for (const char* b = bytes; *b != '\0'; ++b)
            if (text[i] == *b)
                return true;
    return false;
}

// Writes into a buffer of fixed capacity, keeping it terminated after every byte; what does
// not fit is dropped, and Cut tells that it was.
class TextBuilder {
public:
    // capacity is at least 1: every buffer has room for its terminator.
    TextBuilder(char* out, size_t capacity) : out_(out), capacity_(capacity) { out_[0] = '\0'; }

    void Put(char c)
    {
        if (used_ + 1 < capacity_) {
            out_[used_++] = c;
            out_[used_] = '\0';
        } else {
            cut_ = true;
        }
    }

    void Append(const char* text)
    {
        for (; *text != '\0'; ++text)
            Put(*text);
    }

    size_t Length() const { return used_; }
    bool Cut() const { return cut_; }

private:
    char* out_;
    size_t capacity_;
    size_t used_ = 0;
    bool cut_ = false;
};

// Copies as much as fits; false when the text had to be cut.
inline bool CopyTextInto(char* dest, size_t capacity, const char* src)
{
    TextBuilder out(dest, capacity);
    out.Append(src);
    return !out.Cut();
}

template <size_t N>
bool CopyText(char (&dest)[N], const char* src)
{
    return CopyTextInto(dest, N, src);
}

// Appends as much as fits; false when the text had to be cut.
template <size_t N>
bool AppendText(char (&dest)[N], const char* src)
{
    size_t n = TextLength(dest);
    TextBuilder out(dest + n, N - n);
    out.Append(src);
    return !out.Cut();
}

// Byte comparison, letter case counting; 0 when equal.
inline int CompareText(const char* a, const char* b)
{
    size_t i = 0;
    while (a[i] != '\0' && a[i] == b[i])
        ++i;
    return static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i]);
}

inline bool StartsWith(const char* text, const char* prefix)
{
    for (size_t i = 0; prefix[i] != '\0'; ++i)
        if (text[i] != prefix[i])
            return false;
    return true;
}
