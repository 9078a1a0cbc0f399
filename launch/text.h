// Copying into fixed buffers without ever passing their end.
#pragma once
#include <cstddef>

inline size_t TextLength(const char* text)
{
    size_t n = 0;
    while (text[n] != '\0')
        ++n;
    return n;
}

// Copies as much as fits; false when the text had to be cut.
template <size_t N>
bool CopyText(char (&dest)[N], const char* src)
{
    size_t n = 0;
    for (; src[n] != '\0' && n + 1 < N; ++n)
        dest[n] = src[n];
    dest[n] = '\0';
    return src[n] == '\0';
}

// Appends as much as fits; false when the text had to be cut.
template <size_t N>
bool AppendText(char (&dest)[N], const char* src)
{
    size_t n = TextLength(dest);
    size_t i = 0;
    for (; src[i] != '\0' && n + 1 < N; ++i, ++n)
        dest[n] = src[i];
    dest[n] = '\0';
    return src[i] == '\0';
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
