// Names the system gives in Unicode, as the ANSI texts the program works with: converted
// exactly, else by their short (8.3) name, which every code page can spell; never by a
// look-alike (dirΩ is not dirO). And the texts the program writes for cmd, in cmd's own
// code page by the same rule.
#pragma once
#include <cstddef>
#include <cstdint>

#include "host/host.h"
#include "base/launch_state.h"

// Room for any path the program holds, in UTF-16 units with the terminator.
constexpr size_t WidePathCapacity = PathCapacity;

inline size_t WideLength(const HostWideChar* text)
{
    size_t n = 0;
    while (text[n] != 0)
        ++n;
    return n;
}

// Unit for unit, letter case included.
inline bool SameWideText(const HostWideChar* a, const HostWideChar* b)
{
    size_t n = 0;
    while (a[n] != 0 && a[n] == b[n])
        ++n;
    return a[n] == b[n];
}

// A text of the program's as UTF-16, which holds every ANSI text exactly; false (and the
// empty text) when it does not fit.
bool WidenInto(const char* text, HostWideChar* out, size_t capacity);

template <size_t N>
bool Widen(const char* text, HostWideChar (&out)[N])
{
    return WidenInto(text, out, N);
}

enum class NameForm {
    Exact,     // the name itself
    Short,     // its short name, since the ANSI code page cannot spell the name
    Unusable,  // neither fits: the name must not be used
};

// The name as an ANSI text in out (capacity bytes with the terminator). A name that is
// spelled exactly but does not fit is unusable, as a name too long always was.
NameForm AnsiNameInto(const HostWideChar* name, char* out, size_t capacity);

template <size_t N>
NameForm AnsiName(const HostWideChar* name, char (&out)[N])
{
    return AnsiNameInto(name, out, N);
}

// A relative folder (SUITE\BIN, .\BIN, F:SUITE\BIN, \SUITE\BIN) made absolute against the
// current directory, so that it names the same folder wherever the tool later stands; an
// absolute one, a bare drive (D:) and the empty text (the current drive's root) are kept.
// False when the absolute form does not fit or has no ANSI form.
bool AbsoluteFolder(char (&folder)[PathCapacity]);

// The code page a new console starts with: the system locale's OEM code page, which a
// manifest cannot change as it can the process's own.
uint32_t ConsoleCodePage();

// An ANSI name for a batch file that cmd reads in its code page: the same bytes when that is
// the ANSI code page, else converted exactly or by its short name; false when neither can
// be spelled there.
bool ConsoleNameInto(const char* name, char* out, size_t capacity);

// A line for a reader in cmd's code page; a character it lacks becomes a question mark.
// Its length.
size_t ConsoleTextInto(const char* text, char* out, size_t capacity);
