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
    HostInstance Instance;
    char TargetFile[NameCapacity];
    char ProductTitle[TextCapacity];
    char CommandTemplate[TemplateCapacity];
    char OptionLetters[NameCapacity];
    uint32_t FloppyPrompt;
    uint32_t MediaKind;
    char Location[PathCapacity];
    char LocationDir[PathCapacity];
    char ProgramDir[PathCapacity];
    char ScriptPath[ScriptPathCapacity];
    char ProbePath[ProbePathCapacity];
    uint32_t ScriptMode;
    uint32_t PathPrefix;
    uint32_t SaveNeeded;
};

extern LaunchState Launch;

// Clears the record to its state at start: every text empty, every number 0.
void ResetLaunchState();
