// Media that moved to another drive letter: the volume a location was stored on is
// remembered, and found again on the drive it moved to, by its serial number and label.
#pragma once
#include <cstddef>

#include "launch/launch_state.h"
#include "launch/location_store.h"

// The serial as eight hexadecimal digits with a dash in the middle, a blank, and the label.
constexpr size_t IdentityCapacity = 10 + NameCapacity + 1;

// The identity of the volume at the drive that location names (X:\...), when that drive is
// of a kind whose volume is remembered: CD-ROM, removable, fixed or RAM drive. False for a
// network drive, a share, a relative location, and a drive that tells no volume.
bool VolumeIdentityOf(const char* location, char (&identity)[IdentityCapacity]);

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
