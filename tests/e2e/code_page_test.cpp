// The real program under a double-byte ANSI code page (Japanese, 932): folder and file names
// whose characters have a second byte of 0x5C or 0x5F, which a byte-wise scan would take for
// a separator or an escape. The group runs under a Japanese locale, where Wine's code page
// is 932.
#include <string>

#include "e2e_support.h"

namespace {

// Shift-JIS characters: ソ and 表 end in 0x5C (a backslash), ダ in 0x5F (an underscore).
const std::string So = "\x83\x5C";
const std::string Hyo = "\x95\x5C";
const std::string Da = "\x83\x5F";
// 日本語 ("Japanese"), three double-byte characters.
const std::string Nihongo = "\x93\xFA\x96\x7B\x8C\xEA";

constexpr int OpenFileNameField = 1148;

class CodePageTest : public E2eTest {
protected:
    void SetUp() override
    {
        // The fixture's own set-up first, so that its tear-down has a scratch folder to remove
        // even when the test skips.
        E2eTest::SetUp();
        std::string missing = Env("NRTEST_NO_LOCALE");
        if (!missing.empty())
            GTEST_SKIP() << "no Japanese locale on this machine: " << missing;
        ASSERT_EQ(932u, GetACP()) << "the group runs under ja_JP.UTF-8";
        ASSERT_EQ(932u, GetOEMCP()) << "the group runs under ja_JP.UTF-8";
        ASSERT_TRUE(MakeDir(HERE, Folder()));
        ASSERT_TRUE(WriteFileText(HERE, Folder() + "\\devshl.dll", ""));
    }
    // A location whose last character ends in a backslash byte.
    std::string Folder() const { return In("Suite") + So; }
};

TEST_F(CodePageTest, StoredFolderEndingInSoIsUsedWithoutAPrompt)
{
    ASSERT_TRUE(SetString(HERE, "devshl.dll", Folder()));
    Outcome run = Run(HERE, "devshl.dll T tool.exe_$s");
    EXPECT_EQ(0u, run.ExitCode);
    ASSERT_EQ(2u, run.Processes);
    EXPECT_EQ("tool.exe " + Folder() + "\\devshl.dll", run.Tool["cmdline"]);
    EXPECT_EQ(Folder(), GetValue("devshl.dll").Text());
}

TEST_F(CodePageTest, DialogAndBrowseAcceptAFolderEndingInSo)
{
    for (bool browse : {false, true}) {
        SCOPED_TRACE(browse ? "browsed" : "typed");
        ASSERT_TRUE(SetString(HERE, "devshl.dll", In("gone")));
        ProgramRun* program = Start(HERE, "devshl.dll T tool.exe");
        HWND dialog = WaitForWindow(HERE, program);
        ASSERT_NE(nullptr, dialog);
        if (browse) {
            PostMessageA(dialog, WM_COMMAND, IDC_BROWSE, 0);
            HWND open = WaitForWindow(HERE, program, dialog);
            ASSERT_NE(nullptr, open);
            SetItem(open, OpenFileNameField, Folder() + "\\devshl.dll");
            PostMessageA(open, WM_COMMAND, IDOK, 0);
            EXPECT_TRUE(WaitUntilGone(open));
            EXPECT_EQ(Folder(), ItemText(dialog, IDC_LOCATION));
        } else {
            SetItem(dialog, IDC_LOCATION, Folder() + "\\");
        }
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        Outcome run = Finish(HERE, program);
        EXPECT_EQ(0u, run.ExitCode);
        EXPECT_EQ(2u, run.Processes);
        EXPECT_EQ(Folder(), GetValue("devshl.dll").Text());
    }
}

TEST_F(CodePageTest, ProgramFolderEndingInHyoGivesTheRightRoots)
{
    RunOptions options;
    options.Program = InstallProgram(HERE, In("Suite") + Hyo);
    ASSERT_TRUE(SetString(HERE, "devshl.dll", Folder()));
    ASSERT_EQ(1u, Run(HERE, "devshl.dll T x P", options).ExitCode);
    std::string script = ReadFileText(In("Suite") + Hyo + "\\NRVARCD.BAT");
    // Both folders lie directly in the scratch folder, which is therefore both roots.
    const std::string root = Scratch();
    EXPECT_NE(std::string::npos, script.find("set \"PATH=" + root + "\\BIN;" + root + "\\BIN\""))
        << script;
}

TEST_F(CodePageTest, TargetTitleAndCommandHoldingDaAreKeptWhole)
{
    const std::string target = Da + ".dll";
    ASSERT_TRUE(WriteFileText(HERE, Folder() + "\\" + target, ""));
    const std::string tail = target + " " + Da + "_Tools tool.exe_" + Da + "_$s";

    // Not stored and not in the current directory: the dialog names the title whole.
    ASSERT_TRUE(CreateKey(HERE, LocatorKey));
    ProgramRun* program = Start(HERE, tail);
    HWND dialog = WaitForWindow(HERE, program);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("Locate Marlinth " + Da + " Tools", WindowText(dialog));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(2u, Finish(HERE, program).ExitCode);

    ASSERT_TRUE(SetString(HERE, target, Folder()));
    Outcome run = Run(HERE, tail);
    EXPECT_EQ(0u, run.ExitCode);
    ASSERT_EQ(2u, run.Processes);
    EXPECT_EQ("tool.exe " + Da + " " + Folder() + "\\" + target, run.Tool["cmdline"]);
}

// The old PATH reaches the tool whole, however many of its characters take two bytes.
TEST_F(CodePageTest, OptionSPassesADoubleBytePathWhole)
{
    ASSERT_TRUE(SetString(HERE, "devshl.dll", Folder()));
    RunOptions options;
    options.Env["PATH"] = "C:\\t\\" + Nihongo + "\\bin;" + SystemPath;
    Outcome run = Run(HERE, "devshl.dll T tool.exe S", options);
    EXPECT_EQ(0u, run.ExitCode);
    ASSERT_EQ(2u, run.Processes);
    EXPECT_EQ(Scratch() + "\\Suiteソ;C:\\t\\日本語\\bin;C:\\windows\\system32;C:\\windows",
              run.Tool["pathw"]);
}

}  // namespace
