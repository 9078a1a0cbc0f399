// The location dialog and its file browser on the real program: texts, place, keyboard,
// what OK, Cancel and Browse leave in the registry, and screenshots of each wording.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "e2e_support.h"

namespace {

// Ids of the open-file dialog's controls, as the platform's templates give them.
constexpr int OpenFileNameField = 1148;
constexpr int OpenFileTypeField = 1136;

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

class DialogTest : public E2eTest {
protected:
    bool StoreLocation(const char* file, int line, const std::string& data)
    {
        return SetValue(file, line, "devshl.dll", REG_SZ, data);
    }
    std::string StoredData() const { return GetValue("devshl.dll").Data; }
    // Starts the program with the tail and waits for its location dialog.
    HWND OpenDialog(const char* file, int line, const std::string& tail)
    {
        run_ = Start(file, line, tail);
        return run_ != nullptr ? WaitForWindow(file, line, run_) : nullptr;
    }
    // A dialog of the program's owned by owner: the error box, the open-file dialog.
    HWND WaitForOwned(const char* file, int line, HWND owner)
    {
        return WaitForWindow(file, line, run_, owner);
    }
    Outcome Ended(const char* file, int line) { return Finish(file, line, run_); }

private:
    ProgramRun* run_ = nullptr;
};

// Each wording is a text of its own from the program's strings, shown on the real dialog.
TEST_F(DialogTest, PromptWordingFollowsTheMediaKindAndTheFloppyOption)
{
    struct Row {
        const char* Shot;
        DWORD Media;
        const char* Options;
        const char* Prompt;
    } rows[] = {
        {"media0", 0, "",
         "Please insert the CD-ROM labeled \"Halvard Marlinth\" into your CD-ROM drive, or enter "
         "the path to the Duzudiziv Eraziz DLL Files."},
        {"media1", 1, "",
         "Please enter the path to the Duzudiziv Eraziz DLL Files.  If these files cannot be "
         "found on your system, please reinstall Marlinth."},
        {"media1-option1", 1, " 1",
         "Please insert the floppy disk labeled \"Halvard Marlinth, Disk 1\" into your floppy "
         "drive, or enter the path to the Duzudiziv Eraziz DLL Files."},
        {"media2", 2, "", "Please enter the network path to the Duzudiziv Eraziz DLL Files."},
    };
    // Shown as stored, trailing separators and all.
    const std::string shown = In("gone") + "\\/";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Shot);
        ASSERT_TRUE(StoreLocation(HERE, Written(shown)));
        ASSERT_TRUE(SetDword(HERE, "media", row.Media));
        HWND dialog = OpenDialog(
            HERE, std::string("devshl.dll Duzudiziv_Eraziz_DLL_Files diriz.exe") + row.Options);
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ("Locate Marlinth Duzudiziv Eraziz DLL Files", WindowText(dialog));
        EXPECT_EQ(row.Prompt, ItemText(dialog, IDC_PROMPT));
        EXPECT_EQ("&Location of Duzudiziv Eraziz DLL Files", ItemText(dialog, IDC_LOCATION_GROUP));
        EXPECT_EQ(shown, ItemText(dialog, IDC_LOCATION));
        Screenshot(HERE, dialog, row.Shot);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(2u, Ended(HERE).ExitCode);
        EXPECT_EQ(Written(shown), StoredData());
    }
}

TEST_F(DialogTest, OpensAtTheCentreOfTheDesktop)
{
    HWND dialog = OpenDialog(HERE, "");
    ASSERT_NE(nullptr, dialog);
    RECT r = WindowRect(GetDesktopWindow());
    RECT w = WindowRect(dialog);
    // Each extent is halved on its own before the subtraction.
    LONG x = r.left + (r.right - r.left) / 2 - (w.right - w.left) / 2;
    LONG y = r.top + (r.bottom - r.top) / 2 - (w.bottom - w.top) / 2;
    EXPECT_EQ(x, w.left) << "dialog " << w.right - w.left << " wide";
    EXPECT_EQ(y, w.top) << "dialog " << w.bottom - w.top << " high";
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(2u, Ended(HERE).ExitCode);
}

TEST_F(DialogTest, FocusStartsOnOkAndTabWalksTheTabOrder)
{
    HWND dialog = OpenDialog(HERE, "");
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(GetDlgItem(dialog, IDOK), FocusOf(dialog));
    for (int id : {IDCANCEL, IDC_LOCATION, IDC_BROWSE, IDOK}) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(Keys(HERE, dialog, "key Tab"));
        EXPECT_EQ(GetDlgItem(dialog, id), WaitForFocus(dialog, GetDlgItem(dialog, id)));
    }
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(2u, Ended(HERE).ExitCode);
}

// OK, or Enter, on a directory without the target: the error box, and the dialog stays
// with the text as typed; then a right directory is accepted the same way.
TEST_F(DialogTest, OkOnAWrongLocationShowsTheErrorBoxAndStaysOpen)
{
    struct Row {
        const char* How;
        bool Enter;
    } rows[] = {{"OK command", false}, {"Enter key", true}};
    ASSERT_TRUE(WriteFileText(HERE, Media() + "\\devshl.dll", ""));
    const std::string typed = In("missing") + "\\";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.How);
        ASSERT_TRUE(StoreLocation(HERE, Kept(In("gone"))));
        HWND dialog = OpenDialog(HERE, "");
        ASSERT_NE(nullptr, dialog);
        SetItem(dialog, IDC_LOCATION, typed);
        if (row.Enter)
            ASSERT_TRUE(Keys(HERE, dialog, "key Return"));
        else
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        HWND box = WaitForOwned(HERE, dialog);
        ASSERT_NE(nullptr, box) << "no error box";
        EXPECT_EQ(STR_BAD_LOCATION_CAPTION, WindowText(box));
        EXPECT_EQ(
            "The specified location is invalid or does not contain the Duzudiziv Eraziz DLL "
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
            ASSERT_TRUE(Keys(HERE, box, "key Return"));
        else
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntilGone(box));
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(typed, ItemText(dialog, IDC_LOCATION));
        EXPECT_EQ(Kept(In("gone")), StoredData());

        SetItem(dialog, IDC_LOCATION, Media());
        if (row.Enter)
            ASSERT_TRUE(Keys(HERE, dialog, "key Return"));
        else
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        Outcome run = Ended(HERE);
        EXPECT_EQ(0u, run.ExitCode);
        EXPECT_EQ(2u, run.Processes);
        EXPECT_EQ(Written(Media()), StoredData());
    }
}

// The edit control hands over no more than the location holds: a longer text is refused
// like a wrong one, and nothing is stored.
TEST_F(DialogTest, TypedLocationOf600BytesIsRefusedAndTheDialogStaysOpen)
{
    ASSERT_TRUE(StoreLocation(HERE, Kept(In("gone"))));
    HWND dialog = OpenDialog(HERE, "");
    ASSERT_NE(nullptr, dialog);
    SetItem(dialog, IDC_LOCATION, "C:\\" + std::string(597, 'q'));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    HWND box = WaitForOwned(HERE, dialog);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(STR_BAD_LOCATION_CAPTION, WindowText(box));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntilGone(box));
    EXPECT_TRUE(IsWindowVisible(dialog));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(2u, Ended(HERE).ExitCode);
    EXPECT_EQ(Kept(In("gone")), StoredData());
}

// Typed with real keys into the field that Tab reaches, then Enter; the default run then
// starts diriz.exe with no tail.
TEST_F(DialogTest, EnterAfterTypingAcceptsTheTypedLocation)
{
    ASSERT_TRUE(StoreLocation(HERE, Kept(In("gone"))));
    ASSERT_TRUE(WriteFileText(HERE, Media() + "\\devshl.dll", ""));
    HWND dialog = OpenDialog(HERE, "");
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(Keys(HERE, dialog, "key Tab Tab"));
    ASSERT_EQ(GetDlgItem(dialog, IDC_LOCATION),
              WaitForFocus(dialog, GetDlgItem(dialog, IDC_LOCATION)));
    // Tab selects the whole field, so typing replaces it.
    ASSERT_TRUE(Keys(HERE, dialog, "type --delay 30 '" + Media() + "\\'"));
    EXPECT_EQ(Media() + "\\", WaitForItemText(dialog, IDC_LOCATION, Media() + "\\"));
    ASSERT_TRUE(Keys(HERE, dialog, "key Return"));
    Outcome run = Ended(HERE);
    EXPECT_EQ(0u, run.ExitCode);
    ASSERT_EQ(2u, run.Processes);
    EXPECT_EQ(Written(Media()), StoredData());
    EXPECT_EQ(In("prog") + "\\diriz.exe", run.Tool["cmdline"]);
    EXPECT_EQ(Media() + ";" + SystemPath, run.Tool["path"]);
}

// What the real file system answers when OK probes the location: a target that turned up
// while the dialog was open, at a drive's root, under another letter case.
TEST_F(DialogTest, AcceptedLocationIsStoredOnlyWhenChanged)
{
    struct Row {
        const char* Name;
        std::string Stored;  // also what the dialog shows
        std::string Typed;   // empty: OK on the text as shown
        std::string TargetDir;
        std::string Data;  // the registry value afterwards
    };
    std::string upper = Media();
    CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
    const std::vector<Row> rows = {
        {"shown text unchanged", Media(), "", Media(), Kept(Media())},
        {"shown as a bare drive", "D:", "", DriveD(), Written("D:\\")},
        {"typed in another letter case", Media(), upper, Media(), Written(upper)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        DeleteFileA((DriveD() + "\\devshl.dll").c_str());
        DeleteFileA((Media() + "\\devshl.dll").c_str());
        ASSERT_TRUE(StoreLocation(HERE, Kept(row.Stored)));
        HWND dialog = OpenDialog(HERE, "");
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(row.Stored, ItemText(dialog, IDC_LOCATION));
        // The target turns up while the dialog is open, as when a disc is inserted.
        ASSERT_TRUE(WriteFileText(HERE, row.TargetDir + "\\devshl.dll", ""));
        if (!row.Typed.empty())
            SetItem(dialog, IDC_LOCATION, row.Typed);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        Outcome run = Ended(HERE);
        EXPECT_EQ(0u, run.ExitCode);
        EXPECT_EQ(2u, run.Processes);
        EXPECT_EQ(row.Data, StoredData());
    }
}

// Every way of leaving the dialog other than OK ends with 2, starts and writes nothing, even
// with a right location in the field.
TEST_F(DialogTest, CancelEscapeAndCloseEndWithTwoAndStartAndWriteNothing)
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
    ASSERT_TRUE(WriteFileText(HERE, Media() + "\\devshl.dll", ""));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        ASSERT_TRUE(StoreLocation(HERE, Kept(In("gone"))));
        HWND dialog = OpenDialog(HERE, "");
        ASSERT_NE(nullptr, dialog);
        SetItem(dialog, IDC_LOCATION, Media());
        switch (row.Way) {
        case ClickCancel: {
            RECT button = WindowRect(GetDlgItem(dialog, IDCANCEL));
            ASSERT_TRUE(Keys(HERE, dialog,
                             "mousemove --sync " +
                                 std::to_string((button.left + button.right) / 2) + " " +
                                 std::to_string((button.top + button.bottom) / 2) + " click 1"));
            break;
        }
        case CancelCommand: PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); break;
        case EscapeKey: ASSERT_TRUE(Keys(HERE, dialog, "key Escape")); break;
        case CloseCommand: PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        }
        Outcome run = Ended(HERE);
        EXPECT_EQ(2u, run.ExitCode);
        EXPECT_EQ(1u, run.Processes);
        EXPECT_EQ(Kept(In("gone")), StoredData());
    }
}

class BrowseTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        ASSERT_TRUE(MakeDir(HERE, In("other")));
        ASSERT_TRUE(WriteFileText(HERE, In("other\\devshl.dll"), ""));
        ASSERT_TRUE(WriteFileText(HERE, In("other\\notes.txt"), ""));
    }
    // Presses Browse and waits for the open-file dialog.
    HWND Browse(const char* file, int line, HWND dialog)
    {
        PostMessageA(dialog, WM_COMMAND, IDC_BROWSE, 0);
        return WaitForOwned(file, line, dialog);
    }
};

TEST_F(BrowseTest, OpenFileDialogLooksForTheTargetAndCancelLeavesTheField)
{
    // An existing directory, trailing separator and all, is where the open-file dialog starts.
    const std::string typed = In("other") + "\\";
    HWND dialog = OpenDialog(HERE, "");
    ASSERT_NE(nullptr, dialog);
    SetItem(dialog, IDC_LOCATION, typed);
    HWND open = Browse(HERE, dialog);
    ASSERT_NE(nullptr, open);
    // Its title names no product of its own, unlike the location dialog's caption.
    EXPECT_EQ("Locate Duzudiziv Eraziz DLL Files", WindowText(open));
    EXPECT_EQ("devshl.dll", ItemText(open, OpenFileNameField).substr(0, 10));
    EXPECT_EQ(STR_DEFAULT_TITLE, ItemText(open, OpenFileTypeField));
    HWND list = FindChild(open, "SysListView32");
    ASSERT_NE(nullptr, list);
    // Of devshl.dll and notes.txt, the one filter lists only the target's name.
    EXPECT_EQ(1, static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)));
    PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntilGone(open));
    EXPECT_EQ(typed, ItemText(dialog, IDC_LOCATION));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(2u, Ended(HERE).ExitCode);
}

TEST_F(BrowseTest, PickedFileGivesItsDirectoryAndOkStillProbesIt)
{
    struct Row {
        const char* Name;
        std::string Field;   // the location field when Browse is pressed
        std::string Picked;  // typed into the file name field; empty: the preset name
        std::string Location;
    };
    const std::vector<Row> rows = {
        {"preset name in the starting directory", In("other") + "\\", "", In("other")},
        {"file of another name", "", In("other\\notes.txt"), In("other")},
        {"target at a drive root", In("gone"), "D:\\devshl.dll", "D:\\"},
    };
    ASSERT_TRUE(WriteFileText(HERE, DriveD() + "\\devshl.dll", ""));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        ASSERT_TRUE(StoreLocation(HERE, Kept(In("gone"))));
        HWND dialog = OpenDialog(HERE, "");
        ASSERT_NE(nullptr, dialog);
        SetItem(dialog, IDC_LOCATION, row.Field);
        HWND open = Browse(HERE, dialog);
        ASSERT_NE(nullptr, open);
        if (!row.Picked.empty())
            SetItem(open, OpenFileNameField, row.Picked);
        PostMessageA(open, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntilGone(open));
        EXPECT_EQ(row.Location, ItemText(dialog, IDC_LOCATION));
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(Kept(In("gone")), StoredData());
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(0u, Ended(HERE).ExitCode);
        EXPECT_EQ(Written(row.Location), StoredData());
    }
}

}  // namespace
