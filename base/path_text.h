// The rules by which directory texts are cut, completed, quoted and probed. Every scan goes a
// character at a time: on a double-byte code page a trail byte of 0x5C is not a separator.
#pragma once
#include <cstddef>

#include "base/format_text.h"

inline bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// The bytes that end a word on a command line, and that a path holding one is quoted for.
constexpr const char* BlankBytes = " \t";

inline bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

inline bool IsDriveLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A drive letter and a colon, as D:.
inline bool IsBareDrive(const char* text)
{
    return IsDriveLetter(text[0]) && text[1] == ':' && text[2] == '\0';
}

void StripTrailingSeparators(char* text);
void CutLastComponent(char* text);
// The folder above text, where a drive (E:) or a share (\\srv\share) is its own parent:
// the folder above E:\ is still on E:, never the root of whatever drive is current.
void CutToParent(char* text);
void CompleteDriveRoot(char* text);  // the buffer needs room for one more byte
// A double quote when text holds one of the single-byte characters of bytes, else empty.
const char* QuoteIfHolds(const char* text, const char* bytes);

inline const char* QuoteIfBlank(const char* text)
{
    return QuoteIfHolds(text, BlankBytes);
}

// dir, a backslash and name: where the program looks for name in dir.
template <size_t N>
void JoinPath(char (&out)[N], const char* dir, const char* name)
{
    FormatText(out, "%s\\%s", dir, name);
}
bool PathExists(const char* path);

// A drive letter, a colon and a separator, or two leading separators (a network path).
bool IsAbsolutePath(const char* text);

// Removes blanks and tabs before and after the text, then one pair of double quotes around
// the whole of it, as a path pasted from elsewhere often carries them.
void TrimPastedPath(char* text);
