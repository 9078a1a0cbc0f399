// The location dialog: caption and prompt for the medium, OK that accepts only a directory
// holding the target file, Cancel, and Browse.
#include "prompt/location_dialog.h"

#include "base/format_text.h"
#include "base/launch_state.h"
#include "base/path_text.h"
#include "base/resource_text.h"
#include "base/text.h"
#include "base/wide_text.h"
#include "prompt/center_window.h"
#include "prompt/file_browser.h"
#include "res/resource.h"
#include "res/strings.h"

namespace {

constexpr const char* ProductName = STR_PRODUCT_NAME;
constexpr const char* LabelWord = STR_LABEL_WORD;
constexpr int WordCapacity = 36;  // the words that fill the insert prompt

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
            LoadText(IDS_MEDIA_CDROM, noun);
            LoadText(IDS_MEDIA_CDROM, drive);
        } else {
            LoadText(IDS_MEDIA_FLOPPY, noun);
            LoadText(IDS_LABEL_DISK1, suffix);
            LoadText(IDS_DRIVE_FLOPPY, drive);
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

// The field's text as the user typed it, read in Unicode; false when it has no ANSI form,
// since a look-alike would name another folder.
bool ReadField(HostWindow dialog)
{
    static HostWideChar typed[WidePathCapacity];
    typed[0] = 0;
    HostGetDlgItemText(dialog, IDC_LOCATION, typed, static_cast<int>(WidePathCapacity));
    return AnsiName(typed, Launch.Location) != NameForm::Unusable;
}

// The location as the user means it: blanks and enclosing double quotes of a pasted path
// dropped, trailing separators stripped, and a relative text made absolute against the
// current directory, so that it names the same folder in every later run. An absolute text
// is kept as typed; so are a bare drive such as D: and the empty text (the root of the
// current drive). False when a relative text has no absolute form that fits.
bool ReadTypedLocation(HostWindow dialog)
{
    if (!ReadField(dialog))
        return false;
    TrimPastedPath(Launch.Location);
    StripTrailingSeparators(Launch.Location);
    if (!AbsoluteFolder(Launch.Location))
        return false;
    StripTrailingSeparators(Launch.Location);
    return true;
}

void TellBadLocation(HostWindow dialog)
{
    char format[TextCapacity];
    char text[TextCapacity];
    char caption[TextCapacity];
    LoadText(IDS_BAD_LOCATION, format);
    FormatText(text, format, Launch.ProductTitle);
    LoadText(IDS_BAD_LOCATION_CAPTION, caption);
    HostMessageBox(dialog, text, caption, HostMbIconError);
}

// A drive root typed as D:\ is stripped to D: for the probe and completed back afterwards,
// so D: and D:\ are stored alike.
void AcceptTypedLocation(HostWindow dialog)
{
    bool usable = ReadTypedLocation(dialog);
    JoinPath(Launch.ProbePath, Launch.Location, Launch.TargetFile);
    if (!usable || !PathExists(Launch.ProbePath)) {
        TellBadLocation(dialog);
        return;
    }
    CompleteDriveRoot(Launch.Location);
    HostEndDialog(dialog, IDOK);
}

// A chosen file whose folder has no ANSI form is refused at once, as OK would refuse it. A
// typed text without an ANSI form stays in the field unless a folder was chosen: there is no
// ANSI text of it to write back.
void BrowseIntoField(HostWindow dialog)
{
    bool typedRead = ReadField(dialog);
    BrowseResult result = BrowseForTarget(dialog);
    if (result == BrowseResult::Unusable)
        TellBadLocation(dialog);
    if (typedRead || result == BrowseResult::Chosen)
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
