#include "launch/launch_target.h"

#include "base/path_text.h"

#include <string>

#include "tests/unit/test_support.h"

namespace {

class ExpandCommandTemplateTest : public HostTest {};

TEST_F(ExpandCommandTemplateTest, TemplateTable)
{
    struct Row {
        std::string Template, Probe, Dir, Expected;
    };
    // The longest inputs are never cut: a folder of 519 bytes, a name of 259, a template of 799.
    const std::string longDir = std::string(519, 'd') + "\\",
                      longProbe = longDir + std::string(259, 'f');
    const std::string xs(TemplateCapacity - 1 - 12, 'x');
    const char* probe = "E:\\SUITE\\BIN\\run.exe";
    const char* dir = "E:\\SUITE\\BIN\\";
    const char* blankProbe = "E:\\MY SUITE\\run.exe";
    const char* blankDir = "E:\\MY SUITE\\";
    // clang-format off
    const Row rows[] = {
        {"%s", probe, dir, "E:\\SUITE\\BIN\\run.exe"},
        {"tool.exe %s", probe, dir, "tool.exe E:\\SUITE\\BIN\\run.exe"},
        {"tool.exe %s %s", probe, dir, "tool.exe E:\\SUITE\\BIN\\run.exe E:\\SUITE\\BIN\\"},
        {"tool.exe /w 100%%", probe, dir, "tool.exe /w 100%"},
        {"t %s|%s|%s|%s", probe, dir, "t E:\\SUITE\\BIN\\run.exe|E:\\SUITE\\BIN\\|E:\\SUITE\\BIN\\|E:\\SUITE\\BIN\\"},
        {"t %s%s%s%s%s%s", probe, dir, "t E:\\SUITE\\BIN\\run.exeE:\\SUITE\\BIN\\E:\\SUITE\\BIN\\E:\\SUITE\\BIN\\"},
        {"t %d %x %p %n %c %", probe, dir, "t %d %x %p %n %c %"},
        {"plain", probe, dir, "plain"},
        {"%s /x", blankProbe, blankDir, "\"E:\\MY SUITE\\run.exe\" /x"},
        {"\"%s\" /x", blankProbe, blankDir, "\"E:\\MY SUITE\\run.exe\" /x"},
        {"tool %s", blankProbe, blankDir, "tool E:\\MY SUITE\\run.exe"},
        {"%s /x", "E:\\SUITE\\my tool.exe", dir, "\"E:\\SUITE\\my tool.exe\" /x"},
        {" %s", blankProbe, blankDir, " E:\\MY SUITE\\run.exe"},
        {"%s", "E:\\TAB\tDIR\\run.exe", "E:\\TAB\tDIR\\", "\"E:\\TAB\tDIR\\run.exe\""},
        {"%s\\tool.exe /q", "E:\\My Tools\\BIN", "E:\\My Tools\\", "\"E:\\My Tools\\BIN\\tool.exe\" /q"},
        {"%s\\tool.exe\t/q", "E:\\My Tools\\BIN", "E:\\My Tools\\", "\"E:\\My Tools\\BIN\\tool.exe\"\t/q"},
        {"%s\\100%% /q", "E:\\My Tools\\BIN", "E:\\My Tools\\", "\"E:\\My Tools\\BIN\\100%\" /q"},
        {"%s\\t\"x\" /q", "E:\\My Tools\\BIN", "E:\\My Tools\\", "E:\\My Tools\\BIN\\t\"x\" /q"},
        {"%s\\tool.exe /q", "E:\\Tools\\BIN", "E:\\Tools\\", "E:\\Tools\\BIN\\tool.exe /q"},
        {"%s %s %s %s " + xs, longProbe, longDir, longProbe + " " + longDir + " " + longDir + " " + longDir + " " + xs},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Template.substr(0, 40));
        static char out[ChildCommandLineCapacity];
        ExpandCommandTemplate(out, row.Template.c_str(), row.Probe.c_str(), row.Dir.c_str());
        EXPECT_EQ(row.Expected, out);
    }
}

class LaunchTargetTest : public HostTest {
protected:
    void Prepare(const char* location, const char* commandTemplate, bool prefix)
    {
        CopyText(Launch.Location, location);
        CopyText(Launch.LocationDir, location);
        StripTrailingSeparators(Launch.LocationDir);  // as the run gives it
        CopyText(Launch.TargetFile, "run.exe");
        CopyText(Launch.CommandTemplate, commandTemplate);
        Launch.PathPrefix = prefix ? 1 : 0;
    }
    uint32_t toolExit = 0;
};

// The new PATH may take the platform's whole limit of 32,767 characters, in a block of that and
// the terminators in UTF-16; one more and the tool gets the old PATH, as when the new value
// cannot be put together.
TEST_F(LaunchTargetTest, PathPrefixCases)
{
    const std::string p32758 = "C:\\" + std::string(32755, 'p'), p32759 = p32758 + "p";
    struct Row {
        const char* Location;
        bool Prefix;
        bool PathSet;
        std::string OldPath, ChildPath;
        const char* CommandLine;
        bool AllocFails = false;  // no block for the new PATH: the old one, and the tool starts
        uint32_t Block = 0;       // the block's size in bytes, when it matters
    };
    // clang-format off
    const Row rows[] = {
        {"E:\\SUITE\\BIN", true, true, "C:\\WIN", "E:\\SUITE\\BIN;C:\\WIN", "E:\\SUITE\\BIN\\run.exe"},
        {"E:\\", true, true, "C:\\WIN", "E:\\;C:\\WIN", "E:\\run.exe"},
        {"C:\\Tools\\", true, true, "C:\\WIN", "C:\\Tools\\;C:\\WIN", "C:\\Tools\\run.exe"},
        {"E:\\SUITE", true, false, "", "E:\\SUITE", "E:\\SUITE\\run.exe"},
        {"", true, true, "C:\\WIN", ";C:\\WIN", "\\run.exe"},
        {"E:\\SUITE", false, true, "C:\\WIN", "C:\\WIN", "E:\\SUITE\\run.exe"},
        {"E:\\SUITE", false, false, "", "(unset)", "E:\\SUITE\\run.exe"},
        {"E:\\SUITE", true, true, "C:\\WIN", "C:\\WIN", "E:\\SUITE\\run.exe", true},
        {"E:\\SUITE", true, true, p32758, "E:\\SUITE;" + p32758, "E:\\SUITE\\run.exe", false, 65538},
        {"E:\\SUITE", true, true, p32759, p32759, "E:\\SUITE\\run.exe"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.Location) + (row.Prefix ? " prefix" : "") +
                     (row.PathSet ? " set " + std::to_string(row.OldPath.size()) : " unset"));
        SetUp();
        if (row.AllocFails)
            Fake().Failures["GlobalAlloc"] = {0, ErrorNotEnoughMemory};
        if (row.PathSet)
            Fake().Environment["Path"] = row.OldPath;
        Prepare(row.Location, "%s", row.Prefix);
        EXPECT_TRUE(LaunchTarget(&toolExit));
        ASSERT_EQ(1u, Fake().Started.size());
        EXPECT_EQ(row.CommandLine, Fake().Started[0].CommandLine);
        EXPECT_EQ(row.ChildPath, Fake().Started[0].Path);
        EXPECT_EQ(HostCreateDefaultErrorMode, Fake().Started[0].Flags);
        EXPECT_EQ(0, Fake().OpenBlocks);
        EXPECT_STREQ(row.CommandLine, Launch.ProbePath);
        if (row.Block != 0) {
            EXPECT_EQ(row.Block, Fake().LastAllocSize);
        }
    }
}

// PATH goes to the child in Unicode: entries the ANSI code page cannot spell, and
// double-byte ones, whole.
TEST_F(LaunchTargetTest, OldPathReachesTheChildInUnicode)
{
    for (bool codePage932 : {false, true}) {
        SCOPED_TRACE(codePage932 ? "932" : "1252");
        FreshMachine(codePage932);
        if (codePage932)
            Fake().Environment["PATH"] = "C:\\\x93\xFA\x96\x7B\x8C\xEA;C:\\windows";
        else
            Fake().EnvironmentW[u"PATH"] = u"C:\\日本語;C:\\windows";
        Prepare("E:\\SUITE", "%s", true);
        EXPECT_TRUE(LaunchTarget(&toolExit));
        ASSERT_EQ(1u, Fake().Started.size());
        EXPECT_EQ(u"E:\\SUITE;C:\\日本語;C:\\windows", Fake().Started[0].PathW);
    }
}

// With W: the tool is let go only once a job that ends it with the program holds it, gets the
// standard handles the program has (none passed when it has none), and is awaited for its
// exit code. A job that cannot take it, or none at all, changes only that.
TEST_F(LaunchTargetTest, WaitedToolIsHeldAndGetsTheProgramsHandles)
{
    struct Row {
        const char* Name;
        bool In, Out, Err, ParentConsole, AssignFails, CreateJobFails;
    };
    const Row rows[] = {
        {"all three", true, true, true, false, false, false},
        {"standard error only", false, false, true, false, false, false},
        {"none", false, false, false, false, false, false},
        {"none, the caller's console", false, false, false, true, false, false},
        {"in a job that forbids a second", true, true, true, false, true, false},
        {"no job to be had", true, true, true, false, false, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        FreshMachine();
        Fake().HasStdInput = row.In;
        Fake().HasStdOutput = row.Out;
        Fake().HasStdError = row.Err;
        Fake().ParentHasConsole = row.ParentConsole;
        if (row.AssignFails)
            Fake().Failures["AssignProcessToJobObject"] = {0, ErrorAccessDenied};
        if (row.CreateJobFails)
            Fake().Failures["CreateJobObject"] = {0, ErrorAccessDenied};
        Fake().ToolExitCode = 7;
        Prepare("E:\\SUITE", "tool.exe %s", false);
        Launch.WaitForTool = true;
        const HostFile in = HostGetStdHandle(HostStdInputHandle),
                       out = HostGetStdHandle(HostStdOutputHandle),
                       err = HostGetStdHandle(HostStdErrorHandle);
        EXPECT_TRUE(LaunchTarget(&toolExit));
        EXPECT_EQ(7u, toolExit);
        ASSERT_EQ(1u, Fake().Started.size());
        const FakeProcess& tool = Fake().Started[0];
        EXPECT_EQ(HostCreateDefaultErrorMode | HostCreateSuspended, tool.Flags);
        EXPECT_TRUE(tool.Ended);
        EXPECT_EQ(row.In || row.Out || row.Err, tool.UseStdHandles);
        EXPECT_EQ(in, tool.StdInput);
        EXPECT_EQ(out, tool.StdOutput);
        EXPECT_EQ(err, tool.StdError);
        EXPECT_EQ(row.ParentConsole, Fake().AttachedToConsole);
        // Held while it runs; once it has ended, what it left running outlives the program.
        const bool held = !row.AssignFails && !row.CreateJobFails;
        EXPECT_EQ(held ? int64_t{HostJobKillOnJobClose | HostJobBreakawayOk} : -1,
                  tool.JobLimitsWhileRunning);
        if (held) {
            EXPECT_EQ(HostJobBreakawayOk, Fake().JobLimits);
        }
    }
}

}  // namespace
