// The one record of a run: tokens, flags, locations and the paths derived from them.
#pragma once
#include <cstddef>
#include <cstdint>

#include "host/host.h"

constexpr size_t PathCapacity = 520;      // directories and paths
constexpr size_t NameCapacity = 260;      // the target file name, option letters, browsed path
constexpr size_t TemplateCapacity = 800;  // the command template
constexpr size_t TextCapacity = 1024;     // the title and every formatted text
constexpr size_t KeyPathCapacity = 2048;  // the registry key path

// Derived texts get room for the longest text their inputs can make, so they are never cut.
constexpr size_t ProbePathCapacity = PathCapacity + NameCapacity;  // dir, "\", name
constexpr size_t ScriptPathCapacity = PathCapacity + 12;           // dir, "\NRVARCD.BAT"

struct LaunchState {
    HostInstance Instance;  // the program's module, for its strings and dialog template

    // The four tokens of the command line, or the default run's values.
    char TargetFile[NameCapacity];           // the file that marks the location; the value name
    char ProductTitle[TextCapacity];         // the name the dialog shows
    char CommandTemplate[TemplateCapacity];  // the command to start, %s for the target's paths
    char OptionLetters[NameCapacity];        // the fourth token as given

    bool FloppyPrompt;      // option 1: media kind 1 is asked for as floppy disk 1
    bool ScriptMode;        // option P: write NRVARCD.BAT instead of starting a tool
    bool PathPrefix;        // option S, and the default run: Location goes in front of PATH
    bool CommandIsLiteral;  // the default run: the command is started as it stands
    bool WaitForTool;       // option W: wait for the tool and end with its exit code
    bool SaveNeeded;        // Location must be written back (and in script mode, the file)

    uint32_t MediaKind;  // the registry's "media": 0 CD-ROM, 1 installed, 2 network

    // Where the target file is expected: as stored, the current directory, or as the dialog
    // leaves it. Kept as given, trailing separators and all, since it goes into PATH so.
    char Location[PathCapacity];
    char LocationDir[PathCapacity];       // Location without trailing separators, for joining
    char ProgramDir[PathCapacity];        // the program's own directory, empty if unknown
    char ScriptPath[ScriptPathCapacity];  // ProgramDir\NRVARCD.BAT, in script mode
    char ProbePath[ProbePathCapacity];    // LocationDir\TargetFile, the path that is tested
};

extern LaunchState Launch;

// Clears the record to its state at start: every text empty, every number 0.
void ResetLaunchState();
