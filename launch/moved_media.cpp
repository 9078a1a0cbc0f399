// Finding the medium on the drive letter it moved to.
#include "launch/moved_media.h"

#include "host/host.h"
#include "base/format_text.h"
#include "base/path_text.h"
#include "base/text.h"
#include "launch/volume_identity.h"
#include "base/wide_text.h"

namespace {

// The identity stored with the target's location, if any.
bool RecordedIdentity(const StoreKey& store, char (&identity)[IdentityCapacity])
{
    HostKey key = nullptr;
    if (HostRegOpenKeyEx(store.Path, HostKeyQueryValue | store.View, &key) != HostSuccess)
        return false;
    char name[IdentityNameCapacity];
    IdentityValueName(name);
    static HostWideChar wideName[IdentityNameCapacity];
    static HostWideChar data[IdentityCapacity];
    uint32_t type = 0;
    uint32_t size = sizeof data - sizeof data[0];
    bool found = Widen(name, wideName) &&
                 HostRegQueryValueEx(key, wideName, &type, data, &size) == HostSuccess &&
                 type == HostRegSz;
    HostRegCloseKey(key);
    if (!found)
        return false;
    data[size / sizeof data[0]] = 0;
    return AnsiTextInto(data, identity, sizeof identity);
}

}  // namespace

MovedMedia FindMovedMedia(const StoreKey& store, char (&found)[PathCapacity])
{
    found[0] = '\0';
    if (!store.Stored || !IsDriveLocation(Launch.Location))
        return MovedMedia::NotFound;
    char recorded[IdentityCapacity];
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
        char identity[IdentityCapacity];
        if (remembered && RootIdentity(root, identity) && CompareText(identity, recorded) == 0) {
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
