// Unattended runs of the real program under a display: NRCDROM_UNATTENDED set means no window
// at all, an exit code at once, and a line on standard error saying why.
#include <string>

#include "e2e_support.h"

namespace {

class UnattendedTest : public E2eTest {};

// Each row ends without a window and starts nothing; the stored location stays as it was.
TEST_F(UnattendedTest, NoWindowAnExitCodeAndALineOnStandardError)
{
    struct Row {
        const char* Name;
        std::string Tail;
        std::string Stored;  // the location in the registry
        bool HoldScript;     // NRVARCD.BAT held open without sharing
        DWORD ExitCode;
        std::string Line;
    };
    const std::string script = In("prog\\NRVARCD.BAT");
    // Moving a file over one held open is refused as access denied.
    const std::string held = SystemReason(ERROR_ACCESS_DENIED);
    const std::string notFound = SystemReason(ERROR_FILE_NOT_FOUND);
    ASSERT_NE("", held);
    ASSERT_NE("", notFound);
    const Row rows[] = {
        {"target missing", "devshl.dll T tool.exe", In("gone"), false, 2,
         "nrcdrom: devshl.dll is not in " + In("gone") +
             "; not asking because NRCDROM_UNATTENDED is set\r\n"},
        {"command line refused", std::string(300, 'n') + " T tool.exe", In("gone"), false, 2,
         STR_UNATTENDED_REFUSED},
        {"tool not started", "devshl.dll T no-such-tool.exe", Media(), false, 3,
         "nrcdrom: the tool could not be started: " + notFound +
             "; command line: no-such-tool.exe\r\n"},
        {"batch file held open", "devshl.dll T x P", Media(), true, 1,
         "nrcdrom: " + script + " could not be written: " + held + "\r\n"},
    };
    ASSERT_TRUE(WriteFileText(HERE, Media() + "\\devshl.dll", ""));
    ASSERT_TRUE(WriteFileText(HERE, script, "old content\r\n"));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        ASSERT_TRUE(SetString(HERE, "devshl.dll", row.Stored));
        const std::string errors = In("stderr.txt");
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE file = CreateFileA(errors.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                  CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        HANDLE hold = INVALID_HANDLE_VALUE;
        if (row.HoldScript) {
            hold = CreateFileA(script.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, hold);
        }
        RunOptions options;
        options.Env["NRCDROM_UNATTENDED"] = std::string("1");
        options.StdErr = file;
        // Under a display a dialog would wait for an answer; the run must end by itself.
        Outcome run = Finish(HERE, Start(HERE, row.Tail, options), 10000);
        CloseHandle(file);
        if (hold != INVALID_HANDLE_VALUE)
            CloseHandle(hold);
        EXPECT_EQ(row.ExitCode, run.ExitCode);
        EXPECT_EQ(1u, run.Processes);
        EXPECT_EQ(row.Line, ReadFileText(errors));
        EXPECT_EQ(row.Stored, GetValue("devshl.dll").Text());
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
