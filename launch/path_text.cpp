// Path text rules: both separators count, the program joins with a backslash.
#include "launch/path_text.h"

#include "host/host.h"
#include "launch/text.h"

void StripTrailingSeparators(char* text)
{
    size_t n = TextLength(text);
    while (n > 0 && IsSeparator(text[n - 1]))
        text[--n] = '\0';
}

// The text ends at its last separator; a separator in the first byte does not count.
void CutLastComponent(char* text)
{
    size_t n = TextLength(text);
    if (n == 0)
        return;
    for (size_t i = n - 1; i >= 1; --i) {
        if (IsSeparator(text[i])) {
            text[i] = '\0';
            return;
        }
    }
    text[0] = '\0';
}

void CompleteDriveRoot(char* text)
{
    if (text[0] != '\0' && text[1] == ':' && text[2] == '\0') {
        text[2] = '\\';
        text[3] = '\0';
    }
}

const char* QuoteIfBlank(const char* text)
{
    for (size_t i = 0; text[i] != '\0'; ++i)
        if (text[i] == ' ' || text[i] == '\t')
            return "\"";
    return "";
}

// A directory of the same name counts as present, just like a file.
bool PathExists(const char* path)
{
    return HostGetFileAttributes(path) != HostNoAttributes;
}
