// The modal dialog that asks where the target file is.
#pragma once
#include <cstdint>

#include "host/host.h"

intptr_t LocationDialogProc(HostWindow dialog, uint32_t message, uintptr_t wParam, intptr_t);

// Runs the dialog from template 102 with no owner; 1 when OK accepted a location.
intptr_t RunLocationDialog();

// Moves window so that its centre lies at the centre of reference, size and Z order kept.
void CenterOnDesktop(HostWindow window, HostWindow reference);

enum class BrowseResult {
    Chosen,     // Location is the chosen file's directory
    Cancelled,  // nothing chosen: Location is as it was
    Unusable,   // the chosen file's directory has no ANSI form: Location is as it was
};

// Lets the user pick the target file; on a choice Location becomes its directory.
BrowseResult BrowseForTarget(HostWindow dialog);
