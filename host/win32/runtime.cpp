// The few runtime routines the compiler may call on its own, since no C runtime is linked.
#include <cstddef>

extern "C" {

void* memset(void* dest, int value, size_t count)
{
    volatile unsigned char* d = static_cast<unsigned char*>(dest);
    for (size_t i = 0; i < count; ++i)
        d[i] = static_cast<unsigned char>(value);
    return dest;
}

void* memcpy(void* dest, const void* src, size_t count)
{
    volatile unsigned char* d = static_cast<unsigned char*>(dest);
    const unsigned char* s = static_cast<const unsigned char*>(src);
    for (size_t i = 0; i < count; ++i)
        d[i] = s[i];
    return dest;
}

void* memmove(void* dest, const void* src, size_t count)
{
    volatile unsigned char* d = static_cast<unsigned char*>(dest);
    const unsigned char* s = static_cast<const unsigned char*>(src);
    if (d < s) {
        for (size_t i = 0; i < count; ++i)
            d[i] = s[i];
    } else {
        for (size_t i = count; i > 0; --i)
            d[i - 1] = s[i - 1];
    }
    return dest;
}

size_t strlen(const char* text)
{
    const volatile char* p = text;
    size_t n = 0;
    while (p[n] != '\0')
        ++n;
    return n;
}
}
