#include "run/launch_sequence.h"

#include <algorithm>
#include <string>
#include <vector>

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

// One run each: the value stored for the target (null: the locator key without one; "-": no
// product key), the files present and the text typed into the dialog (null: the dialog cannot
// open; "-": Cancel; "=": OK on the text shown, the files arriving while it is open); then the exit
// code, the tool's command line ("" when none started) and PATH, the value stored after, and how
// many dialogs ran and values were written. Every run sets the error mode once, before its first
// probe, so that an empty drive fails quietly, and still has it when the tool starts; the dialog
// is the location dialog, without an owner.
TEST_F(LaunchSequenceTest, Runs)
{
    const std::string target = "E:\\SUITE\\BIN\\run.exe", dll = "E:\\SUITE\\BIN\\devshl.dll";
    const std::string diriz = "C:\\Suite\\BIN\\diriz.exe ", percent776(776, '%');
    struct Row {
        const char* Name;
        const char* Stored;
        std::vector<std::string> Present;
        const char* Typed;
        std::string Tail;
        int Exit;
        std::string Started;
        const char* Path;
        const char* StoredAfter;
        size_t Dialogs;
        int Writes;
    };
    // clang-format off
    const Row rows[] = {
        {"found where remembered", "E:\\SUITE\\BIN", {target}, nullptr, Tail,
         ExitStarted, "tool.exe E:\\SUITE\\BIN\\run.exe", "E:\\SUITE\\BIN;C:\\WIN", "E:\\SUITE\\BIN", 0, 0},
        {"no value: the current folder, stored", nullptr, {"C:\\Work\\run.exe"}, nullptr, Tail,
         ExitStarted, "tool.exe C:\\Work\\run.exe", "C:\\Work;C:\\WIN", "C:\\Work", 0, 1},
        {"no product key: the current drive's root", "-", {"\\run.exe"}, nullptr, Tail,
         ExitStarted, "tool.exe \\run.exe", ";C:\\WIN", "(absent)", 0, 0},
        {"missing, the dialog cannot open", "E:\\GONE", {}, nullptr, Tail,
         ExitCancelled, "", "", "E:\\GONE", 1, 0},
        {"shown text confirmed as the medium arrives", "E:\\SUITE\\BIN", {target, "E:\\run.exe"}, "=", Tail,
         ExitStarted, "tool.exe E:\\SUITE\\BIN\\run.exe", "E:\\SUITE\\BIN;C:\\WIN", "E:\\SUITE\\BIN", 1, 0},
        {"shown root confirmed as the medium arrives", "E:\\", {target, "E:\\run.exe"}, "=", Tail,
         ExitStarted, "tool.exe E:\\run.exe", "E:\\;C:\\WIN", "E:\\", 1, 0},
        {"script mode: the error mode before the batch file's probe", "A:\\", {}, nullptr,
         "run.exe Marlinth_Tools tool.exe_$s PS", ExitCancelled, "", "", "A:\\", 1, 0},
        {"missing, Cancel", "E:\\X", {}, "-", Tail, ExitCancelled, "", "", "E:\\X", 1, 0},
        {"typed as stored", "E:\\GONE", {target, "E:\\run.exe"}, "E:\\SUITE\\BIN", Tail,
         ExitStarted, "tool.exe E:\\SUITE\\BIN\\run.exe", "E:\\SUITE\\BIN;C:\\WIN", "E:\\SUITE\\BIN", 1, 1},
        {"typed with separators after", "E:\\GONE", {target, "E:\\run.exe"}, "E:\\SUITE\\BIN\\\\/", Tail,
         ExitStarted, "tool.exe E:\\SUITE\\BIN\\run.exe", "E:\\SUITE\\BIN;C:\\WIN", "E:\\SUITE\\BIN", 1, 1},
        {"typed a drive", "E:\\GONE", {target, "E:\\run.exe"}, "E:", Tail,
         ExitStarted, "tool.exe E:\\run.exe", "E:\\;C:\\WIN", "E:\\", 1, 1},
        {"typed a drive's root", "E:\\GONE", {target, "E:\\run.exe"}, "E:\\", Tail,
         ExitStarted, "tool.exe E:\\run.exe", "E:\\;C:\\WIN", "E:\\", 1, 1},
        {"typed in small letters", "E:\\GONE", {target, "E:\\run.exe"}, "e:\\suite\\bin", Tail,
         ExitStarted, "tool.exe e:\\suite\\bin\\run.exe", "e:\\suite\\bin;C:\\WIN", "e:\\suite\\bin", 1, 1},
        {"default run: diriz.exe beside the program", "E:\\SUITE\\BIN", {dll}, nullptr, "my.prj",
         ExitStarted, diriz + "my.prj", "E:\\SUITE\\BIN;C:\\WIN", "E:\\SUITE\\BIN", 0, 0},
        {"default run: no per-cent sign converted", "E:\\SUITE\\BIN", {dll}, nullptr, "50%sale.prj 100%%",
         ExitStarted, diriz + "50%sale.prj 100%%", "E:\\SUITE\\BIN;C:\\WIN", "E:\\SUITE\\BIN", 0, 0},
        {"default run: as long as the child's limit", "E:\\SUITE\\BIN", {dll}, nullptr, percent776,
         ExitStarted, diriz + percent776, "E:\\SUITE\\BIN;C:\\WIN", "E:\\SUITE\\BIN", 0, 0},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        SetUp();
        const char* name = row.Tail.rfind("run.exe", 0) == 0 ? "run.exe" : "devshl.dll";
        if (row.Stored == nullptr)
            Fake().Keys[LocatorKeyPath];
        else if (std::string(row.Stored) != "-")
            SetRegString(LocatorKeyPath, name, row.Stored);
        const bool arriving = row.Typed != nullptr && std::string(row.Typed) == "=";
        for (const std::string& file : row.Present)
            if (!arriving)
                AddFile(file);
        if (row.Typed != nullptr)
            AnswerDialog(row.Typed, arriving ? row.Present : std::vector<std::string>{});
        EXPECT_EQ(row.Exit, Run(row.Tail.c_str()));
        ASSERT_EQ(row.Started.empty() ? 0u : 1u, Fake().Started.size());
        if (!row.Started.empty()) {
            EXPECT_EQ(row.Started, Fake().Started[0].CommandLine);
            EXPECT_EQ(row.Path, Fake().Started[0].Path);
            EXPECT_EQ(HostSemFailCriticalErrors, Fake().Started[0].ErrorModeOfParent);
        }
        EXPECT_EQ(row.StoredAfter, RegText(LocatorKeyPath, name));
        EXPECT_EQ(std::string(row.Stored != nullptr ? row.Stored : "") == "-", Fake().Keys.empty());
        EXPECT_EQ(row.Writes, Fake().RegistryWrites);
        ASSERT_EQ(row.Dialogs, Fake().DialogRuns.size());
        for (const FakeHost::DialogRun& run : Fake().DialogRuns) {
            EXPECT_EQ(static_cast<uint32_t>(IDD_LOCATE), run.TemplateId);
            EXPECT_EQ(nullptr, run.Owner);
            EXPECT_EQ(0, run.Param);
        }
        ASSERT_LE(2u, Fake().Calls.size());
        EXPECT_EQ("SetErrorMode 1", Fake().Calls[0]);
        EXPECT_EQ(0u, Fake().Calls[1].rfind("GetFileAttributes ", 0));
        EXPECT_EQ(
            1, std::count_if(Fake().Calls.begin(), Fake().Calls.end(),
                             [](const std::string& c) { return c.rfind("SetErrorMode", 0) == 0; }));
    }
}

// The program's folder as the system names it: exactly, or by its short name where the ANSI
// code page cannot spell it (dirO, its look-alike, is another folder); else unavailable.
TEST_F(LaunchSequenceTest, ProgramDirIsTheModuleNameExactlyOrByItsShortName)
{
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
        SetUp();
        SetRegString(LocatorKeyPath, "devshl.dll", "E:\\SUITE\\BIN");
        AddFile("E:\\SUITE\\BIN\\devshl.dll");
        AddDirectory("C:\\t\\dirO\\BIN");
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

// NRCDROM_UNATTENDED set to anything but 0 (or empty): no window at all. Where the dialog
// or the error box would show, the run ends with 2, writes nothing, and says why on its
// standard error when it has one. With W a started tool's exit code ends the run, whatever
// it is, and the program says nothing of its own.
TEST_F(LaunchSequenceTest, UnattendedRunShowsNoWindow)
{
    const std::string tooLong = std::string(300, 'n') + " title tool.exe";
    const std::string waited = std::string(Tail) + "W";
    // The line as cmd's type shows it: in cmd's code page (850 here) in a file.
    const std::string missing =
        "nrcdrom: run.exe is not in E:\\\x9A"
        "bung; not asking because "
        "NRCDROM_UNATTENDED is set\r\n";
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
        bool Console = false;  // standard error a console: the line in Unicode
    };
    const std::string refused = STR_UNATTENDED_REFUSED;
    // clang-format off
    const Row rows[] = {
        {"target missing", "1", true, Tail, false, ExitCancelled, missing, 0},
        {"target missing, on a console", "1", true, Tail, false, ExitCancelled, "", 0, 0, true},
        {"any other value", "yes", true, Tail, false, ExitCancelled, missing, 0},
        {"no standard error", "1", false, Tail, false, ExitCancelled, "", 0},
        {"refused command line", "1", true, tooLong, false, ExitCancelled, refused, 0},
        {"target present: as attended", "1", true, Tail, true, ExitStarted, "", 0},
        {"set to 0: attended", "0", true, Tail, false, ExitCancelled, "", 1},
        {"empty: attended", "", true, Tail, false, ExitCancelled, "", 1},
        {"not set: attended, the command line's box", nullptr, true, tooLong, false, ExitCancelled, "", 1},
        {"W: the tool's 0", "1", true, waited, true, 0, "", 0, 0},
        {"W: the tool's 7", "1", true, waited, true, 7, "", 0, 7},
        {"W: the tool's 3, without a line", "1", true, waited, true, 3, "", 0, 3},
        {"W: the tool's 0xC0000005", "1", true, waited, true, static_cast<int>(0xC0000005u), "", 0, 0xC0000005u},
        {"W: target missing", "1", true, waited, false, ExitCancelled, missing, 0, 7},
        {"W: refused command line", "1", true, tooLong + " W", false, ExitCancelled, refused, 0, 7},
        {"W: attended, target missing", "0", true, waited, false, ExitCancelled, "", 1, 7},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        SetUp();
        UseCodePages(1252, 850);
        SetRegString(LocatorKeyPath, "run.exe",
                     "E:\\\xDC"
                     "bung\\");
        if (row.Present)
            AddFile(
                "E:\\\xDC"
                "bung\\run.exe");
        if (row.Value != nullptr && row.Value[0] != '\0')
            Fake().Environment["NRCDROM_UNATTENDED"] = row.Value;
        Fake().HasStdError = row.StdError;
        Fake().StdErrorIsConsole = row.Console;
        Fake().ToolExitCode = row.ToolExit;
        EXPECT_EQ(row.Exit, Run(row.Args.c_str()));
        EXPECT_EQ(row.Said, Fake().StdError);
        EXPECT_EQ(row.Console ? u"nrcdrom: run.exe is not in E:\\Übung; not asking because "
                                u"NRCDROM_UNATTENDED is set\r\n"
                              : u"",
                  Fake().ConsoleText);
        EXPECT_EQ(row.Windows, Fake().DialogRuns.size() + Fake().MessageBoxes.size());
        // A refused command line shows its own box, and no dialog.
        EXPECT_EQ(row.Windows != 0 && row.Args == tooLong, Fake().MessageBoxes.size() == 1);
        for (const FakeMessageBox& box : Fake().MessageBoxes) {
            EXPECT_EQ(STR_BAD_COMMAND_LINE, box.Text);
            EXPECT_EQ(STR_BAD_COMMAND_LINE_CAPTION, box.Caption);
        }
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
    // clang-format off
    const Row rows[] = {
        {"attended", false, "S", true, ""},
        {"unattended", true, "S", true, line},
        {"attended, W", false, "SW", true, ""},
        {"unattended, W", true, "SW", true, line},
        {"unattended, W, no standard error but the caller's console", true, "SW", false, ""},
    };
    // clang-format on
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

}  // namespace
