// The registry record of where each target file was last found.
#pragma once
#include <cstdint>

#include "base/launch_state.h"

// Where the store is for this run: the key path, empty when the store is off, and the
// registry view that holds it.
struct StoreKey {
    char Path[KeyPathCapacity];
    uint32_t View;  // 0 for the program's own view, or HostKeyWow6464Key
    // A value that means Location without being its very text (one to expand, or one with
    // blanks or quotes around it): its author's form is kept while Location stays this.
    bool KeepValue;
    char Loaded[PathCapacity];
    bool Stored;  // Location came from the stored value
};

// Builds the product key path and finds the key: in the program's own registry view, else in
// the 64-bit view, where a 64-bit registry editor puts it on a 64-bit system. The path is
// left empty when neither holds it, which keeps the registry out of the rest of the run.
void FindProductKey(StoreKey& store);

// Sets Location, MediaKind and possibly SaveNeeded; appends the locator subkey to the path.
void LoadLocation(StoreKey& store);

// The name of the value that holds the identity of the volume a target was stored on:
// the target's name and "|volume", which no file name can hold.
constexpr size_t IdentityNameCapacity = NameCapacity + 7;
void IdentityValueName(char (&name)[IdentityNameCapacity]);

// Writes Location under the name of TargetFile, in the key LoadLocation opened, with the
// identity of the volume it is on, or without one where no volume is remembered; a value kept
// in its author's form is left as it is while it still means Location.
void SaveLocation(const StoreKey& store);
