// Starting the tool: the template expanded, the location put in front of PATH.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/launch_state.h"

constexpr size_t TargetDirCapacity = PathCapacity + 1;  // LocationDir and one backslash

// Room for the template with its first four %s replaced by the longest texts they can take
// (each %s is two bytes of the template), the quotes around a leading path included.
constexpr size_t ChildCommandLineCapacity =
    TemplateCapacity + 2 + ProbePathCapacity + 3 * TargetDirCapacity;

// Expands template into out: %s takes probePath, then targetDir three times, and nothing
// after that; %% yields %; every other byte is copied. A template that begins with %s
// starts the target file itself, so a blank or tab in its path gets it quoted.
void ExpandCommandTemplate(char (&out)[ChildCommandLineCapacity], const char* commandTemplate,
                           const char* probePath, const char* targetDir);

// The longest value the platform keeps in an environment variable, in characters.
constexpr uint32_t EnvironmentValueLimit = 32767;

// Puts Location, a semicolon and the old value in front of PATH for the child; a value
// that would pass the platform's limit is not put together, and PATH stays as it was.
void PrefixPath();

// Starts the tool; false, once the failure is reported, when it could not be started. With
// option W it then waits for the tool to end and sets *toolExitCode to the code it ended with;
// without W, *toolExitCode is left as it was.
bool LaunchTarget(uint32_t* toolExitCode);
