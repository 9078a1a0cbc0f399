// Path text rules: both separators count, the program joins with a backslash.
#include "base/path_text.h"

#include "host/host.h"
#include "base/text.h"

namespace {

// Where text, read from start, ends once the single-byte characters that dropped picks are
// taken off its end: just after the last character that stays.
size_t EndWithout(const char* text, size_t start, bool (*dropped)(char))
{
    size_t end = start;
    for (size_t i = start; text[i] != '\0';) {
        size_t n = CharLength(text + i);
        if (n != 1 || !dropped(text[i]))
            end = i + n;
        i += n;
    }
    return end;
}

}  // namespace

void StripTrailingSeparators(char* text)
{
    text[EndWithout(text, 0, IsSeparator)] = '\0';
}

// The text ends at its last separator; a separator in the first byte does not count.
void CutLastComponent(char* text)
{
    size_t cut = 0;
    for (size_t i = 0; text[i] != '\0';) {
        size_t n = CharLength(text + i);
        if (n == 1 && i >= 1 && IsSeparator(text[i]))
            cut = i;
        i += n;
    }
    text[cut] = '\0';
}

void CutToParent(char* text)
{
    if (IsBareDrive(text))
        return;
    // A share root: two separators, a server name, one separator and a share name.
    if (IsSeparator(text[0]) && IsSeparator(text[1])) {
        size_t separators = 0;
        bool emptyPart = text[2] == '\0' || IsSeparator(text[2]);
        for (size_t i = 2; text[i] != '\0';) {
            size_t n = CharLength(text + i);
            if (n == 1 && IsSeparator(text[i])) {
                ++separators;
                emptyPart = emptyPart || text[i + 1] == '\0' || IsSeparator(text[i + 1]);
            }
            i += n;
        }
        if (separators == 1 && !emptyPart)
            return;
    }
    CutLastComponent(text);
}

void CompleteDriveRoot(char* text)
{
    if (IsBareDrive(text)) {
        text[2] = '\\';
        text[3] = '\0';
    }
}

const char* QuoteIfHolds(const char* text, const char* bytes)
{
    return HoldsAnyOf(text, bytes) ? "\"" : "";
}

// A directory of the same name counts as present, just like a file.
bool PathExists(const char* path)
{
    return HostGetFileAttributes(path) != HostNoAttributes;
}

bool IsAbsolutePath(const char* text)
{
    if (IsSeparator(text[0]))
        return IsSeparator(text[1]);
    return IsDriveLetter(text[0]) && text[1] == ':' && IsSeparator(text[2]);
}

void TrimPastedPath(char* text)
{
    size_t start = 0;
    while (IsBlank(text[start]))
        ++start;
    size_t end = EndWithout(text, start, IsBlank);
    if (end - start >= 2 && text[start] == '"' && text[end - 1] == '"') {
        ++start;
        --end;
    }
    size_t length = end - start;
    for (size_t i = 0; i < length; ++i)
        text[i] = text[start + i];
    text[length] = '\0';
}
