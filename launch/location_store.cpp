// Location store: one string value per target file and the media kind, under one key.
#include "launch/location_store.h"

#include "host/host.h"
#include "launch/path_text.h"
#include "launch/text.h"

namespace {

// The current directory stands in for a location; a directory too long for Location is
// taken as unavailable rather than cut.
void UseCurrentDirectory()
{
    uint32_t n = HostGetCurrentDirectory(sizeof Launch.Location, Launch.Location);
    if (n == 0 || n >= sizeof Launch.Location)
        Launch.Location[0] = '\0';
}

// A usable location is a REG_SZ, or a REG_EXPAND_SZ once its variables are expanded, whose
// text with its terminator fits Location; blanks and one pair of double quotes around it
// are dropped, as the dialog drops them. The data need not end in NUL; it is terminated here
// before anything reads it.
bool QueryLocation(HostKey key, StoreKey& store)
{
    char raw[PathCapacity];
    uint32_t type = 0;
    uint32_t size = sizeof raw;
    if (HostRegQueryValueEx(key, Launch.TargetFile, &type, raw, &size) != HostSuccess ||
        (type != HostRegSz && type != HostRegExpandSz) || size > sizeof raw)
        return false;
    if (size == 0 || raw[size - 1] != '\0') {
        if (size == sizeof raw)
            return false;
        raw[size] = '\0';
    }
    if (type == HostRegExpandSz) {
        uint32_t needed =
            HostExpandEnvironmentStrings(raw, Launch.Location, sizeof Launch.Location);
        if (needed == 0 || needed > sizeof Launch.Location)
            return false;
    } else {
        CopyText(Launch.Location, raw);
    }
    TrimPastedPath(Launch.Location);
    store.KeepValue = type == HostRegExpandSz || CompareText(Launch.Location, raw) != 0;
    CopyText(store.Loaded, Launch.Location);
    return true;
}

uint32_t QueryMediaKind(HostKey key)
{
    uint32_t type = 0;
    uint32_t value = 0;
    uint32_t size = sizeof value;
    if (HostRegQueryValueEx(key, "media", &type, &value, &size) != HostSuccess ||
        type != HostRegDword || size != sizeof value)
        return 0;
    return value;
}

bool KeyOpens(const StoreKey& store, uint32_t view)
{
    HostKey key = nullptr;
    if (HostRegOpenKeyEx(store.Path, HostKeyQueryValue | view, &key) != HostSuccess)
        return false;
    HostRegCloseKey(key);
    return true;
}

}  // namespace

void FindProductKey(StoreKey& store)
{
    CopyText(store.Path, "SOFTWARE\\HalvardWorks\\Marlinth");
    AppendText(store.Path, "\\");
    AppendText(store.Path, "6.6");
    store.View = 0;
    if (KeyOpens(store, 0))
        return;
    store.View = HostKeyWow6464Key;
    if (KeyOpens(store, HostKeyWow6464Key))
        return;
    store.Path[0] = '\0';
    store.View = 0;
}

void LoadLocation(StoreKey& store)
{
    if (store.Path[0] == '\0')
        return;
    AppendText(store.Path, "\\nrcdrom");
    HostKey key = nullptr;
    if (HostRegOpenKeyEx(store.Path, HostKeyQueryValue | store.View, &key) != HostSuccess) {
        UseCurrentDirectory();
        Launch.MediaKind = 0;
        return;
    }
    if (!QueryLocation(key, store)) {
        UseCurrentDirectory();
        Launch.SaveNeeded = true;
    }
    Launch.MediaKind = QueryMediaKind(key);
    HostRegCloseKey(key);
}

void SaveLocation(const StoreKey& store)
{
    if (store.Path[0] == '\0' ||
        (store.KeepValue && CompareText(Launch.Location, store.Loaded) == 0))
        return;
    HostKey key = nullptr;
    if (HostRegOpenKeyEx(store.Path, HostKeyWrite | store.View, &key) != HostSuccess)
        return;
    HostRegSetValueEx(key, Launch.TargetFile, HostRegSz, Launch.Location,
                      static_cast<uint32_t>(TextLength(Launch.Location) + 1));
    HostRegCloseKey(key);
}
