// Finding the medium on the drive letter it moved to.
#include "launch/moved_media.h"

#include "host/host.h"
#include "launch/format_text.h"
#include "launch/path_text.h"
#include "launch/text.h"
#include "launch/wide_text.h"

namespace {

char UpperLetter(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// X:\ and what follows, X a letter.
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

bool IdentityOfRoot(const char* root, char (&identity)[IdentityCapacity])
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

bool VolumeIdentityOf(const char* location, char (&identity)[IdentityCapacity])
{
    if (!IsDriveLocation(location))
        return false;
    char root[4] = {UpperLetter(location[0]), ':', '\\', '\0'};
    return IsRememberedKind(HostGetDriveType(root)) && IdentityOfRoot(root, identity);
}

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
        FormatText(probe, "%s\\%s", dir, Launch.TargetFile);
        if (!PathExists(probe))
            continue;
        char identity[IdentityCapacity];
        if (remembered && IdentityOfRoot(root, identity) && CompareText(identity, recorded) == 0) {
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
