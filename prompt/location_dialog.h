// The modal dialog that asks where the target file is.
#pragma once
#include <cstdint>

#include "host/host.h"

intptr_t LocationDialogProc(HostWindow dialog, uint32_t message, uintptr_t wParam, intptr_t);

// Runs the dialog from template 102 with no owner; 1 when OK accepted a location.
intptr_t RunLocationDialog();
