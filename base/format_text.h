// Bounded formatting with the conversions the program's texts use: %s and %%.
#pragma once
#include <cstddef>

// Writes format into out (capacity bytes with the terminator), taking the texts of args in
// order for each %s; a %s beyond the last text yields nothing, %% yields %, and every other
// byte (a lone % and % before any other letter included) is copied unchanged. Returns false
// when the result had to be cut to fit.
bool FormatInto(char* out, size_t capacity, const char* format, const char* const* args,
                size_t count);

template <size_t N, typename... Texts>
bool FormatText(char (&out)[N], const char* format, Texts... texts)
{
    const char* args[] = {texts..., nullptr};
    return FormatInto(out, N, format, args, sizeof...(Texts));
}
