// The location dialog and its file browser on the real program: place, keyboard and mouse,
// what OK, Cancel and Browse leave in the registry, and screenshots of each wording. The runs
// are rows (E2eCase in e2e_support.h); what only a running window shows is a test of its own.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace {

// A stored value with bytes after its terminator: the program reads only up to the
// terminator, and a write back would drop the rest, so the bytes show whether it wrote.
RegData Kept(const std::string& location)
{
    return {REG_SZ, location + std::string(1, '\0') + "as stored" + std::string(1, '\0')};
}

class DialogTest : public E2eTest {};

TEST_F(DialogTest, Runs)
{
    const RegKey gone = {{"devshl.dll", Kept("@s\\gone")}};
    const std::map<std::string, std::string> target = {{"@m\\devshl.dll", ""}};
    // The group's D: tells no volume.
    const RegKey stored = {{"devshl.dll", Sz("@m")}, {"devshl.dll|volume", OnSystemDrive}};
    const std::string badLocation = STR_BAD_LOCATION_CAPTION
        "|The specified location is invalid or does not contain the Duzudiziv Eraziz DLL Files.";
    auto shown = [](char media) {
        return RegKey{{"devshl.dll", Sz("@s\\gone\\/")},
                      {"media", {REG_DWORD, std::string(1, media) + std::string(3, '\0')}}};
    };
    const std::string wording = "devshl.dll Duzudiziv_Eraziz_DLL_Files diriz.exe";
    std::string upper = Media();
    CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
    // clang-format off
    RunCases(HERE, {
        // OK, or Enter, on a folder without the target: the error box, the dialog stays with
        // the text as typed, nothing is stored; then a right folder is accepted the same way.
        {.Name = "OK on a wrong folder", .Values = gone, .Files = target,
         .Dialog = {"type @s\\missing\\", "ok", "box " + badLocation, "field @s\\missing\\",
                    "type @m", "ok"},
         .Tool = {{"cmdline", "@p\\diriz.exe"}}, .After = stored},
        {.Name = "Enter on a wrong folder", .Values = gone, .Files = target,
         .Dialog = {"type @s\\missing\\", "key Return", "box-enter " + badLocation,
                    "field @s\\missing\\", "type @m", "key Return"},
         .Tool = {{"cmdline", "@p\\diriz.exe"}}, .After = stored},
        // The edit control hands over no more than the location holds: a longer text is
        // refused like a wrong one.
        {.Name = "600 bytes typed", .Values = gone,
         .Dialog = {"type C:\\" + std::string(597, 'q'), "ok", "box " + badLocation, "cancel"},
         .Exit = 2},
        // Typed with real keys into the field that Tab reaches (Tab selects the whole field,
        // so typing replaces it), then Enter: the default run starts diriz.exe with no tail.
        {.Name = "typed with keys", .Values = gone, .Files = target,
         .Dialog = {"key Tab Tab", "keys @m\\", "field @m\\", "key Return"},
         .Tool = {{"cmdline", "@p\\diriz.exe"}, {"path", "@m;C:\\windows\\system32;C:\\windows"}},
         .After = stored},
        // What the real file system answers when OK probes: a target that turns up while the
        // dialog is open, as when a disc is inserted; a drive's root; another letter case.
        {.Name = "shown text unchanged", .Values = {{"devshl.dll", Kept("@m")}},
         .Dialog = {"field @m", "make @m\\devshl.dll", "ok"},
         .Tool = {{"cmdline", "@p\\diriz.exe"}}},
        {.Name = "shown as a bare drive", .Values = {{"devshl.dll", Kept("D:")}},
         .Dialog = {"field D:", "make D:\\devshl.dll", "ok"},
         .Tool = {{"cmdline", "@p\\diriz.exe"}}, .After = RegKey{{"devshl.dll", Sz("D:\\")}}},
        {.Name = "typed in another letter case", .Values = {{"devshl.dll", Kept("@m")}},
         .Dialog = {"make @m\\devshl.dll", "type " + upper, "ok"},
         .Tool = {{"cmdline", "@p\\diriz.exe"}},
         .After = RegKey{{"devshl.dll", Sz(upper)}, {"devshl.dll|volume", OnSystemDrive}}},
        // Every way of leaving other than OK ends with 2, starts and writes nothing, even with
        // a right location in the field.
        {.Name = "click on Cancel", .Values = gone, .Files = target,
         .Dialog = {"type @m", "click 2"}, .Exit = 2},
        {.Name = "Cancel command", .Values = gone, .Files = target, .Dialog = {"type @m", "cancel"},
         .Exit = 2},
        {.Name = "Escape key", .Values = gone, .Files = target, .Dialog = {"type @m", "key Escape"},
         .Exit = 2},
        {.Name = "close command of the caption", .Values = gone, .Files = target,
         .Dialog = {"type @m", "close"}, .Exit = 2},
        // A picked file gives its folder, and OK still probes it.
        {.Name = "browsed: the preset name in the starting folder", .Values = gone,
         .Files = {{"@s\\other\\devshl.dll", ""}},
         .Dialog = {"type @s\\other\\", "browse", "field @s\\other", "ok"},
         .Tool = {{"cmdline", "@p\\diriz.exe"}},
         .After = RegKey{{"devshl.dll", Sz("@s\\other")}, {"devshl.dll|volume", OnSystemDrive}}},
        {.Name = "browsed: a file of another name", .Values = gone,
         .Files = {{"@s\\other\\devshl.dll", ""}, {"@s\\other\\notes.txt", ""}},
         .Dialog = {"type ", "browse @s\\other\\notes.txt", "field @s\\other", "ok"},
         .Tool = {{"cmdline", "@p\\diriz.exe"}},
         .After = RegKey{{"devshl.dll", Sz("@s\\other")}, {"devshl.dll|volume", OnSystemDrive}}},
        {.Name = "browsed: the target at a drive's root", .Values = gone,
         .Files = {{"D:\\devshl.dll", ""}}, .Dialog = {"browse D:\\devshl.dll", "field D:\\", "ok"},
         .Tool = {{"cmdline", "@p\\diriz.exe"}}, .After = RegKey{{"devshl.dll", Sz("D:\\")}}},
        // Each wording, for the screenshots (the wordings themselves are the unit tests' to
        // check), the location shown as stored, trailing separators and all.
        {.Name = "media 0", .Values = shown(0), .Tail = wording,
         .Dialog = {"field @s\\gone\\/", "shot media0", "cancel"}, .Exit = 2},
        {.Name = "media 1", .Values = shown(1), .Tail = wording,
         .Dialog = {"field @s\\gone\\/", "shot media1", "cancel"}, .Exit = 2},
        {.Name = "media 1, option 1", .Values = shown(1), .Tail = wording + " 1",
         .Dialog = {"field @s\\gone\\/", "shot media1-option1", "cancel"}, .Exit = 2},
        {.Name = "media 2", .Values = shown(2), .Tail = wording,
         .Dialog = {"field @s\\gone\\/", "shot media2", "cancel"}, .Exit = 2},
    });
    // clang-format on
}

// What only the running windows show, in one run. The dialog opens centred on the real
// desktop, whatever the sizes the platform gives the two; the focus starts on OK, and Tab
// walks the tab order. The error box has one button, OK, and the error icon, and is owned by
// the dialog. The open-file dialog starts in the typed folder, titled without a product name
// of its own, lists only the target's name, and Cancel leaves the field as it was.
TEST_F(DialogTest, Windows)
{
    ASSERT_TRUE(MakeDir(HERE, In("other")));
    ASSERT_TRUE(WriteFileText(HERE, In("other\\devshl.dll"), ""));
    ASSERT_TRUE(WriteFileText(HERE, In("other\\notes.txt"), ""));
    ProgramRun* run = Start(HERE, "");
    HWND dialog = run != nullptr ? WaitForWindow(HERE, run) : nullptr;
    ASSERT_NE(nullptr, dialog);
    RECT r = WindowRect(GetDesktopWindow());
    RECT w = WindowRect(dialog);
    EXPECT_LE(std::abs((w.left + w.right) - (r.left + r.right)), 2);
    EXPECT_LE(std::abs((w.top + w.bottom) - (r.top + r.bottom)), 2);
    EXPECT_EQ(GetDlgItem(dialog, IDOK), FocusOf(dialog));
    for (int id : {IDCANCEL, IDC_LOCATION, IDC_BROWSE, IDOK}) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(Keys(HERE, dialog, "key Tab"));
        EXPECT_EQ(GetDlgItem(dialog, id), WaitForFocus(dialog, GetDlgItem(dialog, id)));
    }

    SetItem(dialog, IDC_LOCATION, In("missing"));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    HWND box = WaitForWindow(HERE, run, dialog);
    ASSERT_NE(nullptr, box);
    std::vector<HWND> buttons = VisibleChildren(box, "Button");
    ASSERT_EQ(1u, buttons.size());
    EXPECT_EQ("OK", WindowText(buttons[0]));
    bool icon = false;
    for (HWND child : VisibleChildren(box, "Static"))
        icon = icon || SendMessageA(child, STM_GETICON, 0, 0) != 0;
    EXPECT_TRUE(icon);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntilGone(box));

    SetItem(dialog, IDC_LOCATION, In("other") + "\\");
    PostMessageA(dialog, WM_COMMAND, IDC_BROWSE, 0);
    HWND open = WaitForWindow(HERE, run, dialog);
    ASSERT_NE(nullptr, open);
    EXPECT_EQ("Locate Duzudiziv Eraziz DLL Files", WindowText(open));
    EXPECT_EQ("devshl.dll", ItemText(open, OpenFileNameField).substr(0, 10));
    EXPECT_EQ(STR_DEFAULT_TITLE, ItemText(open, OpenFileTypeField));
    HWND list = FindChild(open, "SysListView32");
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(1, static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)));
    PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntilGone(open));
    EXPECT_EQ(In("other") + "\\", ItemText(dialog, IDC_LOCATION));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(2u, Finish(HERE, run).ExitCode);
}

}  // namespace
