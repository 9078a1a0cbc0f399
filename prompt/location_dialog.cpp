// The location dialog: caption and prompt for the medium, OK that accepts only a directory
// holding the target file, Cancel, and Browse.
#include "prompt/location_dialog.h"

#include "launch/format_text.h"
#include "launch/launch_state.h"
#include "launch/path_text.h"
#include "launch/text.h"
#include "res/resource.h"

namespace {

constexpr const char* ProductName = "Marlinth";
constexpr const char* LabelWord = "Halvard";
constexpr int WordCapacity = 36;  // the words that fill the insert prompt

void LoadText(uint32_t id, char (&buffer)[TextCapacity])
{
    buffer[0] = '\0';
    HostLoadString(Launch.Instance, id, buffer, static_cast<int>(sizeof buffer));
}

void LoadWord(uint32_t id, char (&buffer)[WordCapacity])
{
    buffer[0] = '\0';
    HostLoadString(Launch.Instance, id, buffer, WordCapacity);
}

void SetCaption(HostWindow dialog)
{
    char format[TextCapacity];
    char caption[TextCapacity];
    if (StartsWith(Launch.ProductTitle, ProductName)) {
        LoadText(IDS_LOCATE, format);
        FormatText(caption, format, Launch.ProductTitle);
    } else {
        LoadText(IDS_LOCATE_PRODUCT, format);
        FormatText(caption, format, ProductName, Launch.ProductTitle);
    }
    HostSetWindowText(dialog, caption);
}

void SetPrompt(HostWindow dialog)
{
    char format[TextCapacity];
    char prompt[TextCapacity];
    if (Launch.MediaKind == 1 && !Launch.FloppyPrompt) {
        LoadText(IDS_PROMPT_INSTALLED, format);
        FormatText(prompt, format, Launch.ProductTitle, ProductName);
    } else if (Launch.MediaKind == 2) {
        LoadText(IDS_PROMPT_NETWORK, format);
        FormatText(prompt, format, Launch.ProductTitle);
    } else {
        char noun[WordCapacity];
        char suffix[WordCapacity] = "";
        char drive[WordCapacity];
        if (Launch.MediaKind == 0) {
            LoadWord(IDS_MEDIA_CDROM, noun);
            LoadWord(IDS_MEDIA_CDROM, drive);
        } else {
            LoadWord(IDS_MEDIA_FLOPPY, noun);
            LoadWord(IDS_LABEL_DISK1, suffix);
            LoadWord(IDS_DRIVE_FLOPPY, drive);
        }
        LoadText(IDS_PROMPT_INSERT, format);
        FormatText(prompt, format, noun, LabelWord, ProductName, suffix, drive,
                   Launch.ProductTitle);
    }
    HostSetDlgItemText(dialog, IDC_PROMPT, prompt);
}

void FillLocationDialog(HostWindow dialog)
{
    CenterOnDesktop(dialog, HostGetDesktopWindow());
    SetCaption(dialog);
    HostSetDlgItemText(dialog, IDC_LOCATION, Launch.Location);
    SetPrompt(dialog);
    char format[TextCapacity];
    char group[TextCapacity];
    LoadText(IDS_LOCATION_OF, format);
    FormatText(group, format, Launch.ProductTitle);
    HostSetDlgItemText(dialog, IDC_LOCATION_GROUP, group);
}

void ReadField(HostWindow dialog)
{
    Launch.Location[0] = '\0';
    HostGetDlgItemText(dialog, IDC_LOCATION, Launch.Location,
                       static_cast<int>(sizeof Launch.Location));
}

// The location as the user means it: blanks and enclosing double quotes of a pasted path
// dropped, trailing separators stripped, and a relative text made absolute against the
// current directory, so that it names the same folder in every later run. An absolute text
// is kept as typed; so are a bare drive such as D: and the empty text (the root of the
// current drive). False when a relative text has no absolute form that fits.
bool ReadTypedLocation(HostWindow dialog)
{
    ReadField(dialog);
    TrimPastedPath(Launch.Location);
    StripTrailingSeparators(Launch.Location);
    if (Launch.Location[0] == '\0' || IsBareDrive(Launch.Location) ||
        IsAbsolutePath(Launch.Location))
        return true;
    char full[PathCapacity];
    uint32_t n = HostGetFullPathName(Launch.Location, sizeof full, full);
    if (n == 0 || n >= sizeof full)
        return false;
    CopyText(Launch.Location, full);
    StripTrailingSeparators(Launch.Location);
    return true;
}

// A drive root typed as D:\ is stripped to D: for the probe and completed back afterwards,
// so D: and D:\ are stored alike.
void AcceptTypedLocation(HostWindow dialog)
{
    bool usable = ReadTypedLocation(dialog);
    FormatText(Launch.ProbePath, "%s\\%s", Launch.Location, Launch.TargetFile);
    if (!usable || !PathExists(Launch.ProbePath)) {
        char format[TextCapacity];
        char text[TextCapacity];
        char caption[TextCapacity];
        LoadText(IDS_BAD_LOCATION, format);
        FormatText(text, format, Launch.ProductTitle);
        LoadText(IDS_BAD_LOCATION_CAPTION, caption);
        HostMessageBox(dialog, text, caption, HostMbIconError);
        return;
    }
    CompleteDriveRoot(Launch.Location);
    HostEndDialog(dialog, IDOK);
}

void BrowseIntoField(HostWindow dialog)
{
    ReadField(dialog);
    BrowseForTarget(dialog);
    HostSetDlgItemText(dialog, IDC_LOCATION, Launch.Location);
}

}  // namespace

intptr_t LocationDialogProc(HostWindow dialog, uint32_t message, uintptr_t wParam, intptr_t)
{
    switch (message) {
    case HostWmInitDialog:
        FillLocationDialog(dialog);
        return 1;  // the platform then focuses the first tab stop, OK
    case HostWmCommand:
        // The whole wParam is compared: an edit-field notification carries its code in the
        // high word and falls through to the default handling.
        switch (wParam) {
        case IDOK: AcceptTypedLocation(dialog); return 1;
        case IDCANCEL: HostEndDialog(dialog, IDCANCEL); return 1;
        case IDC_BROWSE: BrowseIntoField(dialog); return 1;
        default: return 0;
        }
    default: return 0;
    }
}

intptr_t RunLocationDialog()
{
    return HostDialogBoxParam(Launch.Instance, IDD_LOCATE, nullptr, LocationDialogProc, 0);
}
