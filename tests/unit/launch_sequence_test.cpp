#include "run/launch_sequence.h"

#include <algorithm>
#include <string>

#include "res/resource.h"
#include "res/strings.h"
#include "tests/unit/test_support.h"

namespace {

class LaunchSequenceTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        AddDirectory("C:\\Suite\\BIN");
        AddDirectory("C:\\Work");
        AddDirectory("E:\\SUITE\\BIN");
        Fake().Environment["PATH"] = "C:\\WIN";
    }

    static int Run(const char* tail) { return RunLauncher(nullptr, tail); }
};

constexpr const char* Tail = "run.exe Marlinth_Tools tool.exe_$s S";

TEST_F(LaunchSequenceTest, TargetAtTheRememberedLocationStartsWithoutPromptOrWrite)
{
    SetRegString(LocatorKeyPath, "run.exe", "E:\\SUITE\\BIN");
    AddFile("E:\\SUITE\\BIN\\run.exe");
    EXPECT_EQ(ExitStarted, Run(Tail));
    EXPECT_TRUE(Fake().DialogRuns.empty());
    EXPECT_EQ(0, Fake().RegistryWrites);
    ASSERT_EQ(1u, Fake().Started.size());
    EXPECT_EQ("tool.exe E:\\SUITE\\BIN\\run.exe", Fake().Started[0].CommandLine);
    EXPECT_EQ("E:\\SUITE\\BIN;C:\\WIN", Fake().Started[0].Path);
    EXPECT_EQ(HostSemFailCriticalErrors, Fake().Started[0].ErrorModeOfParent);
    EXPECT_EQ(HostCreateDefaultErrorMode, Fake().Started[0].Flags);
}

TEST_F(LaunchSequenceTest, NoValueAndTargetInCurrentDirectoryStoresIt)
{
    Fake().Keys[LocatorKeyPath];
    AddFile("C:\\Work\\run.exe");
    EXPECT_EQ(ExitStarted, Run(Tail));
    EXPECT_TRUE(Fake().DialogRuns.empty());
    EXPECT_EQ("C:\\Work", RegText(LocatorKeyPath, "run.exe"));
    ASSERT_EQ(1u, Fake().Started.size());
}

TEST_F(LaunchSequenceTest, WithoutProductKeyTheRootOfTheCurrentDriveIsProbed)
{
    AddFile("\\run.exe");
    EXPECT_EQ(ExitStarted, Run(Tail));
    EXPECT_EQ("GetFileAttributes \\run.exe", Fake().Calls.at(1));
    ASSERT_EQ(1u, Fake().Started.size());
    EXPECT_EQ("tool.exe \\run.exe", Fake().Started[0].CommandLine);
    EXPECT_EQ(";C:\\WIN", Fake().Started[0].Path);
    EXPECT_TRUE(Fake().Keys.empty());
}

TEST_F(LaunchSequenceTest, MissingTargetWhenTheDialogCannotOpenEndsWithTwo)
{
    SetRegString(LocatorKeyPath, "run.exe", "E:\\GONE");
    EXPECT_EQ(ExitCancelled, Run(Tail));
    ASSERT_EQ(1u, Fake().DialogRuns.size());
    EXPECT_EQ(static_cast<uint32_t>(IDD_LOCATE), Fake().DialogRuns[0].TemplateId);
    EXPECT_EQ(nullptr, Fake().DialogRuns[0].Owner);
    EXPECT_EQ(0, Fake().DialogRuns[0].Param);
    EXPECT_EQ(0, Fake().RegistryWrites);
    EXPECT_TRUE(Fake().Started.empty());
}

TEST_F(LaunchSequenceTest, DialogAnswersAreStoredNormalised)
{
    struct Row {
        const char* Typed;
        const char* Stores;
    };
    const Row rows[] = {
        {"E:\\SUITE\\BIN", "E:\\SUITE\\BIN"},
        {"E:\\SUITE\\BIN\\\\/", "E:\\SUITE\\BIN"},
        {"E:", "E:\\"},
        {"E:\\", "E:\\"},
        {"e:\\suite\\bin", "e:\\suite\\bin"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Typed);
        SetUp();
        SetRegString(LocatorKeyPath, "run.exe", "E:\\GONE");
        AddFile("E:\\SUITE\\BIN\\run.exe");
        AddFile("E:\\run.exe");
        AnswerDialog(row.Typed);
        EXPECT_EQ(ExitStarted, Run(Tail));
        EXPECT_EQ(row.Stores, RegText(LocatorKeyPath, "run.exe"));
        EXPECT_EQ(1, Fake().RegistryWrites);
        ASSERT_EQ(1u, Fake().Started.size());
    }
}

TEST_F(LaunchSequenceTest, ConfirmingTheShownTextUnchangedWritesNothing)
{
    // The medium goes in while the dialog is open; OK then finds the target at the same text.
    for (const char* stored : {"E:\\SUITE\\BIN", "E:\\"}) {
        SCOPED_TRACE(stored);
        SetUp();
        SetRegString(LocatorKeyPath, "run.exe", stored);
        Fake().DialogScript = [](HostDialogProc proc) -> intptr_t {
            AddFile("E:\\SUITE\\BIN\\run.exe");
            AddFile("E:\\run.exe");
            proc(FakeDialog(), HostWmInitDialog, 0, 0);
            proc(FakeDialog(), HostWmCommand, IDOK, 0);
            return Fake().EndDialogResults.back();
        };
        EXPECT_EQ(ExitStarted, Run(Tail));
        EXPECT_EQ(0, Fake().RegistryWrites);
        EXPECT_EQ(1u, Fake().Started.size());
    }
}

TEST_F(LaunchSequenceTest, CancelWritesNothingAndStartsNothing)
{
    SetRegValue(LocatorKeyPath, "run.exe", HostRegExpandSz, std::string("E:\\X\0", 5));
    Fake().DialogScript = [](HostDialogProc proc) -> intptr_t {
        proc(FakeDialog(), HostWmInitDialog, 0, 0);
        proc(FakeDialog(), HostWmCommand, IDCANCEL, 0);
        return Fake().EndDialogResults.back();
    };
    EXPECT_EQ(ExitCancelled, Run(Tail));
    EXPECT_EQ(0, Fake().RegistryWrites);
    EXPECT_EQ(HostRegExpandSz, Fake().Keys[LocatorKeyPath]["run.exe"].Type);
    EXPECT_TRUE(Fake().Started.empty());
}

TEST_F(LaunchSequenceTest, DefaultRunStartsDirizBesideTheProgram)
{
    SetRegString(LocatorKeyPath, "devshl.dll", "E:\\SUITE\\BIN");
    AddFile("E:\\SUITE\\BIN\\devshl.dll");
    EXPECT_EQ(ExitStarted, Run("my.prj"));
    ASSERT_EQ(1u, Fake().Started.size());
    EXPECT_EQ("C:\\Suite\\BIN\\diriz.exe my.prj", Fake().Started[0].CommandLine);
    EXPECT_EQ("E:\\SUITE\\BIN;C:\\WIN", Fake().Started[0].Path);
}

// The default run's tail reaches diriz.exe byte for byte: no per-cent sign in it is a
// conversion, and its limit is the command as the child receives it.
TEST_F(LaunchSequenceTest, DefaultRunPassesItsTailUnchanged)
{
    SetRegString(LocatorKeyPath, "devshl.dll", "E:\\SUITE\\BIN");
    AddFile("E:\\SUITE\\BIN\\devshl.dll");
    const std::string percent776(776, '%');  // "C:\Suite\BIN\diriz.exe " is 23 bytes
    for (const std::string& tail : {std::string("50%sale.prj 100%%"), percent776}) {
        SCOPED_TRACE(tail.substr(0, 20));
        Fake().Started.clear();
        ResetLaunchState();
        EXPECT_EQ(ExitStarted, Run(tail.c_str()));
        ASSERT_EQ(1u, Fake().Started.size());
        EXPECT_EQ("C:\\Suite\\BIN\\diriz.exe " + tail, Fake().Started[0].CommandLine);
    }
}

// The program's folder as the system names it: exactly, or by its short name where the ANSI
// code page cannot spell it (dirO, its look-alike, is another folder); else unavailable.
TEST_F(LaunchSequenceTest, ProgramDirIsTheModuleNameExactlyOrByItsShortName)
{
    SetRegString(LocatorKeyPath, "devshl.dll", "E:\\SUITE\\BIN");
    AddFile("E:\\SUITE\\BIN\\devshl.dll");
    AddDirectory("C:\\t\\dirO\\BIN");
    const std::u16string omega = u"C:\\t\\dirΩ\\BIN\\nrcdrom.exe";
    struct Row {
        const char* Name;
        bool Fails;
        std::u16string Unicode;  // empty: the ANSI name below
        bool ShortName;
        const char* Started;
    };
    const Row rows[] = {
        {"fails", true, u"", false, "\\diriz.exe"},
        {"too long", false, u"", false, "\\diriz.exe"},
        {"unspellable, with a short name", false, omega, true, "C:\\t\\DIR~1\\BIN\\diriz.exe"},
        {"unspellable, no short name", false, omega, false, "\\diriz.exe"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        Fake().Started.clear();
        Fake().ShortNames.clear();
        Fake().Failures.clear();
        ResetLaunchState();
        if (row.Fails)
            Fake().Failures["GetModuleFileName"] = {0, ErrorFileNotFound};
        Fake().ModuleFileName = "C:\\" + std::string(600, 'm') + "\\nrcdrom.exe";
        Fake().ModuleFileNameW = row.Unicode;
        if (row.ShortName)
            Fake().ShortNames[omega] = u"C:\\t\\DIR~1\\BIN\\nrcdrom.exe";
        EXPECT_EQ(ExitStarted, Run(""));
        ASSERT_EQ(1u, Fake().Started.size());
        EXPECT_EQ(row.Started, Fake().Started[0].CommandLine);
    }
}

// A line that cmd's type shows as written: in cmd's code page in a file, in Unicode on a
// console.
TEST_F(LaunchSequenceTest, UnattendedLineIsReadableInCmd)
{
    for (bool console : {false, true}) {
        SCOPED_TRACE(console ? "console" : "file");
        ResetFake();
        ResetLaunchState();
        UseCodePages(1252, 850);
        SetRegString(LocatorKeyPath, "run.exe",
                     "E:\\\xDC"
                     "bung");
        Fake().Environment["NRCDROM_UNATTENDED"] = "1";
        Fake().HasStdError = true;
        Fake().StdErrorIsConsole = console;
        EXPECT_EQ(ExitCancelled, Run(Tail));
        EXPECT_EQ(console ? ""
                          : "nrcdrom: run.exe is not in E:\\\x9A"
                            "bung; not asking because "
                            "NRCDROM_UNATTENDED is set\r\n",
                  Fake().StdError);
        EXPECT_EQ(console ? u"nrcdrom: run.exe is not in E:\\Übung; not asking because "
                            u"NRCDROM_UNATTENDED is set\r\n"
                          : u"",
                  Fake().ConsoleText);
    }
}

TEST_F(LaunchSequenceTest, OverLongTokenIsRefusedWithABoxAndNothingElse)
{
    Fake().Keys[LocatorKeyPath];
    AddFile("C:\\Work\\" + std::string(300, 'n'));
    const std::string tail = std::string(300, 'n') + " title tool.exe S";
    EXPECT_EQ(ExitCancelled, Run(tail.c_str()));
    ASSERT_EQ(1u, Fake().MessageBoxes.size());
    EXPECT_EQ(Fake().Strings[IDS_BAD_COMMAND_LINE], Fake().MessageBoxes[0].Text);
    EXPECT_EQ(Fake().Strings[IDS_BAD_COMMAND_LINE_CAPTION], Fake().MessageBoxes[0].Caption);
    EXPECT_EQ(0, Fake().RegistryWrites);
    EXPECT_TRUE(Fake().Started.empty());
    EXPECT_TRUE(Fake().DialogRuns.empty());
}

// NRCDROM_UNATTENDED set to anything but 0 (or empty): no window at all. Where the dialog
// or the error box would show, the run ends with 2, writes nothing, and says why on its
// standard error when it has one. With W a started tool's exit code ends the run, whatever
// it is, and the program says nothing of its own.
TEST_F(LaunchSequenceTest, UnattendedRunShowsNoWindow)
{
    const std::string tooLong = std::string(300, 'n') + " title tool.exe";
    const std::string waited = std::string(Tail) + "W";
    const std::string missing =
        "nrcdrom: run.exe is not in E:\\GONE; not asking because NRCDROM_UNATTENDED is set\r\n";
    struct Row {
        const char* Name;
        const char* Value;  // null: not set
        bool StdError;
        std::string Args;
        bool Present;
        int Exit;
        std::string Said;
        size_t Windows;  // dialogs and boxes
        uint32_t ToolExit = 0;
    };
    const Row rows[] = {
        {"target missing", "1", true, Tail, false, ExitCancelled, missing, 0},
        {"any other value", "yes", true, Tail, false, ExitCancelled, missing, 0},
        {"no standard error", "1", false, Tail, false, ExitCancelled, "", 0},
        {"refused command line", "1", true, tooLong, false, ExitCancelled,
         std::string(STR_UNATTENDED_REFUSED), 0},
        {"target present: as attended", "1", true, Tail, true, ExitStarted, "", 0},
        {"set to 0: attended", "0", true, Tail, false, ExitCancelled, "", 1},
        {"empty: attended", "", true, Tail, false, ExitCancelled, "", 1},
        {"not set: attended", nullptr, true, tooLong, false, ExitCancelled, "", 1},
        {"W: the tool's 0", "1", true, waited, true, 0, "", 0, 0},
        {"W: the tool's 7", "1", true, waited, true, 7, "", 0, 7},
        {"W: the tool's 3, without a line", "1", true, waited, true, 3, "", 0, 3},
        {"W: the tool's 0xC0000005", "1", true, waited, true, static_cast<int>(0xC0000005u), "", 0,
         0xC0000005u},
        {"W: target missing", "1", true, waited, false, ExitCancelled, missing, 0, 7},
        {"W: refused command line", "1", true, tooLong + " W", false, ExitCancelled,
         std::string(STR_UNATTENDED_REFUSED), 0, 7},
        {"W: attended, target missing", "0", true, waited, false, ExitCancelled, "", 1, 7},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        ResetFake();
        ResetLaunchState();
        SetRegString(LocatorKeyPath, "run.exe", "E:\\GONE\\");
        if (row.Present)
            AddFile("E:\\GONE\\run.exe");
        if (row.Value != nullptr && row.Value[0] != '\0')
            Fake().Environment["NRCDROM_UNATTENDED"] = row.Value;
        Fake().HasStdError = row.StdError;
        Fake().ToolExitCode = row.ToolExit;
        EXPECT_EQ(row.Exit, Run(row.Args.c_str()));
        EXPECT_EQ(row.Said, Fake().StdError);
        EXPECT_EQ(row.Windows, Fake().DialogRuns.size() + Fake().MessageBoxes.size());
        EXPECT_EQ(0, Fake().RegistryWrites);
        EXPECT_EQ(row.Present ? 1u : 0u, Fake().Started.size());
    }
}

// A tool that cannot be started is said so, with the command line and the system's reason:
// in a box, or unattended in one line where standard error goes; the run ends with 3. With W
// too, the console it joins for the tool included: it takes no line the run would not write.
TEST_F(LaunchSequenceTest, UnstartableToolEndsWithThreeAndSaysWhy)
{
    const std::string line =
        "nrcdrom: the tool could not be started: The system cannot find the file "
        "specified.; command line: tool.exe E:\\SUITE\\BIN\\run.exe\r\n";
    struct Row {
        const char* Name;
        bool Unattended;
        const char* Options;
        bool StdError;
        std::string Said;
    };
    const Row rows[] = {
        {"attended", false, "S", true, ""},
        {"unattended", true, "S", true, line},
        {"attended, W", false, "SW", true, ""},
        {"unattended, W", true, "SW", true, line},
        {"unattended, W, no standard error but the caller's console", true, "SW", false, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        SetUp();
        SetRegString(LocatorKeyPath, "run.exe", "E:\\SUITE\\BIN");
        AddFile("E:\\SUITE\\BIN\\run.exe");
        Fake().Failures["CreateProcess"] = {0, ErrorFileNotFound};
        Fake().HasStdError = row.StdError;
        Fake().ParentHasConsole = true;
        if (row.Unattended)
            Fake().Environment["NRCDROM_UNATTENDED"] = "1";
        EXPECT_EQ(ExitNotStarted,
                  Run((std::string("run.exe Marlinth_Tools tool.exe_$s ") + row.Options).c_str()));
        EXPECT_EQ(row.Said, Fake().StdError);
        EXPECT_EQ(u"", Fake().ConsoleText);
        if (row.Unattended) {
            EXPECT_TRUE(Fake().MessageBoxes.empty());
        } else {
            ASSERT_EQ(1u, Fake().MessageBoxes.size());
            EXPECT_EQ(
                "The tool could not be started.\r\n\r\nCommand line: tool.exe "
                "E:\\SUITE\\BIN\\run.exe\r\n\r\nThe system cannot find the file specified.",
                Fake().MessageBoxes[0].Text);
            EXPECT_EQ(STR_START_FAILED_CAPTION, Fake().MessageBoxes[0].Caption);
            EXPECT_EQ(nullptr, Fake().MessageBoxes[0].Owner);
        }
    }
}

// Probing an empty drive must fail quietly, so the error mode comes before any probe.
TEST_F(LaunchSequenceTest, ErrorModeIsSetBeforeTheFirstProbe)
{
    SetRegString(LocatorKeyPath, "run.exe", "A:\\");
    Run("run.exe Marlinth_Tools tool.exe_$s PS");
    ASSERT_LE(2u, Fake().Calls.size());
    EXPECT_EQ("SetErrorMode 1", Fake().Calls[0]);
    EXPECT_EQ(0u, Fake().Calls[1].rfind("GetFileAttributes ", 0));
    EXPECT_EQ(1, std::count_if(Fake().Calls.begin(), Fake().Calls.end(), [](const std::string& c) {
                  return c.rfind("SetErrorMode", 0) == 0;
              }));
}

}  // namespace
