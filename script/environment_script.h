// NRVARCD.BAT: the program's and the location's BIN, INCLUDE and LIB in front of the
// variables, for both command interpreters.
#pragma once
#include <cstddef>

#include "launch/launch_state.h"

// A block holds each of the two parents three times, with up to six quotes around them and
// 93 bytes of its own; this room fits the longest parents the program can have.
constexpr size_t ScriptBlockCapacity = PathCapacity * 6 + 93 + 18 + 1;

// Formats one block of three set lines; valueQuote encloses the old values.
size_t FormatEnvironmentBlock(char (&block)[ScriptBlockCapacity], const char* programParent,
                              const char* locationParent, const char* valueQuote);

// Writes the whole file beside the program, replacing the old one in one step; on any
// failure the old file stays as it was and no temporary file is left.
void WriteEnvironmentScript();
