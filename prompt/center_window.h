// Placing the location dialog in the middle of the screen.
#pragma once
#include "host/host.h"

// Moves window so that its centre lies at the centre of reference, size and Z order kept.
void CenterOnDesktop(HostWindow window, HostWindow reference);
