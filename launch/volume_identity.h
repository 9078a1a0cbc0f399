// The identity of a volume, as the program remembers it beside a stored location: the serial
// number as eight hexadecimal digits with a dash in the middle, a blank, and the label, in
// UTF-16 as the volume holds it, so that no code page can make one label look like another.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/launch_state.h"

constexpr size_t IdentityCapacity = 10 + NameCapacity + 1;  // in UTF-16 units
typedef HostWideChar VolumeIdentity[IdentityCapacity];

inline char UpperLetter(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// X:\ and what follows, X a letter.
bool IsDriveLocation(const char* location);

// CD-ROM, removable, fixed and RAM drives: the kinds whose volume is remembered and looked for.
bool IsRememberedKind(uint32_t driveType);

// The identity of the volume in the drive root X:\; false when the drive tells none.
bool RootIdentity(const char* root, VolumeIdentity& identity);

// The identity of the volume at the drive that location names (X:\...), when that drive is
// of a kind whose volume is remembered. False for a network drive, a share, a relative
// location, and a drive that tells no volume.
bool VolumeIdentityOf(const char* location, VolumeIdentity& identity);
