// Media that moved to another drive letter: the volume a location was stored on is
// remembered, and found again on the drive it moved to, by its serial number and label.
#pragma once
#include <cstddef>

#include "base/launch_state.h"
#include "launch/location_store.h"
#include "launch/volume_identity.h"

enum class MovedMedia {
    NotFound,     // no other drive holds the target at the same path
    Taken,        // the first that does is the remembered volume: found is the location there
    NewVolume,    // found is the first that does; no volume was remembered for the target
    OtherVolume,  // found is the first that does, on another volume than the remembered one
};

// Looks for the target at the same path on the other drives, in letter order, once it is
// missing at a stored location X:\path. Never A: or B: (an empty floppy drive takes seconds),
// never a network drive (a lost share takes a minute), never a share or a relative location.
MovedMedia FindMovedMedia(const StoreKey& store, char (&found)[PathCapacity]);
