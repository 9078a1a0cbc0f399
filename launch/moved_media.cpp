// Finding the medium on the drive letter it moved to.
#include "launch/moved_media.h"

#include "host/host.h"
#include "base/format_text.h"
#include "base/path_text.h"
#include "base/text.h"
#include "launch/volume_identity.h"
#include "base/wide_text.h"

namespace {

// The identity stored with the target's location, if any, in UTF-16 as it was written; one
// written through a code page in an earlier form holds its label as that page spelled it.
bool RecordedIdentity(const StoreKey& store, VolumeIdentity& identity)
{
    HostKey key = nullptr;
    if (HostRegOpenKeyEx(store.Path, HostKeyQueryValue | store.View, &key) != HostSuccess)
        return false;
    char name[IdentityNameCapacity];
    IdentityValueName(name);
    static HostWideChar wideName[IdentityNameCapacity];
    uint32_t type = 0;
    uint32_t size = sizeof identity - sizeof identity[0];
    bool found = Widen(name, wideName) &&
                 HostRegQueryValueEx(key, wideName, &type, identity, &size) == HostSuccess &&
                 type == HostRegSz;
    HostRegCloseKey(key);
    identity[found ? size / sizeof identity[0] : 0] = 0;
    return found;
}

}  // namespace

MovedMedia FindMovedMedia(const StoreKey& store, char (&found)[PathCapacity])
{
    found[0] = '\0';
    if (!store.Stored || !IsDriveLocation(Launch.Location))
        return MovedMedia::NotFound;
    static VolumeIdentity recorded;
    bool remembered = RecordedIdentity(store, recorded);
    uint32_t drives = HostGetLogicalDrives();
    char own = UpperLetter(Launch.Location[0]);
    for (char letter = 'C'; letter <= 'Z'; ++letter) {
        if (letter == own || (drives & (1u << (letter - 'A'))) == 0)
            continue;
        char root[4] = {letter, ':', '\\', '\0'};
        if (!IsRememberedKind(HostGetDriveType(root)))
            continue;
        // The same path on this drive: its letter, then the rest of Location.
        char candidate[PathCapacity];
        TextBuilder text(candidate, sizeof candidate);
        text.Put(letter);
        text.Append(Launch.Location + 1);
        char dir[PathCapacity];
        CopyText(dir, candidate);
        StripTrailingSeparators(dir);
        char probe[ProbePathCapacity];
        JoinPath(probe, dir, Launch.TargetFile);
        if (!PathExists(probe))
            continue;
        static VolumeIdentity identity;
        if (remembered && RootIdentity(root, identity) && SameWideText(identity, recorded)) {
            CopyText(found, candidate);
            return MovedMedia::Taken;
        }
        if (found[0] == '\0')
            CopyText(found, candidate);
    }
    if (found[0] == '\0')
        return MovedMedia::NotFound;
    return remembered ? MovedMedia::OtherVolume : MovedMedia::NewVolume;
}
