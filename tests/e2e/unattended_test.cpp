// Unattended runs of the real program under a display: NRCDROM_UNATTENDED set means no window
// at all, an exit code at once, and a line on standard error saying why.
#include <string>

#include "e2e_support.h"

namespace {

class UnattendedTest : public E2eTest {};

TEST_F(UnattendedTest, NoWindowAnExitCodeAndALineOnStandardError)
{
    struct Row {
        const char* Name;
        std::string Tail;
        std::string Line;
    };
    const Row rows[] = {
        {"target missing", "devshl.dll T tool.exe",
         "nrcdrom: devshl.dll is not in " + In("gone") +
             "; not asking because NRCDROM_UNATTENDED is set\r\n"},
        {"command line refused", std::string(300, 'n') + " T tool.exe",
         "nrcdrom: the command line is too long; nothing was started, and no box is shown "
         "because NRCDROM_UNATTENDED is set\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        ASSERT_TRUE(SetString(HERE, "devshl.dll", In("gone")));
        const std::string errors = In("stderr.txt");
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE file = CreateFileA(errors.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                  CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        RunOptions options;
        options.Env["NRCDROM_UNATTENDED"] = std::string("1");
        options.StdErr = file;
        // Under a display a dialog would wait for an answer; the run must end by itself.
        Outcome run = Finish(HERE, Start(HERE, row.Tail, options), 10000);
        CloseHandle(file);
        EXPECT_EQ(2u, run.ExitCode);
        EXPECT_EQ(1u, run.Processes);
        EXPECT_EQ(row.Line, ReadFileText(errors));
        EXPECT_EQ(In("gone"), GetValue("devshl.dll").Text());
    }
}

// Set to 0, the variable asks for the usual run: the dialog opens.
TEST_F(UnattendedTest, ZeroMeansAttended)
{
    ASSERT_TRUE(SetString(HERE, "devshl.dll", In("gone")));
    RunOptions options;
    options.Env["NRCDROM_UNATTENDED"] = std::string("0");
    ProgramRun* program = Start(HERE, "devshl.dll T tool.exe", options);
    HWND dialog = WaitForWindow(HERE, program);
    ASSERT_NE(nullptr, dialog);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(2u, Finish(HERE, program).ExitCode);
}

}  // namespace
