// The command-line tokens: target file, title, command template and option letters.
#pragma once
#include <cstddef>

// Reads one token from source into dest (capacity bytes with the terminator): blanks
// skipped first, then bytes up to a blank outside quotes, with _ read as a blank and $ as a
// per-cent sign. Returns where the next token may start, or null when there was no token
// (dest is then left as it was). *fits is cleared when the token did not fit; dest then
// holds its first capacity - 1 bytes.
const char* ReadTokenInto(const char* source, char* dest, size_t capacity, bool* fits);

template <size_t N>
const char* ReadToken(const char* source, char (&dest)[N], bool* fits)
{
    return ReadTokenInto(source, dest, N, fits);
}

// Fills the four token fields and the option flags from the tail, or chooses the default
// run. Needs ProgramDir and Instance. Returns false when a token or the default command is
// too long for its field: the run must then be refused.
bool ReadArguments(const char* tail);
