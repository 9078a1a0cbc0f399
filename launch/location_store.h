// The registry record of where each target file was last found.
#pragma once
#include "launch/launch_state.h"

// Builds the product key path and tests that the key opens; the path is left empty when it
// does not, which keeps the registry out of the rest of the run.
void TestProductKey(char (&keyPath)[KeyPathCapacity]);

// Sets Location, MediaKind and possibly SaveNeeded; appends the locator subkey to keyPath.
void LoadLocation(char (&keyPath)[KeyPathCapacity]);

// Writes Location under the name of TargetFile; keyPath is the one LoadLocation left.
void SaveLocation(const char (&keyPath)[KeyPathCapacity]);
