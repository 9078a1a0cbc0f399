// Folders that users really have, on the real program: roots that cmd would read as its own
// syntax, a drive's root, and a command that goes on after the target's path.
#include <string>
#include <vector>

#include "e2e_support.h"

namespace {

class PathsTest : public E2eTest {};

// NRVARCD.BAT below roots holding &, % and ^, run in the platform's own cmd: both blocks give
// the variables exactly the folders, where before & cut PATH short, % garbled it and ^ was lost.
// A target in a drive's root has the drive itself for its root, and keeps its letter.
TEST_F(PathsTest, BatchFileBelowRootsWithCmdSyntaxRunsInCmd)
{
    struct Row {
        const char* Name;
        std::string Program, Location;  // the two roots, the program in BIN below its own
        const char* ProgramQuote;       // a root with cmd's syntax in it is quoted
        std::string Stored;             // the location: the target's folder
    };
    const std::vector<Row> rows = {
        {"ampersand and per-cent sign", In("R&D"), In("100%"), "\"", In("100%\\BIN")},
        {"caret", In("x^y"), In("plain"), "\"", In("plain\\BIN")},
        {"drive root", In("suite"), "D:", "", "D:\\"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        RunOptions options;
        options.Program = InstallProgram(HERE, row.Program + "\\BIN");
        ASSERT_TRUE(MakeDir(HERE, row.Stored));
        const char* separator = row.Stored.back() == '\\' ? "" : "\\";
        ASSERT_TRUE(WriteFileText(HERE, row.Stored + separator + "devshl.dll", ""));
        ASSERT_TRUE(SetString(HERE, "devshl.dll", row.Stored));
        ASSERT_EQ(1u, Run(HERE, "devshl.dll T x P", options).ExitCode);
        const std::string script = row.Program + "\\BIN\\NRVARCD.BAT";
        const std::string q = row.ProgramQuote;
        auto own = [&](const char* dir) { return q + row.Program + "\\" + dir + q + ";"; };
        auto located = [&](const char* dir) { return row.Location + "\\" + dir + ";"; };
        // The block for cmd writes no quotes, and no empty entry for LIB.
        auto bare = [&](const char* dir) { return row.Program + "\\" + dir + ";" + located(dir); };

        std::string nt = RunInCmd(HERE, script, In("nt.txt"), "Windows_NT");
        EXPECT_EQ(bare("BIN") + SystemPath, Variable(nt, "PATH"));
        EXPECT_EQ(bare("INCLUDE") + "C:\\inc", Variable(nt, "INCLUDE"));
        EXPECT_EQ(bare("LIB").substr(0, bare("LIB").size() - 1), Variable(nt, "LIB"));

        std::string other = RunInCmd(HERE, script, In("other.txt"), "OS2");
        EXPECT_EQ(own("BIN") + located("BIN") + "\"" + SystemPath + "\"", Variable(other, "PATH"));
        EXPECT_EQ(own("INCLUDE") + located("INCLUDE") + "\"C:\\inc\"", Variable(other, "INCLUDE"));
        EXPECT_EQ(own("LIB") + located("LIB") + "\"\"", Variable(other, "LIB"));
    }
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
