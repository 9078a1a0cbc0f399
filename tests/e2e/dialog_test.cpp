// The location dialog and its file browser on the real program: texts, place, keyboard,
// what OK, Cancel and Browse leave in the registry, and screenshots of each wording.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "dialog_support.h"
#include "resource.h"

namespace {

// A stored value with bytes after its terminator: the program reads only up to the
// terminator, and a write back would drop the rest, so the bytes show whether it wrote.
std::string Kept(const std::string& location)
{
    return location + std::string(1, '\0') + "as stored" + std::string(1, '\0');
}

std::string Written(const std::string& location)
{
    return location + std::string(1, '\0');
}

std::string Upper(std::string text)
{
    CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

class DialogTest : public DialogFixture {
protected:
    void StoreLocation(const std::string& data)
    {
        CreateKey(LocatorKey);
        SetValue(LocatorKey, "devshl.dll", REG_SZ, data);
    }
    std::string StoredData() const { return GetValue(LocatorKey, "devshl.dll").Data; }
    static void ClearDriveD() { DeleteFileA((DriveD() + "\\devshl.dll").c_str()); }
    void TearDown() override
    {
        ClearDriveD();
        DialogFixture::TearDown();
    }
};

TEST_F(DialogTest, PromptWordingFollowsTheMediaKindAndTheFloppyOption)
{
    const std::string insertCdRom =
        "Please insert the CD-ROM labeled \"Halvard Marlinth\" into your CD-ROM drive, or enter "
        "the path to the Duzudiziv Eraziz DLL Files.";
    const std::string insertFloppy =
        "Please insert the floppy disk labeled \"Halvard Marlinth, Disk 1\" into your floppy "
        "drive, or enter the path to the Duzudiziv Eraziz DLL Files.";
    const std::string installed =
        "Please enter the path to the Duzudiziv Eraziz DLL Files.  If these files cannot be "
        "found on your system, please reinstall Marlinth.";
    const std::string network =
        "Please enter the network path to the Duzudiziv Eraziz DLL Files.";
    struct Row {
        const char* Shot;
        DWORD Media;
        const char* Options;
        std::string Prompt;
    } rows[] = {
        {"media0", 0, "", insertCdRom},
        {"media1", 1, "", installed},
        {"media1-option1", 1, " 1", insertFloppy},
        {"media2", 2, "", network},
        {"media0-option1", 0, " 1", insertCdRom},
        {"media7", 7, "", insertFloppy},
    };
    // Shown as stored, trailing separators and all.
    const std::string shown = In("gone") + "\\/";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Shot);
        StoreLocation(Written(shown));
        SetDword(LocatorKey, "media", row.Media);
        HWND dialog =
            OpenDialog(std::string("devshl.dll Duzudiziv_Eraziz_DLL_Files diriz.exe") + row.Options);
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ("Locate Marlinth Duzudiziv Eraziz DLL Files", WindowText(dialog));
        EXPECT_EQ(row.Prompt, ItemText(dialog, IDC_PROMPT));
        EXPECT_EQ("&Location of Duzudiziv Eraziz DLL Files", ItemText(dialog, IDC_LOCATION_GROUP));
        EXPECT_EQ(shown, ItemText(dialog, IDC_LOCATION));
        EXPECT_EQ("&OK", ItemText(dialog, IDOK));
        EXPECT_EQ("&Cancel", ItemText(dialog, IDCANCEL));
        EXPECT_EQ("&Browse...", ItemText(dialog, IDC_BROWSE));
        Screenshot(dialog, row.Shot);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(2u, ExitCode());
        EXPECT_EQ(Written(shown), StoredData());
    }
}

TEST_F(DialogTest, CaptionNamesTheProductOnce)
{
    struct Row {
        const char* Tail;
        const char* Title;
        const char* Caption;
    } rows[] = {
        {"", "Duzudiziv Eraziz DLL Files", "Locate Marlinth Duzudiziv Eraziz DLL Files"},
        {"devshl.dll Marlinth_Tools diriz.exe", "Marlinth Tools", "Locate Marlinth Tools"},
        {"devshl.dll marlinth_tools diriz.exe", "marlinth tools", "Locate Marlinth marlinth tools"},
        {"devshl.dll Marlint diriz.exe", "Marlint", "Locate Marlinth Marlint"},
        {"devshl.dll Marlinth diriz.exe", "Marlinth", "Locate Marlinth"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Title);
        HWND dialog = OpenDialog(row.Tail);
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(row.Caption, WindowText(dialog));
        EXPECT_EQ(std::string("&Location of ") + row.Title, ItemText(dialog, IDC_LOCATION_GROUP));
        EXPECT_EQ(std::string("Please insert the CD-ROM labeled \"Halvard Marlinth\" into your "
                              "CD-ROM drive, or enter the path to the ") +
                      row.Title + ".",
                  ItemText(dialog, IDC_PROMPT));
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(2u, ExitCode());
    }
}

TEST_F(DialogTest, OpensAtTheCentreOfTheDesktop)
{
    HWND dialog = OpenDialog("");
    ASSERT_NE(nullptr, dialog);
    RECT r = WindowRect(GetDesktopWindow());
    RECT w = WindowRect(dialog);
    // Each extent is halved on its own before the subtraction.
    LONG x = r.left + (r.right - r.left) / 2 - (w.right - w.left) / 2;
    LONG y = r.top + (r.bottom - r.top) / 2 - (w.bottom - w.top) / 2;
    EXPECT_EQ(x, w.left) << "dialog " << w.right - w.left << " wide";
    EXPECT_EQ(y, w.top) << "dialog " << w.bottom - w.top << " high";
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(2u, ExitCode());
}

TEST_F(DialogTest, FocusStartsOnOkAndTabWalksTheTabOrder)
{
    HWND dialog = OpenDialog("");
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(GetDlgItem(dialog, IDOK), FocusOf(dialog));
    for (int id : {IDCANCEL, IDC_LOCATION, IDC_BROWSE, IDOK}) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(Keys(dialog, "key Tab"));
        EXPECT_EQ(GetDlgItem(dialog, id), WaitForFocus(dialog, GetDlgItem(dialog, id)));
    }
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(2u, ExitCode());
}

// OK, or Enter, on a directory without the target: the error box, and the dialog stays
// with the text as typed; then a right directory is accepted the same way.
TEST_F(DialogTest, OkOnAWrongLocationShowsTheErrorBoxAndStaysOpen)
{
    struct Row {
        const char* How;
        bool Enter;
    } rows[] = {{"OK command", false}, {"Enter key", true}};
    WriteFileText(Media() + "\\devshl.dll", "");
    const std::string typed = In("missing") + "\\";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.How);
        StoreLocation(Kept(In("gone")));
        HWND dialog = OpenDialog("");
        ASSERT_NE(nullptr, dialog);
        SetItem(dialog, IDC_LOCATION, typed);
        if (row.Enter)
            ASSERT_TRUE(Keys(dialog, "key Return"));
        else
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        HWND box = WaitForOwned(dialog);
        ASSERT_NE(nullptr, box) << "no error box";
        EXPECT_EQ("File Location Error", WindowText(box));
        EXPECT_EQ("The specified location is invalid or does not contain the Duzudiziv Eraziz DLL "
                  "Files.",
                  ChildText(box, "Static"));
        // One button, OK, and the error icon's place filled.
        std::vector<HWND> buttons = VisibleChildren(box, "Button");
        ASSERT_EQ(1u, buttons.size());
        EXPECT_EQ("OK", WindowText(buttons[0]));
        bool icon = false;
        for (HWND child : VisibleChildren(box, "Static"))
            icon = icon || SendMessageA(child, STM_GETICON, 0, 0) != 0;
        EXPECT_TRUE(icon);
        if (row.Enter)
            ASSERT_TRUE(Keys(box, "key Return"));
        else
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntilGone(box));
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(typed, ItemText(dialog, IDC_LOCATION));
        EXPECT_EQ(Kept(In("gone")), StoredData());

        SetItem(dialog, IDC_LOCATION, Media());
        if (row.Enter)
            ASSERT_TRUE(Keys(dialog, "key Return"));
        else
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(0u, ExitCode());
        EXPECT_EQ(Written(Media()), StoredData());
        Record record;
        EXPECT_TRUE(WaitForRecord(&record));
    }
}

// Typed with real keys into the field that Tab reaches, then Enter.
TEST_F(DialogTest, EnterAfterTypingAcceptsTheTypedLocation)
{
    StoreLocation(Kept(In("gone")));
    WriteFileText(Media() + "\\devshl.dll", "");
    HWND dialog = OpenDialog("");
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(Keys(dialog, "key Tab Tab"));
    ASSERT_EQ(GetDlgItem(dialog, IDC_LOCATION),
              WaitForFocus(dialog, GetDlgItem(dialog, IDC_LOCATION)));
    // Tab selects the whole field, so typing replaces it.
    ASSERT_TRUE(Keys(dialog, "type --delay 30 '" + Media() + "\\'"));
    EXPECT_EQ(Media() + "\\", WaitForItemText(dialog, IDC_LOCATION, Media() + "\\"));
    ASSERT_TRUE(Keys(dialog, "key Return"));
    EXPECT_EQ(0u, ExitCode());
    EXPECT_EQ(Written(Media()), StoredData());
    Record record;
    ASSERT_TRUE(WaitForRecord(&record));
    EXPECT_EQ(In("prog") + "\\diriz.exe", record["cmdline"]);
}

TEST_F(DialogTest, AcceptedLocationIsStoredNormalisedAndOnlyWhenChanged)
{
    struct Row {
        const char* Name;
        std::string Stored;  // also what the dialog shows
        const char* Typed;   // null: OK on the text as shown
        std::string TargetDir;
        std::string Location;  // as the program leaves it
        std::string Data;      // the registry value afterwards
    };
    const std::string gone = In("gone");
    const std::string media = Media();
    std::vector<Row> rows = {
        {"shown text unchanged", media, nullptr, media, media, Kept(media)},
        {"shown drive root unchanged", "D:\\", nullptr, DriveD(), "D:\\", Kept("D:\\")},
        {"shown with trailing separators", media + "\\/", nullptr, media, media, Written(media)},
        {"shown as a bare drive", "D:", nullptr, DriveD(), "D:\\", Written("D:\\")},
        {"typed with trailing separators", gone, "\\\\/", media, media, Written(media)},
        {"typed drive root", gone, "D:\\", DriveD(), "D:\\", Written("D:\\")},
        {"typed in another letter case", media, "upper", media, Upper(media),
         Written(Upper(media))},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        ClearDriveD();
        DeleteFileA((media + "\\devshl.dll").c_str());
        StoreLocation(Kept(row.Stored));
        HWND dialog = OpenDialog("");
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(row.Stored, ItemText(dialog, IDC_LOCATION));
        // The target turns up while the dialog is open, as when a disc is inserted.
        WriteFileText(row.TargetDir + "\\devshl.dll", "");
        if (row.Typed != nullptr) {
            std::string typed = row.Typed;
            if (typed == "upper")
                typed = Upper(row.Stored);
            else if (typed[0] == '\\')
                typed = row.TargetDir + typed;
            SetItem(dialog, IDC_LOCATION, typed);
        }
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(0u, ExitCode());
        EXPECT_EQ(row.Data, StoredData());
        Record record;
        ASSERT_TRUE(WaitForRecord(&record));
        EXPECT_EQ(In("prog") + "\\diriz.exe", record["cmdline"]);
        EXPECT_EQ(row.Location + ";", record["path"].substr(0, row.Location.size() + 1));
    }
}

// Every way of leaving the dialog other than OK ends with 2 and writes nothing, even with
// a right location in the field.
TEST_F(DialogTest, CancelEscapeAndCloseEndWithTwoAndWriteNothing)
{
    enum How { ClickCancel, CancelCommand, EscapeKey, CloseCommand };
    struct Row {
        const char* Name;
        How Way;
    } rows[] = {
        {"click on Cancel", ClickCancel},
        {"Cancel command", CancelCommand},
        {"Escape key", EscapeKey},
        {"close command of the caption", CloseCommand},
    };
    WriteFileText(Media() + "\\devshl.dll", "");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        StoreLocation(Kept(In("gone")));
        HWND dialog = OpenDialog("");
        ASSERT_NE(nullptr, dialog);
        SetItem(dialog, IDC_LOCATION, Media());
        switch (row.Way) {
        case ClickCancel: {
            RECT button = WindowRect(GetDlgItem(dialog, IDCANCEL));
            ASSERT_TRUE(Keys(dialog, "mousemove --sync " +
                                         std::to_string((button.left + button.right) / 2) + " " +
                                         std::to_string((button.top + button.bottom) / 2) +
                                         " click 1"));
            break;
        }
        case CancelCommand: PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); break;
        case EscapeKey: ASSERT_TRUE(Keys(dialog, "key Escape")); break;
        case CloseCommand: PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        }
        EXPECT_EQ(2u, ExitCode());
        EXPECT_EQ(Kept(In("gone")), StoredData());
        EXPECT_TRUE(NoRecordWithin(500));
    }
}

class BrowseTest : public DialogTest {
protected:
    // Presses Browse and waits for the open-file dialog.
    HWND Browse(HWND dialog)
    {
        PostMessageA(dialog, WM_COMMAND, IDC_BROWSE, 0);
        HWND open = WaitForOwned(dialog, 20000);
        EXPECT_NE(nullptr, open) << "no open-file dialog";
        return open;
    }
};

TEST_F(BrowseTest, OpenFileDialogLooksForTheTargetAndCancelLeavesTheField)
{
    struct Row {
        const char* Tail;
        const char* Title;
    } rows[] = {
        {"", "Duzudiziv Eraziz DLL Files"},
        {"devshl.dll Marlinth_Tools diriz.exe", "Marlinth Tools"},
    };
    MakeDir(In("other"));
    WriteFileText(In("other\\devshl.dll"), "");
    WriteFileText(In("other\\notes.txt"), "");
    // An existing directory, trailing separator and all, is where the open-file dialog starts.
    const std::string typed = In("other") + "\\";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Title);
        HWND dialog = OpenDialog(row.Tail);
        ASSERT_NE(nullptr, dialog);
        SetItem(dialog, IDC_LOCATION, typed);
        HWND open = Browse(dialog);
        ASSERT_NE(nullptr, open);
        // Its title names no product of its own, unlike the location dialog's caption.
        EXPECT_EQ(std::string("Locate ") + row.Title, WindowText(open));
        EXPECT_EQ("devshl.dll", ItemText(open, OpenFileNameField).substr(0, 10));
        EXPECT_EQ(row.Title, ItemText(open, OpenFileTypeField));
        HWND list = FindChild(open, "SysListView32");
        ASSERT_NE(nullptr, list);
        // Of devshl.dll and notes.txt, the one filter lists only the target's name.
        EXPECT_EQ(1, static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)));
        PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(WaitUntilGone(open));
        EXPECT_EQ(typed, ItemText(dialog, IDC_LOCATION));
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(2u, ExitCode());
    }
}

TEST_F(BrowseTest, PickedFileGivesItsDirectoryAndOkStillProbesIt)
{
    struct Row {
        const char* Name;
        std::string Field;   // the location field when Browse is pressed
        std::string Picked;  // typed into the file name field; empty: the preset name
        std::string Location;
    };
    MakeDir(In("other"));
    WriteFileText(In("other\\devshl.dll"), "");
    WriteFileText(In("other\\notes.txt"), "");
    std::vector<Row> rows = {
        {"preset name in the starting directory", In("other") + "\\", "", In("other")},
        {"full path of the target", In("gone"), In("other\\devshl.dll"), In("other")},
        {"file of another name", "", In("other\\notes.txt"), In("other")},
        {"target at a drive root", In("gone"), "D:\\devshl.dll", "D:\\"},
    };
    WriteFileText(DriveD() + "\\devshl.dll", "");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        StoreLocation(Kept(In("gone")));
        HWND dialog = OpenDialog("");
        ASSERT_NE(nullptr, dialog);
        SetItem(dialog, IDC_LOCATION, row.Field);
        HWND open = Browse(dialog);
        ASSERT_NE(nullptr, open);
        if (!row.Picked.empty())
            SetItem(open, OpenFileNameField, row.Picked);
        PostMessageA(open, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntilGone(open));
        EXPECT_EQ(row.Location, ItemText(dialog, IDC_LOCATION));
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(Kept(In("gone")), StoredData());
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(0u, ExitCode());
        EXPECT_EQ(Written(row.Location), StoredData());
    }
}

}  // namespace
