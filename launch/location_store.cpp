// Location store: one string value per target file and the media kind, under one key.
#include "launch/location_store.h"

#include "host/host.h"
#include "base/path_text.h"
#include "base/text.h"
#include "launch/volume_identity.h"
#include "base/wide_text.h"
#include "res/strings.h"

namespace {

// The current directory stands in for a location; a directory too long for Location, or
// without an ANSI form, is taken as unavailable rather than cut or spelled like another.
void UseCurrentDirectory()
{
    static HostWideChar directory[WidePathCapacity];
    uint32_t n = HostGetCurrentDirectory(WidePathCapacity, directory);
    if (n == 0 || n >= WidePathCapacity ||
        AnsiName(directory, Launch.Location) == NameForm::Unusable)
        Launch.Location[0] = '\0';
}

// A stored text without an ANSI form: shown with a question mark for each character the code
// page lacks, which no file name holds, so that it is never found and never taken for
// another folder, and kept in the registry unless the user picks another location.
void ShowUnusable(const HostWideChar* text)
{
    bool usedDefault = false;
    if (HostWideCharToMultiByte(HostCpAcp, HostWcNoBestFitChars, text, -1, Launch.Location,
                                static_cast<int>(sizeof Launch.Location), &usedDefault) <= 0)
        CopyText(Launch.Location, "?");
}

// A usable location is a REG_SZ, or a REG_EXPAND_SZ once its variables are expanded, whose
// text with its terminator fits Location; blanks and one pair of double quotes around it
// are dropped, as the dialog drops them. The data need not end in NUL; it is terminated here
// before anything reads it.
bool QueryLocation(HostKey key, StoreKey& store)
{
    static HostWideChar name[NameCapacity];
    static HostWideChar raw[WidePathCapacity];
    static HostWideChar expanded[WidePathCapacity];
    uint32_t type = 0;
    uint32_t size = sizeof raw;
    if (!Widen(Launch.TargetFile, name) ||
        HostRegQueryValueEx(key, name, &type, raw, &size) != HostSuccess ||
        (type != HostRegSz && type != HostRegExpandSz))
        return false;
    size_t units = size / sizeof raw[0];
    if (units == 0 || raw[units - 1] != 0) {
        if (units == WidePathCapacity)
            return false;
        raw[units] = 0;
    }
    const HostWideChar* text = raw;
    if (type == HostRegExpandSz) {
        uint32_t needed = HostExpandEnvironmentStrings(raw, expanded, WidePathCapacity);
        if (needed == 0 || needed > WidePathCapacity)
            return false;
        text = expanded;
    }
    NameForm form = AnsiName(text, Launch.Location);
    if (form == NameForm::Unusable) {
        // A text too long for Location counts as no value; one the code page cannot spell
        // is a location where the target is not found.
        bool usedDefault = false;
        HostWideCharToMultiByte(HostCpAcp, HostWcNoBestFitChars, text, -1, nullptr, 0,
                                &usedDefault);
        if (!usedDefault)
            return false;
        ShowUnusable(text);
    }
    static char spelled[PathCapacity];
    CopyText(spelled, Launch.Location);
    TrimPastedPath(Launch.Location);
    // A relative text names its folder against the current directory, as a typed one does:
    // the tool, its PATH and the batch file get the absolute form, never a text that means
    // another folder once the tool changes its directory. The stored text stays as written.
    if (!AbsoluteFolder(Launch.Location))
        CopyText(Launch.Location, "?");
    store.KeepValue = type == HostRegExpandSz || form != NameForm::Exact ||
                      CompareText(Launch.Location, spelled) != 0;
    CopyText(store.Loaded, Launch.Location);
    store.Stored = true;
    return true;
}

uint32_t QueryMediaKind(HostKey key)
{
    uint32_t type = 0;
    uint32_t value = 0;
    uint32_t size = sizeof value;
    if (HostRegQueryValueEx(key, u"media", &type, &value, &size) != HostSuccess ||
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
    JoinPath(store.Path, STR_PRODUCT_KEY, STR_VERSION);
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
    char name[IdentityNameCapacity];
    IdentityValueName(name);
    static HostWideChar wideName[IdentityNameCapacity];
    static VolumeIdentity identity;
    // Written in UTF-16, so that a label outside the ANSI code page is kept exactly.
    if (VolumeIdentityOf(Launch.Location, identity) && Widen(name, wideName))
        HostRegSetValueExW(key, wideName, HostRegSz, identity,
                           static_cast<uint32_t>((WideLength(identity) + 1) * sizeof identity[0]));
    else
        HostRegDeleteValue(key, name);  // an identity from before would name another medium
    HostRegCloseKey(key);
}

void IdentityValueName(char (&name)[IdentityNameCapacity])
{
    CopyText(name, Launch.TargetFile);
    AppendText(name, "|volume");
}
