// Conversions between the program's ANSI texts, the system's Unicode names and cmd's code page.
#include "base/wide_text.h"

#include "base/path_text.h"
#include "base/text.h"

namespace {

// Room for the longest ANSI form of a wide path: two bytes a unit in a double-byte page.
constexpr size_t SpelledCapacity = 2 * WidePathCapacity;

// name in codePage, whole and exact into out; false when a character has no form there or
// the text does not fit.
bool SpellExactly(uint32_t codePage, const HostWideChar* name, char* out, size_t capacity)
{
    bool usedDefault = false;
    int n = HostWideCharToMultiByte(codePage, HostWcNoBestFitChars, name, -1, out,
                                    static_cast<int>(capacity), &usedDefault);
    return n > 0 && !usedDefault;
}

// The name spelled in codePage: exactly, else by its short name. An exact spelling too long
// for capacity is not shortened: it is unusable, as it always was.
NameForm SpellName(uint32_t codePage, const HostWideChar* name, char* out, size_t capacity)
{
    static char spelled[SpelledCapacity];
    out[0] = '\0';
    if (SpellExactly(codePage, name, spelled, sizeof spelled))
        return CopyTextInto(out, capacity, spelled) ? NameForm::Exact : NameForm::Unusable;
    static HostWideChar shortName[WidePathCapacity];
    uint32_t n = HostGetShortPathName(name, shortName, WidePathCapacity);
    if (n == 0 || n >= WidePathCapacity || !SpellExactly(codePage, shortName, out, capacity)) {
        out[0] = '\0';
        return NameForm::Unusable;
    }
    return NameForm::Short;
}

}  // namespace

bool WidenInto(const char* text, HostWideChar* out, size_t capacity)
{
    int n = HostMultiByteToWideChar(HostCpAcp, text, -1, out, static_cast<int>(capacity));
    if (n > 0)
        return true;
    if (capacity != 0)
        out[0] = 0;
    return false;
}

NameForm AnsiNameInto(const HostWideChar* name, char* out, size_t capacity)
{
    return SpellName(HostCpAcp, name, out, capacity);
}

bool AbsoluteFolder(char (&folder)[PathCapacity])
{
    if (folder[0] == '\0' || IsBareDrive(folder) || IsAbsolutePath(folder))
        return true;
    static HostWideChar relative[WidePathCapacity];
    static HostWideChar full[WidePathCapacity];
    if (!Widen(folder, relative))
        return false;
    uint32_t n = HostGetFullPathName(relative, WidePathCapacity, full);
    return n != 0 && n < WidePathCapacity && AnsiName(full, folder) != NameForm::Unusable;
}

uint32_t ConsoleCodePage()
{
    char digits[8] = "";
    HostGetLocaleInfo(HostLocaleSystemDefault, HostLocaleIDefaultCodePage, digits,
                      static_cast<int>(sizeof digits));
    uint32_t page = 0;
    for (size_t i = 0; digits[i] >= '0' && digits[i] <= '9'; ++i)
        page = page * 10 + static_cast<uint32_t>(digits[i] - '0');
    return page != 0 ? page : HostGetACP();
}

bool ConsoleNameInto(const char* name, char* out, size_t capacity)
{
    uint32_t console = ConsoleCodePage();
    if (console == HostGetACP())
        return CopyTextInto(out, capacity, name);
    static HostWideChar wide[WidePathCapacity];
    return Widen(name, wide) && SpellName(console, wide, out, capacity) != NameForm::Unusable;
}

size_t ConsoleTextInto(const char* text, char* out, size_t capacity)
{
    uint32_t console = ConsoleCodePage();
    if (console == HostGetACP()) {
        CopyTextInto(out, capacity, text);
        return TextLength(out);
    }
    static HostWideChar wide[4 * TextCapacity];
    bool usedDefault = false;
    int n = Widen(text, wide)
                ? HostWideCharToMultiByte(console, HostWcNoBestFitChars, wide, -1, out,
                                          static_cast<int>(capacity), &usedDefault)
                : 0;
    if (n <= 0) {
        out[0] = '\0';
        return 0;
    }
    return static_cast<size_t>(n - 1);
}
