// The Browse button's open-file dialog.
#pragma once
#include "host/host.h"

enum class BrowseResult {
    Chosen,     // Location is the chosen file's directory
    Cancelled,  // nothing chosen: Location is as it was
    Unusable,   // the chosen file's directory has no ANSI form: Location is as it was
};

// Lets the user pick the target file; on a choice Location becomes its directory.
BrowseResult BrowseForTarget(HostWindow dialog);
