// NRVARCD.BAT: the program's and the location's BIN, INCLUDE and LIB in front of the
// variables, for both command interpreters.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/launch_state.h"

// A root as the batch file writes it: each per-cent sign doubled, so cmd reads it back as one.
constexpr size_t ScriptRootCapacity = 2 * PathCapacity;

// A block holds each of the two roots three times, with up to six quotes around them and
// 93 bytes of its own; this room fits the longest roots the program can have.
constexpr size_t ScriptBlockCapacity = ScriptRootCapacity * 6 + 93 + 18 + 1;

// Formats the block of three set lines for other interpreters; valueQuote encloses the old
// values. A root that holds a blank, a tab or one of cmd's & | < > ^ is written in double
// quotes.
size_t FormatEnvironmentBlock(char (&block)[ScriptBlockCapacity], const char* programParent,
                              const char* locationParent, const char* valueQuote);

// The block for cmd (OS Windows_NT): its own text, written with each variable's lines three
// times, and the two roots nine times.
constexpr size_t ScriptNtTextCapacity = 4096;
constexpr size_t ScriptNtBlockCapacity =
    3 * ScriptNtTextCapacity + 9 * (2 * ScriptRootCapacity + 18) + 1;

// Formats the block for cmd: it puts the roots' BIN, INCLUDE and LIB in front of PATH, INCLUDE
// and LIB, each old value kept byte for byte as data, takes out what the last call added, and
// with the argument /off only takes that out.
size_t FormatNtBlock(char (&block)[ScriptNtBlockCapacity], const char* programParent,
                     const char* locationParent);

// The whole file: the header, the two blocks and the lines between and after them.
constexpr size_t ScriptCapacity = 88 + 20 + 7 + ScriptBlockCapacity + ScriptNtBlockCapacity;

// Why the file could not be written: the system's error code, or the folder that cmd's code
// page cannot spell.
struct ScriptFailure {
    uint32_t Error;
    char Folder[PathCapacity];
};

// Formats the file for ProgramDir and LocationDir, each root in cmd's code page; its length,
// or 0 when a root cannot be spelled there (the root is then in failure.Folder).
size_t FormatEnvironmentScript(char (&script)[ScriptCapacity], ScriptFailure& failure);

enum class ScriptOutcome {
    Written,      // the new file replaced the old one, or was created
    Current,      // the file already holds these very bytes: nothing was written
    Kept,         // a read-only file, or a directory, stands under the name: left alone on purpose
    Failed,       // nothing could be written or moved into place: the old file is as it was
    Unspellable,  // cmd could not read a root back: nothing was written
};

// Writes the whole file beside the program, replacing the old one in one step; on any
// failure the old file stays as it was, no temporary file is left and failure says why.
// With onlyWhenChanged, a file that already holds the same bytes is left alone.
ScriptOutcome WriteEnvironmentScript(bool onlyWhenChanged, ScriptFailure& failure);
