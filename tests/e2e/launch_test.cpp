// The launcher on the real program: tokens, the stored location, the started tool.
#include <string>
#include <vector>

#include "e2e_support.h"

namespace {

class LaunchFixture : public E2eTest {
protected:
    void SetUp() override
    {
        E2eTest::SetUp();
        program_ = InstallProgram(In("prog"));
        MakeDir(In("media"));
        MakeDir(In("cwd"));
        SetEnvironmentVariableA("PATH", "C:\\windows\\system32;C:\\windows");
    }
    void TearDown() override
    {
        SetEnvironmentVariableA("PATH", "C:\\windows\\system32;C:\\windows");
        E2eTest::TearDown();
    }
    const std::string& Program() const { return program_; }
    std::string Media() const { return In("media"); }
    std::string Cwd() const { return In("cwd"); }
    void Target(const std::string& dir, const std::string& name = "run.dll")
    {
        WriteFileText(dir + "\\" + name, "target");
    }
    // Runs the program and reads what the started tool was given.
    Record RunAndRecord(const std::string& tail, const std::string& cwd)
    {
        RunResult run = Run(Program(), tail, cwd);
        EXPECT_EQ(0u, run.ExitCode) << tail;
        Record record;
        EXPECT_TRUE(WaitForRecord(&record)) << "no tool started for " << tail;
        return record;
    }
    // Ends a dialog or message box that the program shows, and says what it showed.
    std::string DismissWindow(DWORD pid, WPARAM command)
    {
        HWND window = WaitForWindow(pid, "#32770");
        if (window == nullptr) {
            ADD_FAILURE() << "no window appeared";
            return std::string();
        }
        std::string caption = WindowText(window);
        PostMessageA(window, WM_COMMAND, command, 0);
        return caption;
    }

private:
    std::string program_;
};

class LaunchTest : public LaunchFixture {};

TEST_F(LaunchTest, DefaultRunStartsDirizWithRawTailAndLocationInFrontOfPath)
{
    Target(Media(), "devshl.dll");
    SetString(LocatorKey, "devshl.dll", Media());
    Record record = RunAndRecord("project_1  \"$s x\"", Cwd());
    EXPECT_EQ(In("prog") + "\\diriz.exe project_1  \"$s x\"", record["cmdline"]);
    EXPECT_EQ(Media() + ";C:\\windows\\system32;C:\\windows", record["path"]);
    EXPECT_EQ(Cwd(), record["cwd"]);
}

TEST_F(LaunchTest, DefaultRunWithoutTailIsDirizAlone)
{
    Target(Media(), "devshl.dll");
    SetString(LocatorKey, "devshl.dll", Media());
    Record record = RunAndRecord("", Cwd());
    EXPECT_EQ(In("prog") + "\\diriz.exe", record["cmdline"]);
}

TEST_F(LaunchTest, ProgramDirWithABlankIsQuotedInTheDefaultCommand)
{
    std::string program = InstallProgram(In("Program Files\\Suite 100%"));
    Target(Media(), "devshl.dll");
    SetString(LocatorKey, "devshl.dll", Media());
    ASSERT_EQ(0u, Run(program, "a.prj", Cwd()).ExitCode);
    Record record;
    ASSERT_TRUE(WaitForRecord(&record));
    EXPECT_EQ("\"" + In("Program Files\\Suite 100%") + "\\diriz.exe\" a.prj", record["cmdline"]);
}

TEST_F(LaunchTest, ChildStartsWithTheDefaultErrorModeInTheCallersDirectory)
{
    Target(Media());
    SetString(LocatorKey, "run.dll", Media());
    WatchProcessCreation();
    Record record = RunAndRecord("run.dll Tools tool.exe_$s", Cwd());
    std::string log = ProcessCreationLog();
    // Wine starts every child with the default error mode whatever the parent's, so the
    // child's own report cannot tell; Wine's process channel shows the creation flags.
    EXPECT_NE(std::string::npos, log.find("tool.exe\",...): ignoring some flags in 4000000\n"))
        << log;
    EXPECT_EQ("0", record["errormode"]);
    EXPECT_EQ(Cwd(), record["cwd"]);
}

TEST_F(LaunchTest, UnstartableCommandStillEndsWithZero)
{
    Target(Media());
    SetString(LocatorKey, "run.dll", Media());
    EXPECT_EQ(0u, Run(Program(), "run.dll Tools no-such-tool.exe_$s", Cwd()).ExitCode);
    EXPECT_TRUE(NoRecordWithin());
}

TEST_F(LaunchTest, MissingTargetAndCancelledPromptEndWithTwoAndWriteNothing)
{
    CreateKey(LocatorKey);
    HANDLE process = nullptr;
    RunResult started = Start(Program(), "run.dll Tools tool.exe_$s", Cwd(), 0, &process);
    DismissWindow(started.ProcessId, IDCANCEL);
    EXPECT_EQ(2u, Finish(process).ExitCode);
    EXPECT_FALSE(GetValue(LocatorKey, "run.dll").Present);
    EXPECT_TRUE(NoRecordWithin(500));
}

class StoreTest : public LaunchFixture {};

TEST_F(StoreTest, ProductKeyAbsentReadsAndWritesNothing)
{
    // The location is then empty: the target is looked for in the current drive's root.
    const std::string name = "nrtest-root-" + std::to_string(GetCurrentProcessId()) + ".dll";
    Target("C:", name);
    Record record = RunAndRecord(name + " Tools tool.exe_$s S", Cwd());
    DeleteFileA(("C:\\" + name).c_str());
    EXPECT_EQ("tool.exe \\" + name, record["cmdline"]);
    EXPECT_EQ(";C:\\windows\\system32;C:\\windows", record["path"]);
    HKEY key = nullptr;
    EXPECT_NE(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\HalvardWorks", 0, KEY_READ, &key));
}

TEST_F(StoreTest, LocatorKeyAbsentUsesTheCurrentDirectoryAndWritesNothing)
{
    CreateKey(ProductKey);
    Target(Cwd());
    Record record = RunAndRecord("run.dll Tools tool.exe_$s", Cwd());
    EXPECT_EQ("tool.exe " + Cwd() + "\\run.dll", record["cmdline"]);
    HKEY key = nullptr;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, LocatorKey, 0, KEY_READ, &key));
}

TEST_F(StoreTest, UnusableValuesFallBackToTheCurrentDirectoryAndAreStored)
{
    struct Row {
        const char* Name;
        bool Present;
        DWORD Type;
        std::string Data;
    };
    const Row rows[] = {
        {"absent", false, REG_SZ, ""},
        {"expandable string", true, REG_EXPAND_SZ, "C:\\elsewhere" + std::string(1, '\0')},
        {"over 520 bytes", true, REG_SZ, std::string(600, 'x') + std::string(1, '\0')},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        RemoveProductKeys();
        CreateKey(LocatorKey);
        Target(Cwd());
        if (row.Present)
            SetValue(LocatorKey, "run.dll", row.Type, row.Data);
        Record record = RunAndRecord("run.dll Tools tool.exe_$s", Cwd());
        EXPECT_EQ("tool.exe " + Cwd() + "\\run.dll", record["cmdline"]);
        RegValue stored = GetValue(LocatorKey, "run.dll");
        EXPECT_TRUE(stored.Present);
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), stored.Type);
        EXPECT_EQ(Cwd() + std::string(1, '\0'), stored.Data);
    }
}

TEST_F(StoreTest, TargetAtTheRememberedLocationWritesNothing)
{
    Target(Media());
    SetString(LocatorKey, "run.dll", Media());
    SetValue(LocatorKey, "other", REG_BINARY, "keep");
    Record record = RunAndRecord("run.dll Tools tool.exe_$s", Cwd());
    EXPECT_EQ("tool.exe " + Media() + "\\run.dll", record["cmdline"]);
    EXPECT_EQ(Media() + std::string(1, '\0'), GetValue(LocatorKey, "run.dll").Data);
}

TEST_F(StoreTest, TwoTargetFilesAreKeptApart)
{
    Target(Media(), "a.dll");
    Target(Cwd(), "b.dll");
    SetString(LocatorKey, "a.dll", Media());
    RunAndRecord("b.dll Tools tool.exe_$s", Cwd());
    EXPECT_EQ(Cwd(), GetValue(LocatorKey, "b.dll").Text());
    EXPECT_EQ(Media(), GetValue(LocatorKey, "a.dll").Text());
    Record record = RunAndRecord("a.dll Tools tool.exe_$s", Cwd());
    EXPECT_EQ("tool.exe " + Media() + "\\a.dll", record["cmdline"]);
}

TEST_F(StoreTest, MediaOfAnotherTypeIsPromptedForAsCdRom)
{
    CreateKey(LocatorKey);
    SetValue(LocatorKey, "media", REG_SZ, std::string("2\0", 2));
    SetString(LocatorKey, "run.dll", In("gone"));
    HANDLE process = nullptr;
    RunResult started = Start(Program(), "run.dll Tools tool.exe_$s", Cwd(), 0, &process);
    HWND dialog = WaitForWindow(started.ProcessId, "#32770");
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("Please insert the CD-ROM labeled \"Halvard Marlinth\" into your CD-ROM drive, or "
              "enter the path to the Tools.",
              ItemText(dialog, 1001));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(2u, Finish(process).ExitCode);
    EXPECT_EQ(In("gone"), GetValue(LocatorKey, "run.dll").Text());
}

class TemplateTest : public LaunchFixture {};

TEST_F(TemplateTest, ExpansionOnTheRealCommandLine)
{
    struct Row {
        const char* Token;
        const char* Location;  // below the scratch folder
        std::string Expected;  // with @ for the location's full path
    };
    const Row rows[] = {
        {"$s", "media", "@\\run.exe"},
        {"tool.exe_$s", "media", "tool.exe @\\run.exe"},
        {"tool.exe_$s_$s", "media", "tool.exe @\\run.exe @\\"},
        {"tool.exe_/w_100$$", "media", "tool.exe /w 100%"},
        {"tool.exe_$s_$s_$s_$s", "media", "tool.exe @\\run.exe @\\ @\\ @\\"},
        {"tool.exe_$s_$s_$s_$s_$s_$s", "media", "tool.exe @\\run.exe @\\ @\\ @\\  "},
        {"tool.exe_$d_$x_$n_$", "media", "tool.exe %d %x %n %"},
        {"$s_/x", "my media", "\"@\\run.exe\" /x"},
        {"\"$s\"_/x", "my media", "\"@\\run.exe\" /x"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Token);
        std::string location = In(row.Location);
        MakeDir(location);
        CopyFileA(Env("NRTEST_RECORDER").c_str(), (location + "\\run.exe").c_str(), FALSE);
        SetString(LocatorKey, "run.exe", location);
        Record record = RunAndRecord(std::string("run.exe Tools ") + row.Token, Cwd());
        std::string expected = row.Expected;
        for (size_t at = expected.find('@'); at != std::string::npos; at = expected.find('@'))
            expected.replace(at, 1, location);
        EXPECT_EQ(expected, record["cmdline"]);
    }
}

class EnvironmentTest : public LaunchFixture {};

TEST_F(EnvironmentTest, PathPrefix)
{
    struct Row {
        const char* Name;
        const char* Options;
        const char* OldPath;  // null: unset
        const char* Stored;   // below the scratch folder
        std::string Expected; // @ for the scratch folder
    };
    const Row rows[] = {
        {"on", "S", "C:\\old", "media", "@\\media;C:\\old"},
        {"lower case", "xs", "C:\\old", "media", "@\\media;C:\\old"},
        {"off", "1x", "C:\\old", "media", "C:\\old"},
        {"no option letters", "", "C:\\old", "media", "C:\\old"},
        {"unset", "S", nullptr, "media", "@\\media"},
        {"unset and off", "", nullptr, "media", "(unset)"},
        {"trailing backslash", "S", "C:\\old", "media\\", "@\\media\\;C:\\old"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        Target(Media());
        SetString(LocatorKey, "run.dll", In(row.Stored));
        SetEnvironmentVariableA("PATH", row.OldPath);
        std::string tail = "run.dll Tools tool.exe_$s";
        if (*row.Options != '\0')
            tail += std::string(" ") + row.Options;
        Record record = RunAndRecord(tail, Cwd());
        std::string expected = row.Expected;
        if (expected[0] == '@')
            expected.replace(0, 1, Scratch());
        EXPECT_EQ(expected, record["path"]);
        EXPECT_EQ("tool.exe " + Media() + "\\run.dll", record["cmdline"]);
    }
}

TEST_F(EnvironmentTest, LongPathFollowsWhole)
{
    Target(Media());
    SetString(LocatorKey, "run.dll", Media());
    std::string oldPath = "C:\\windows";
    while (oldPath.size() < 30000)
        oldPath += ";C:\\some\\long\\directory\\name";
    SetEnvironmentVariableA("PATH", oldPath.c_str());
    Record record = RunAndRecord("run.dll Tools tool.exe_$s S", Cwd());
    EXPECT_EQ(Media() + ";" + oldPath, record["path"]);
}

class RefusalTest : public LaunchFixture {};

TEST_F(RefusalTest, OverLongTokenGetsTheErrorBoxAndTwo)
{
    CreateKey(LocatorKey);
    const std::string name(300, 'n');
    HANDLE process = nullptr;
    RunResult started = Start(Program(), name + " Tools tool.exe_$s S", Cwd(), 0, &process);
    HWND box = WaitForWindow(started.ProcessId, "#32770");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("Command Line Error", WindowText(box));
    std::string text;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[32] = "";
        GetClassNameA(child, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") == 0 && WindowText(child).size() > text.size())
            text = WindowText(child);
    }
    EXPECT_EQ(0u, text.find("The command line is too long")) << text;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(2u, Finish(process).ExitCode);
    EXPECT_TRUE(NoRecordWithin(500));
    EXPECT_FALSE(GetValue(LocatorKey, std::string(259, 'n')).Present);
}

}  // namespace
