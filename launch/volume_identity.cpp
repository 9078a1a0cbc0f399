// The identity of the volume in a drive.
#include "launch/volume_identity.h"

#include "host/host.h"
#include "base/path_text.h"
#include "base/text.h"

bool IsDriveLocation(const char* location)
{
    char letter = UpperLetter(location[0]);
    return letter >= 'A' && letter <= 'Z' && location[1] == ':' && IsSeparator(location[2]);
}

bool IsRememberedKind(uint32_t type)
{
    return type == HostDriveCdrom || type == HostDriveRemovable || type == HostDriveFixed ||
           type == HostDriveRamdisk;
}

bool RootIdentity(const char* root, char (&identity)[IdentityCapacity])
{
    char label[NameCapacity] = "";
    uint32_t serial = 0;
    if (!HostGetVolumeInformation(root, label, sizeof label, &serial))
        return false;
    TextBuilder text(identity, sizeof identity);
    for (int shift = 28; shift >= 0; shift -= 4) {
        text.Put("0123456789ABCDEF"[(serial >> shift) & 15]);
        if (shift == 16)
            text.Put('-');
    }
    text.Put(' ');
    text.Append(label);
    return true;
}

bool VolumeIdentityOf(const char* location, char (&identity)[IdentityCapacity])
{
    if (!IsDriveLocation(location))
        return false;
    char root[4] = {UpperLetter(location[0]), ':', '\\', '\0'};
    return IsRememberedKind(HostGetDriveType(root)) && RootIdentity(root, identity);
}
