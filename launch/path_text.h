// The rules by which directory texts are cut, completed, quoted and probed.
#pragma once

inline bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

void StripTrailingSeparators(char* text);
void CutLastComponent(char* text);
void CompleteDriveRoot(char* text);  // the buffer needs room for one more byte
const char* QuoteIfBlank(const char* text);
bool PathExists(const char* path);
