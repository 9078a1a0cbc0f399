// The launcher on the real program: what the platform's process creation, environment and
// registry make of the started tool's command line, PATH, directory and error mode, and of
// the stored locations.
#include <string>

#include "e2e_support.h"

namespace {

const std::string Nul(1, '\0');

class LaunchTest : public E2eTest {
protected:
    // The target run.dll in Media(), remembered there.
    bool TargetInMedia(const char* file, int line)
    {
        return WriteFileText(file, line, Media() + "\\run.dll", "target") &&
               SetString(file, line, "run.dll", Media());
    }
};

// With fewer than three tokens the tail goes to diriz.exe beside the program untouched, and
// the location goes in front of the inherited PATH; the tool runs in the caller's directory.
TEST_F(LaunchTest, DefaultRunStartsDirizWithTheRawTailAndTheLocationInFrontOfPath)
{
    ASSERT_TRUE(WriteFileText(HERE, Media() + "\\devshl.dll", ""));
    ASSERT_TRUE(SetString(HERE, "devshl.dll", Media()));
    // Per-cent signs too: the tail is no template.
    Outcome run = Run(HERE, "project_50%sale.prj  \"$s x 100%%\"");
    EXPECT_EQ(0u, run.ExitCode);
    EXPECT_EQ(2u, run.Processes);
    EXPECT_EQ(In("prog") + "\\diriz.exe project_50%sale.prj  \"$s x 100%%\"", run.Tool["cmdline"]);
    EXPECT_EQ(Media() + ";C:\\windows\\system32;C:\\windows", run.Tool["path"]);
    EXPECT_EQ(Cwd(), run.Tool["cwd"]);
}

// The program's own directory, as the platform names it, holds a blank and a per-cent sign.
TEST_F(LaunchTest, ProgramDirWithABlankIsQuotedInTheDefaultCommand)
{
    RunOptions options;
    options.Program = InstallProgram(HERE, In("Program Files\\Suite 100%"));
    ASSERT_TRUE(WriteFileText(HERE, Media() + "\\devshl.dll", ""));
    ASSERT_TRUE(SetString(HERE, "devshl.dll", Media()));
    Outcome run = Run(HERE, "a.prj", options);
    EXPECT_EQ(0u, run.ExitCode);
    ASSERT_EQ(2u, run.Processes);
    EXPECT_EQ("\"" + In("Program Files\\Suite 100%") + "\\diriz.exe\" a.prj", run.Tool["cmdline"]);
}

TEST_F(LaunchTest, ChildStartsWithTheDefaultErrorModeInTheCallersDirectory)
{
    ASSERT_TRUE(TargetInMedia(HERE));
    RunOptions options;
    options.Env["WINEDEBUG"] = std::string("-all,warn+process");
    MarkLog();
    Outcome run = Run(HERE, "run.dll Tools tool.exe_$s", options);
    std::string log = LogSinceMark();
    ASSERT_EQ(2u, run.Processes);
    // Wine starts every child with the default error mode whatever the parent's, so the
    // child's own report cannot tell; Wine's process channel shows the creation flags.
    EXPECT_NE(std::string::npos, log.find("tool.exe\",...): ignoring some flags in 4000000\n"))
        << log;
    EXPECT_EQ("0", run.Tool["errormode"]);
    EXPECT_EQ(Cwd(), run.Tool["cwd"]);
}

// The command is started as the platform resolves it: the target itself, and a path with a
// blank, quoted so that no shorter path is started instead.
TEST_F(LaunchTest, CommandLineReachesTheStartedProgram)
{
    struct Row {
        const char* Token;
        const char* Location;  // below the scratch folder
        const char* Expected;  // with @ for the location's full path
    };
    const Row rows[] = {
        {"$s", "media", "@\\run.exe"},
        {"$s_/x", "my media", "\"@\\run.exe\" /x"},
    };
    // A program a shorter command line would start instead, were the path not quoted.
    ASSERT_TRUE(CopyFileA(Env("NRTEST_RECORDER").c_str(), In("my.exe").c_str(), FALSE));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Token);
        const std::string location = In(row.Location);
        ASSERT_TRUE(MakeDir(HERE, location));
        ASSERT_TRUE(
            CopyFileA(Env("NRTEST_RECORDER").c_str(), (location + "\\run.exe").c_str(), FALSE));
        ASSERT_TRUE(SetString(HERE, "run.exe", location));
        Outcome run = Run(HERE, std::string("run.exe Tools ") + row.Token);
        EXPECT_EQ(0u, run.ExitCode);
        ASSERT_EQ(2u, run.Processes);
        std::string expected = row.Expected;
        expected.replace(expected.find('@'), 1, location);
        EXPECT_EQ(expected, run.Tool["cmdline"]);
    }
}

// A command naming no program: a box without an owner gives the command line and the
// platform's reason, and the run ends with 3 once it is dismissed.
TEST_F(LaunchTest, UnstartableCommandShowsTheToolStartErrorAndEndsWithThree)
{
    ASSERT_TRUE(TargetInMedia(HERE));
    ProgramRun* program = Start(HERE, "run.dll Tools no-such-tool.exe_$s");
    HWND box = WaitForWindow(HERE, program, nullptr, "#32770", STR_START_FAILED_CAPTION);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("The tool could not be started.\r\n\r\nCommand line: no-such-tool.exe " + Media() +
                  "\\run.dll\r\n\r\n" + SystemReason(ERROR_FILE_NOT_FOUND),
              ChildText(box, "Static"));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    Outcome run = Finish(HERE, program);
    EXPECT_EQ(3u, run.ExitCode);
    EXPECT_EQ(1u, run.Processes);
}

// What the started tool finds in its environment: the location in front of PATH only with
// S, and the platform's own unset PATH both ways.
TEST_F(LaunchTest, PathOfTheStartedTool)
{
    struct Row {
        const char* Name;
        const char* Options;
        const char* OldPath;   // null: unset
        const char* Expected;  // @ for the location
    };
    const Row rows[] = {
        {"on", " S", "C:\\old", "@;C:\\old"},
        {"off", "", "C:\\old", "C:\\old"},
        {"unset", " S", nullptr, "@"},
        {"unset and off", "", nullptr, "(unset)"},
    };
    ASSERT_TRUE(TargetInMedia(HERE));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        RunOptions options;
        options.Env["PATH"] =
            row.OldPath != nullptr ? std::optional<std::string>(row.OldPath) : std::nullopt;
        Outcome run = Run(HERE, std::string("run.dll Tools tool.exe_$s") + row.Options, options);
        EXPECT_EQ(0u, run.ExitCode);
        ASSERT_EQ(2u, run.Processes);
        std::string expected = row.Expected;
        if (expected[0] == '@')
            expected.replace(0, 1, Media());
        EXPECT_EQ(expected, run.Tool["path"]);
        EXPECT_EQ("tool.exe " + Media() + "\\run.dll", run.Tool["cmdline"]);
    }
}

// Near the platform's limit of an environment variable.
TEST_F(LaunchTest, LongPathFollowsWhole)
{
    ASSERT_TRUE(TargetInMedia(HERE));
    std::string oldPath = "C:\\windows";
    while (oldPath.size() < 30000)
        oldPath += ";C:\\some\\long\\directory\\name";
    RunOptions options;
    options.Env["PATH"] = oldPath;
    Outcome run = Run(HERE, "run.dll Tools tool.exe_$s S", options);
    ASSERT_EQ(2u, run.Processes);
    EXPECT_EQ(Media() + ";" + oldPath, run.Tool["path"]);
}

TEST_F(LaunchTest, OverLongTokenGetsTheErrorBoxAndStartsAndWritesNothing)
{
    ASSERT_TRUE(CreateKey(HERE, LocatorKey));
    // A command line of several thousand bytes reaches the program whole.
    ProgramRun* program = Start(HERE, std::string(5000, 'n') + " Tools tool.exe_$s S");
    HWND box = WaitForWindow(HERE, program, nullptr, "#32770", STR_BAD_COMMAND_LINE_CAPTION);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(STR_BAD_COMMAND_LINE, ChildText(box, "Static"));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    Outcome run = Finish(HERE, program);
    EXPECT_EQ(2u, run.ExitCode);
    EXPECT_EQ(1u, run.Processes);
    EXPECT_FALSE(GetValue(std::string(259, 'n')).Present);
    EXPECT_FALSE(GetValue(std::string(5000, 'n')).Present);
}

// Option W: the run ends once the tool has, with the tool's exit code; the tool writes into
// the files the caller gave the program; and it ends when the program is killed first. The
// recorder sleeps, writes and exits as the row's variables ask (recorder.cpp).
TEST_F(LaunchTest, WaitForTheTool)
{
    struct Row {
        const char* Name;
        const char* Options;
        std::map<std::string, std::optional<std::string>> Tool;  // for the recorder
        bool Kill;   // the program is killed once the tool has made its record
        DWORD Exit;  // the program's
        DWORD Processes;
        const char* Output;  // what reached the file given as the program's standard output
                             // and error, the caller's 2>&1
    };
    const Row rows[] = {
        {"a second, then 7",
         "W",
         {{"NRTEST_SLEEP_MS", "1000"}, {"NRTEST_EXIT", "7"}},
         false,
         7,
         2,
         ""},
        {"0", "w", {{"NRTEST_EXIT", "0"}}, false, 0, 2, ""},
        {"3, unattended: the tool's, with no line of the program's",
         "W",
         {{"NRTEST_EXIT", "3"}, {"NRCDROM_UNATTENDED", "1"}},
         false,
         3,
         2,
         ""},
        {"output and error in their order",
         "SW",
         {{"NRTEST_WRITE", "1:to output|2:to error|1:to output again"}},
         false,
         0,
         2,
         "to output\r\nto error\r\nto output again\r\n"},
        {"killed: the tool ends with it", "W", {{"NRTEST_SLEEP_MS", "600000"}}, true, 1, 2, ""},
        {"script mode: W changes nothing", "PW", {}, false, 1, 1, ""},
    };
    ASSERT_TRUE(TargetInMedia(HERE));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const std::string output = NextRecordPath("output");
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE file = CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        RunOptions options;
        options.Env = row.Tool;
        options.StdOut = options.StdErr = file;
        ProgramRun* program =
            Start(HERE, std::string("run.dll Tools tool.exe_$s ") + row.Options, options);
        ASSERT_NE(nullptr, program);
        if (row.Kill) {
            // Once the tool has made its record it sleeps far longer than any wait here.
            for (DWORD waited = 0; !Exists(program->RecordPath) && waited < RunWaitMs; waited += 50)
                Sleep(50);
            ASSERT_TRUE(Exists(program->RecordPath));
            TerminateProcess(program->Process, 1);
        }
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(program->Process, RunWaitMs));
        // The tool had ended, its last act done, when the program did.
        EXPECT_EQ(row.Processes == 2 && !row.Kill, Exists(program->RecordPath + ".end"));
        Outcome run = Finish(HERE, program, row.Kill ? 30000 : RunWaitMs);
        CloseHandle(file);
        EXPECT_EQ(row.Exit, run.ExitCode);
        EXPECT_EQ(row.Processes, run.Processes);
        EXPECT_EQ(row.Output, ReadFileText(output));
        if (row.Processes == 2) {
            EXPECT_EQ("tool.exe " + Media() + "\\run.dll", run.Tool["cmdline"]);
        }
    }
}

class StoreTest : public E2eTest {};

TEST_F(StoreTest, ProductKeyAbsentReadsAndWritesNothing)
{
    // The location is then empty: the target is looked for in the current drive's root.
    const std::string name = "nrtest-root-" + std::to_string(GetCurrentProcessId()) + ".dll";
    ASSERT_TRUE(WriteFileText(HERE, "C:\\" + name, "target"));
    Outcome run = Run(HERE, name + " Tools tool.exe_$s S");
    DeleteFileA(("C:\\" + name).c_str());
    EXPECT_EQ(0u, run.ExitCode);
    ASSERT_EQ(2u, run.Processes);
    EXPECT_EQ("tool.exe \\" + name, run.Tool["cmdline"]);
    EXPECT_EQ(";C:\\windows\\system32;C:\\windows", run.Tool["path"]);
    EXPECT_FALSE(KeyExists("SOFTWARE\\HalvardWorks"));
}

TEST_F(StoreTest, LocatorKeyAbsentUsesTheCurrentDirectoryAndWritesNothing)
{
    ASSERT_TRUE(CreateKey(HERE, ProductKey));
    ASSERT_TRUE(WriteFileText(HERE, Cwd() + "\\run.dll", "target"));
    Outcome run = Run(HERE, "run.dll Tools tool.exe_$s");
    ASSERT_EQ(2u, run.Processes);
    EXPECT_EQ("tool.exe " + Cwd() + "\\run.dll", run.Tool["cmdline"]);
    EXPECT_FALSE(KeyExists(LocatorKey));
}

// The registry's own answer for each shape of value. The stored location is a directory of
// 517 bytes (519 with its terminator) that holds nothing, so a usable value prompts; an
// unusable one falls back to the current directory, which holds the target, and is replaced.
TEST_F(StoreTest, ValuesAsTheRegistryReportsThem)
{
    const std::string l518 = "C:\\" + std::string(515, 'x');
    struct Row {
        const char* Name;
        bool Present;
        DWORD Type;
        std::string Data;
        bool Usable;
    };
    const Row rows[] = {
        {"absent", false, REG_SZ, "", false},
        {"520 bytes", true, REG_SZ, l518 + "y" + Nul, true},
        {"521 bytes", true, REG_SZ, l518 + "yz" + Nul, false},
        {"empty string", true, REG_SZ, "", true},
    };
    ASSERT_TRUE(WriteFileText(HERE, Cwd() + "\\run.dll", "target"));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        RemoveProductKeys();
        // Another target's value, which only its own name reads or writes.
        ASSERT_TRUE(SetString(HERE, "other.dll", Media()));
        if (row.Present) {
            ASSERT_TRUE(SetValue(HERE, "run.dll", row.Type, row.Data));
        }
        ProgramRun* program = Start(HERE, "run.dll Tools tool.exe_$s");
        if (row.Usable) {
            HWND dialog = WaitForWindow(HERE, program);
            ASSERT_NE(nullptr, dialog);
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
        Outcome run = Finish(HERE, program);
        RegValue stored = GetValue("run.dll");
        if (row.Usable) {
            EXPECT_EQ(2u, run.ExitCode);
            EXPECT_EQ(1u, run.Processes);
            EXPECT_EQ(row.Type, stored.Type);
            EXPECT_EQ(row.Data, stored.Data);
        } else {
            EXPECT_EQ(0u, run.ExitCode);
            ASSERT_EQ(2u, run.Processes);
            EXPECT_EQ("tool.exe " + Cwd() + "\\run.dll", run.Tool["cmdline"]);
            EXPECT_EQ(static_cast<DWORD>(REG_SZ), stored.Type);
            EXPECT_EQ(Cwd() + Nul, stored.Data);
        }
        EXPECT_EQ(Media() + Nul, GetValue("other.dll").Data);
    }
}

// An expandable string is expanded for the run and kept as it was stored.
TEST_F(StoreTest, ExpandableValueIsExpandedAndKept)
{
    ASSERT_TRUE(WriteFileText(HERE, Media() + "\\run.dll", "target"));
    // The scratch folder lies on the system drive, C: under Wine.
    const std::string stored = "%SystemDrive%" + Media().substr(2) + Nul;
    ASSERT_TRUE(SetValue(HERE, "run.dll", REG_EXPAND_SZ, stored));
    Outcome run = Run(HERE, "run.dll Tools tool.exe_$s S");
    EXPECT_EQ(0u, run.ExitCode);
    ASSERT_EQ(2u, run.Processes);
    EXPECT_EQ("tool.exe " + Media() + "\\run.dll", run.Tool["cmdline"]);
    EXPECT_EQ(Media() + ";" + SystemPath, run.Tool["path"]);
    RegValue kept = GetValue("run.dll");
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), kept.Type);
    EXPECT_EQ(stored, kept.Data);
}

TEST_F(StoreTest, TargetAtTheRememberedLocationWritesNothing)
{
    ASSERT_TRUE(WriteFileText(HERE, Media() + "\\run.dll", "target"));
    // Bytes after the terminator would not survive a write back.
    ASSERT_TRUE(SetValue(HERE, "run.dll", REG_SZ, Media() + Nul + "as stored" + Nul));
    ASSERT_TRUE(SetValue(HERE, "other", REG_BINARY, "keep"));
    Outcome run = Run(HERE, "run.dll Tools tool.exe_$s");
    ASSERT_EQ(2u, run.Processes);
    EXPECT_EQ("tool.exe " + Media() + "\\run.dll", run.Tool["cmdline"]);
    EXPECT_EQ(Media() + Nul + "as stored" + Nul, GetValue("run.dll").Data);
    EXPECT_EQ("keep", GetValue("other").Data);
}

// A media value the registry reports with two bytes is no kind at all: the CD-ROM prompt.
TEST_F(StoreTest, MediaValueOfTwoBytesCountsAsCdRom)
{
    ASSERT_TRUE(SetValue(HERE, "media", REG_DWORD, std::string("\2\0", 2)));
    ASSERT_TRUE(SetString(HERE, "run.dll", In("gone")));
    ProgramRun* program = Start(HERE, "run.dll Tools tool.exe_$s");
    HWND dialog = WaitForWindow(HERE, program);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(
        "Please insert the CD-ROM labeled \"Halvard Marlinth\" into your CD-ROM drive, or "
        "enter the path to the Tools.",
        ItemText(dialog, IDC_PROMPT));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(2u, Finish(HERE, program).ExitCode);
    EXPECT_EQ(In("gone"), GetValue("run.dll").Text());
}

// A location on a drive letter that nothing is mapped to is probed without a box of the
// platform's own: the prompt comes straight away.
TEST_F(StoreTest, UnmappedDriveIsProbedQuietly)
{
    ASSERT_TRUE(SetString(HERE, "run.dll", "Q:\\nothing\\here"));
    ProgramRun* program = Start(HERE, "run.dll T tool.exe_$s S");
    HWND dialog = WaitForWindow(HERE, program);
    ASSERT_NE(nullptr, dialog);
    EXPECT_NE(nullptr, GetDlgItem(dialog, IDC_LOCATION)) << WindowText(dialog);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(2u, Finish(HERE, program).ExitCode);
    EXPECT_EQ("Q:\\nothing\\here", GetValue("run.dll").Text());
}

}  // namespace
