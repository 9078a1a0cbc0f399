// Folders that users really have, on the real program: roots that cmd would read as its own
// syntax, a drive's root, and a command that goes on after the target's path.
#include <string>
#include <vector>

#include "e2e_support.h"

namespace {

class PathsTest : public E2eTest {};

// Script mode below roots holding &, % and ^, then NRVARCD.BAT called in the platform's own
// cmd: both blocks give the variables exactly the folders, where before & cut PATH short, %
// garbled it and ^ was lost; a root with cmd's syntax is quoted in the block for other
// interpreters only, and the block for cmd gives no empty entry for LIB. A target in a
// drive's root has the drive itself for its root, and keeps its letter.
TEST_F(PathsTest, BatchFileBelowRootsWithCmdSyntaxRunsInCmd)
{
    const struct {
        const char *Name, *Program, *Location, *Stored, *Quote;
    } roots[] = {
        {"ampersand and per-cent sign", "@s\\R&D", "@s\\100%", "@s\\100%\\BIN", "\""},
        {"caret", "@s\\x^y", "@s\\plain", "@s\\plain\\BIN", "\""},
        {"drive root", "@s\\suite", "D:", "D:\\", ""},
    };
    std::vector<E2eCase> rows;
    for (const auto& root : roots) {
        const std::string p = root.Program, l = root.Location, q = root.Quote;
        auto bare = [&](const char* dir) { return p + "\\" + dir + ";" + l + "\\" + dir; };
        auto quoted = [&](const char* dir) {
            return q + p + "\\" + dir + q + ";" + l + "\\" + dir + ";";
        };
        // Missing, the file is written and the location written back, with the volume it lies
        // on (D: tells none).
        std::optional<RegKey> writtenBack;
        if (l != "D:")
            writtenBack =
                RegKey{{"devshl.dll", Sz(root.Stored)}, {"devshl.dll|volume", OnSystemDrive}};
        E2eCase row{.Name = std::string(root.Name) + ", cmd",
                    .Values = {{"devshl.dll", Sz(root.Stored)}},
                    .Files = {{(l == "D:" ? l : root.Stored) + "\\devshl.dll", ""}},
                    .Program = p + "\\BIN",
                    .Tail = "devshl.dll T x P",
                    .Exit = 1,
                    .After = writtenBack,
                    .Cmd = {"call \"@p\\NRVARCD.BAT\""},
                    .Vars = {{"PATH", bare("BIN") + ";" + SystemPath},
                             {"INCLUDE", bare("INCLUDE") + ";C:\\inc"},
                             {"LIB", bare("LIB")}}};
        rows.push_back(row);
        row.Name = std::string(root.Name) + ", other interpreters";
        row.Exit = 0;
        row.After = std::nullopt;
        row.CmdEnv = {{"OS", "OS2"}};
        row.Vars = {{"PATH", quoted("BIN") + "\"" + SystemPath + "\""},
                    {"INCLUDE", quoted("INCLUDE") + "\"C:\\inc\""},
                    {"LIB", quoted("LIB") + "\"\""}};
        rows.push_back(row);
    }
    RunCases(HERE, rows);
}

// A command that goes on after the target's path in a folder with a blank: the whole first
// word is quoted, so the tool below the target starts.
TEST_F(PathsTest, CommandGoingOnAfterTheTargetsPathStartsTheToolBelowIt)
{
    const std::string location = In("My Tools");
    InstallProgram(HERE, location + "\\BIN");  // the recorder as BIN\tool.exe
    ASSERT_TRUE(SetString(HERE, "BIN", location));
    Outcome run = Run(HERE, "BIN Tools $s\\tool.exe_/q");
    EXPECT_EQ(0u, run.ExitCode);
    ASSERT_EQ(2u, run.Processes);
    EXPECT_EQ("\"" + location + "\\BIN\\tool.exe\" /q", run.Tool["cmdline"]);
}

}  // namespace
