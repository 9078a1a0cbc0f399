#include "prompt/location_dialog.h"

#include "prompt/center_window.h"

#include <string>

#include "res/resource.h"
#include "res/strings.h"
#include "tests/unit/test_support.h"

namespace {

class LocationDialogTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        CopyText(Launch.TargetFile, "devshl.dll");
        CopyText(Launch.ProductTitle, "Duzudiziv Eraziz DLL Files");
        Fake().Rects[FakeDialog()] = HostRect{0, 0, 447, 221};
        Fake().Rects[FakeDesktop()] = HostRect{0, 0, 800, 600};
    }
    static intptr_t Send(uint32_t message, uintptr_t wParam)
    {
        return LocationDialogProc(FakeDialog(), message, wParam, 0);
    }
};

// Opening, the dialog names the product in its caption, shows the location unchanged and
// centres itself on the desktop (the odd-sized dialog of SetUp on 800 by 600).
TEST_F(LocationDialogTest, InitShowsCaptionLocationAndCentres)
{
    struct Row {
        const char* Title;
        const char* Caption;
        const char* Group;  // the label over the field
    };
    // clang-format off
    const Row rows[] = {
        {"Duzudiziv Eraziz DLL Files", "Locate Marlinth Duzudiziv Eraziz DLL Files", "&Location of Duzudiziv Eraziz DLL Files"},
        {"Marlinth Tools", "Locate Marlinth Tools", "&Location of Marlinth Tools"},
        {"marlinth tools", "Locate Marlinth marlinth tools", "&Location of marlinth tools"},
        {"Marlint", "Locate Marlinth Marlint", "&Location of Marlint"},
        {"Marlinth", "Locate Marlinth", "&Location of Marlinth"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Title);
        CopyText(Launch.ProductTitle, row.Title);
        CopyText(Launch.Location, "D:\\Tools\\\\");
        Fake().Moves.clear();
        EXPECT_EQ(1, Send(HostWmInitDialog, 0));
        EXPECT_EQ(row.Caption, Fake().Caption);
        EXPECT_EQ(row.Group, Fake().DialogTexts[IDC_LOCATION_GROUP]);
        EXPECT_EQ("D:\\Tools\\\\", Fake().DialogTexts[IDC_LOCATION]);
        ASSERT_EQ(1u, Fake().Moves.size());
        EXPECT_EQ(FakeDialog(), Fake().Moves.back().Window);
        EXPECT_EQ(177, Fake().Moves.back().X);
        EXPECT_EQ(190, Fake().Moves.back().Y);
    }
}

TEST_F(LocationDialogTest, PromptWordings)
{
    const std::string cdrom =
        "Please insert the CD-ROM labeled \"Halvard Marlinth\" into your CD-ROM drive, or enter "
        "the path to the Duzudiziv Eraziz DLL Files.";
    const std::string floppy =
        "Please insert the floppy disk labeled \"Halvard Marlinth, Disk 1\" into your floppy "
        "drive, or enter the path to the Duzudiziv Eraziz DLL Files.";
    const std::string installed =
        "Please enter the path to the Duzudiziv Eraziz DLL Files.  If these files cannot be "
        "found on your system, please reinstall Marlinth.";
    const std::string network = "Please enter the network path to the Duzudiziv Eraziz DLL Files.";
    struct Row {
        uint32_t Media;
        bool Floppy;
        std::string Prompt;
        const char* Title = "Duzudiziv Eraziz DLL Files";
    };
    // clang-format off
    const Row rows[] = {
        {0, false, cdrom},     {0, true, cdrom},
        {1, false, installed}, {1, true, floppy},
        {2, false, network},   {2, true, network},
        {7, false, floppy},    {0xFFFFFFFFu, false, floppy},
        {2, false, "Please enter the network path to the Marlinth Tools.", "Marlinth Tools"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.Media) + " floppy " + std::to_string(row.Floppy));
        CopyText(Launch.ProductTitle, row.Title);
        Launch.MediaKind = row.Media;
        Launch.FloppyPrompt = row.Floppy;
        Send(HostWmInitDialog, 0);
        EXPECT_EQ(row.Prompt, Fake().DialogTexts[IDC_PROMPT]);
    }
}

// What OK makes of a typed text (pasted, relative, double-byte, in Unicode, too long) before it
// probes and stores it; the current directory is C:\Work. A text refused leaves the field as
// it was and shows the box over the dialog.
TEST_F(LocationDialogTest, OkTable)
{
    const std::string so = "\x83\x5C";  // a character whose second byte is a backslash
    const std::string x600(600, 'x');
    struct Row {
        std::string Typed, Present, Location;  // Location "?": refused, not looked at
        bool Ends, CodePage932 = false;
        std::u16string TypedW = u"", CwdW = u"";  // typed, and the current directory, in Unicode
    };
    // clang-format off
    const Row rows[] = {
        {"C:\\", "C:\\devshl.dll", "C:\\", true},
        {"D:\\Tools\\\\/", "D:\\Tools\\devshl.dll", "D:\\Tools", true},
        {"", "\\devshl.dll", "", true},
        {"D:", "D:\\devshl.dll", "D:\\", true},
        {"D:\\Tools", "D:\\Tools\\devshl.dll\\", "D:\\Tools", true},
        {"E:\\Missing\\", "C:\\devshl.dll", "E:\\Missing", false},
        {x600, "", x600.substr(0, 519), false},  // read with the capacity of Location
        {"\"D:\\Suite\\BIN\"", "D:\\Suite\\BIN\\devshl.dll", "D:\\Suite\\BIN", true},
        {"  D:\\Suite\\BIN \t", "D:\\Suite\\BIN\\devshl.dll", "D:\\Suite\\BIN", true},
        {".", "C:\\Work\\devshl.dll", "C:\\Work", true},
        {"..", "C:\\devshl.dll", "C:\\", true},
        {"\"..\\\"", "C:\\devshl.dll", "C:\\", true},
        {"sub\\dir", "C:\\Work\\sub\\dir\\devshl.dll", "C:\\Work\\sub\\dir", true},
        {"\\SUITE\\BIN", "C:\\SUITE\\BIN\\devshl.dll", "C:\\SUITE\\BIN", true},
        {"\\\\server\\share", "\\\\server\\share\\devshl.dll", "\\\\server\\share", true},
        {"E:\\" + so, "E:\\" + so + "\\devshl.dll", "E:\\" + so, true, true},
        {"E:\\" + so + "\\", "E:\\" + so + "\\devshl.dll", "E:\\" + so, true, true},
        {std::string(515, 'r'), "", "?", false},  // no absolute form fits
        {"", "C:\\t\\DIR~1\\devshl.dll", "C:\\t\\DIR~1", true, false, u"C:\\t\\dirΩ"},
        {"", "", "?", false, false, u"D:\\dirΩ"},  // no short name: never D:\dirO
        {"sub", "C:\\t\\DIR~1\\sub\\devshl.dll", "C:\\t\\DIR~1\\sub", true, false, u"", u"C:\\t\\dirΩ"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Typed.substr(0, 40));
        ResetFake();
        if (row.CodePage932)
            UseCodePage932();
        if (!row.Present.empty())
            AddFile(row.Present);
        AddFile("D:\\dirO\\devshl.dll");
        Fake().ShortNames[u"C:\\t\\dirΩ"] = u"C:\\t\\DIR~1";
        Fake().ShortNames[u"C:\\t\\dirΩ\\sub"] = u"C:\\t\\DIR~1\\sub";
        Fake().DialogTexts[IDC_LOCATION] = row.Typed;
        if (!row.TypedW.empty())
            Fake().DialogTextsW[IDC_LOCATION] = row.TypedW;
        Fake().CurrentDirectoryW = row.CwdW;
        EXPECT_EQ(1, Send(HostWmCommand, IDOK));
        if (row.Location != "?") {
            EXPECT_EQ(row.Location, Launch.Location);
        }
        if (row.Ends) {
            EXPECT_EQ(std::vector<intptr_t>{IDOK}, Fake().EndDialogResults);
            EXPECT_TRUE(Fake().MessageBoxes.empty());
            continue;
        }
        EXPECT_TRUE(Fake().EndDialogResults.empty());
        ASSERT_EQ(1u, Fake().MessageBoxes.size());
        EXPECT_EQ(
            "The specified location is invalid or does not contain the Duzudiziv Eraziz DLL Files.",
            Fake().MessageBoxes[0].Text);
        EXPECT_EQ(STR_BAD_LOCATION_CAPTION, Fake().MessageBoxes[0].Caption);
        EXPECT_EQ(FakeDialog(), Fake().MessageBoxes[0].Owner);
        EXPECT_EQ(row.Typed, Fake().DialogTexts[IDC_LOCATION]);
    }
}

TEST_F(LocationDialogTest, CancelAndUnhandledMessages)
{
    EXPECT_EQ(1, Send(HostWmCommand, IDCANCEL));
    EXPECT_EQ(std::vector<intptr_t>{2}, Fake().EndDialogResults);
    Fake().EndDialogResults.clear();

    struct Row {
        uint32_t Message;
        uintptr_t WParam;
    };
    const Row rows[] = {
        {HostWmCommand, (0x0300u << 16) | IDC_LOCATION},  // the edit field's change notice
        {HostWmCommand, (1u << 16) | IDOK},
        {HostWmCommand, (1u << 16) | IDCANCEL},
        {HostWmCommand, 4},
        {0x0010, 0},  // close
        {0x0112, 0xF060},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.Message) + " " + std::to_string(row.WParam));
        Fake().DialogTexts[IDC_LOCATION] = "E:\\";
        EXPECT_EQ(0, Send(row.Message, row.WParam));
        EXPECT_TRUE(Fake().EndDialogResults.empty());
        EXPECT_TRUE(Fake().MessageBoxes.empty());
        EXPECT_STREQ("", Launch.Location);
    }
}

// Browse puts the chosen file's folder into the field: by its short name where the ANSI code
// page cannot spell it, or without one the box and the field as it was; a double-byte folder
// whole. A typed text the code page lacks stays in the field when Browse is cancelled.
TEST_F(LocationDialogTest, BrowseFillsInTheChosenDirectory)
{
    const std::string so = "\x83\x5C";  // a character whose second byte is a backslash
    const std::u16string omega = u"C:\\t\\dirΩ\\devshl.dll";
    struct Row {
        std::string Choice, Field;  // no choice: Browse cancelled
        bool CodePage932 = false;
        std::u16string ChoiceW = u"", TypedW = u"";
        bool ShortName = false;
        size_t Boxes = 0;
    };
    // clang-format off
    const Row rows[] = {
        {"C:\\Tools\\BIN\\devshl.dll", "C:\\Tools\\BIN"},
        {"C:\\devshl.dll", "C:\\"},
        {"\\\\server\\share\\devshl.dll", "\\\\server\\share"},
        {"E:\\Other\\readme.txt", "E:\\Other"},  // any chosen file, not only the target
        {"", "D:\\typed\\"},
        {"E:\\" + so + "\\devshl.dll", "E:\\" + so, true},
        {"", "C:\\t\\DIR~1", false, omega, u"", true},
        {"", "D:\\typed\\", false, omega, u"", false, 1},
        {"", "D:\\typed\\", false, u"", u"E:\\dirΩ"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Field);
        ResetFake();
        if (row.CodePage932)
            UseCodePage932();
        if (row.ShortName)
            Fake().ShortNames[omega] = u"C:\\t\\DIR~1\\devshl.dll";
        Fake().DialogTexts[IDC_LOCATION] = "D:\\typed\\";
        if (!row.TypedW.empty())
            Fake().DialogTextsW[IDC_LOCATION] = row.TypedW;
        Fake().OpenFileChoice = row.Choice;
        Fake().OpenFileChoiceW = row.ChoiceW;
        EXPECT_EQ(1, Send(HostWmCommand, IDC_BROWSE));
        EXPECT_EQ(row.TypedW, Fake().DialogTextsW[IDC_LOCATION]);
        if (row.TypedW.empty()) {
            EXPECT_EQ(row.Field, Fake().DialogTexts[IDC_LOCATION]);
        }
        if (row.TypedW.empty() && row.Boxes == 0) {
            EXPECT_EQ(row.Field, Launch.Location);
        }
        EXPECT_EQ(row.Boxes, Fake().MessageBoxes.size());
        EXPECT_TRUE(Fake().EndDialogResults.empty());
    }
}

TEST(CenterOnDesktopTest, HalvesEachExtentOnItsOwnTowardZero)
{
    struct Row {
        const char* Name;
        HostRect Window, Desktop;
        int X, Y;
    };
    const Row rows[] = {
        {"445 wide on 1024", {10, 10, 455, 231}, {0, 0, 1024, 768}, 290, 274},
        {"negative origin", {0, 0, 447, 221}, {-1024, -768, 0, 0}, -735, -494},
        {"odd desktop, negative origin", {0, 0, 447, 221}, {-801, -601, 0, 0}, -624, -411},
        {"inverted window", {0, 0, -5, -3}, {0, 0, 800, 600}, 402, 301},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        ResetFake();
        Fake().Rects[FakeDialog()] = row.Window;
        Fake().Rects[FakeDesktop()] = row.Desktop;
        CenterOnDesktop(FakeDialog(), FakeDesktop());
        ASSERT_EQ(1u, Fake().Moves.size());
        const FakeHost::Move& move = Fake().Moves[0];
        EXPECT_EQ(FakeDialog(), move.Window);
        EXPECT_EQ(nullptr, move.After);
        EXPECT_EQ(row.X, move.X);
        EXPECT_EQ(row.Y, move.Y);
    }
}

}  // namespace
