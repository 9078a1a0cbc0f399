// The identity of the volume in a drive.
#include "launch/volume_identity.h"

#include "host/host.h"
#include "base/path_text.h"
#include "base/text.h"

bool IsDriveLocation(const char* location)
{
    return IsAbsolutePath(location) && !IsSeparator(location[0]);
}

bool IsRememberedKind(uint32_t type)
{
    return type == HostDriveCdrom || type == HostDriveRemovable || type == HostDriveFixed ||
           type == HostDriveRamdisk;
}

bool RootIdentity(const char* root, VolumeIdentity& identity)
{
    static HostWideChar label[NameCapacity];
    label[0] = 0;
    uint32_t serial = 0;
    if (!HostGetVolumeInformation(root, label, NameCapacity, &serial))
        return false;
    label[NameCapacity - 1] = 0;
    size_t at = 0;
    for (int shift = 28; shift >= 0; shift -= 4) {
        identity[at++] = static_cast<HostWideChar>("0123456789ABCDEF"[(serial >> shift) & 15]);
        if (shift == 16)
            identity[at++] = u'-';
    }
    identity[at++] = u' ';
    for (size_t i = 0; label[i] != 0; ++i)
        identity[at++] = label[i];
    identity[at] = 0;
    return true;
}

bool VolumeIdentityOf(const char* location, VolumeIdentity& identity)
{
    if (!IsDriveLocation(location))
        return false;
    char root[4] = {UpperLetter(location[0]), ':', '\\', '\0'};
    return IsRememberedKind(HostGetDriveType(root)) && RootIdentity(root, identity);
}
