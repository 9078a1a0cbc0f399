// What the run says when it cannot do what it was asked: a box for the person at the
// screen, or, in an unattended run, one line on standard error.
#pragma once
#include <cstdint>

#include "base/launch_state.h"

// NRCDROM_UNATTENDED set to anything but empty or 0: the run shows no window.
bool IsUnattended();

// Writes line to the standard error, when the process has one.
void TellStandardError(const char* line);

// The system's text for error, without the line end it comes with; "error N" when the
// system has none.
void SystemReason(uint32_t error, char (&reason)[TextCapacity]);

// The tool named by commandLine could not be started: a box, or the line when unattended.
void ReportStartFailure(const char* commandLine, uint32_t error);

// NRVARCD.BAT could not be written: an unattended run says so and why (the system's error,
// or the folder that cmd's code page cannot spell); an attended run says nothing, as the
// exit code tells it.
// folder is the one cmd's code page cannot spell, or empty when error is the reason.
void ReportScriptFailure(uint32_t error, const char* folder);
