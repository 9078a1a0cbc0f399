// The one linear run, from the command-line tail to the exit code.
#pragma once
#include "host/host.h"

constexpr int ExitStarted = 0;     // the tool was started, or script mode had nothing to do
constexpr int ExitScript = 1;      // script mode wrote, or failed to create, the batch file
constexpr int ExitCancelled = 2;   // the location dialog ended without OK, or the run was refused
constexpr int ExitNotStarted = 3;  // the tool could not be started

int RunLauncher(HostInstance instance, const char* tail);
