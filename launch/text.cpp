// Building and scanning texts: the out-of-line half of text.h.
#include "launch/text.h"

size_t CharLength(const char* text)
{
    return HostIsDbcsLeadByte(static_cast<unsigned char>(text[0])) && text[1] != '\0' ? 2 : 1;
}

bool HoldsAnyOf(const char* text, const char* bytes)
{
    for (size_t i = 0; text[i] != '\0'; i += CharLength(text + i))
        for (const char* b = bytes; *b != '\0'; ++b)
            if (text[i] == *b)
                return true;
    return false;
}

void TextBuilder::Put(char c)
{
    if (used_ + 1 < capacity_) {
        out_[used_++] = c;
        out_[used_] = '\0';
    } else {
        cut_ = true;
    }
}

void TextBuilder::Append(const char* text)
{
    for (; *text != '\0'; ++text)
        Put(*text);
}
