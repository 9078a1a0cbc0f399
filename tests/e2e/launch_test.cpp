// The launcher on the real program: what the platform's process creation, environment and
// registry make of the started tool's command line, PATH, directory and error mode, and of
// the stored locations. Each row is one run (E2eCase in e2e_support.h).
#include <string>

#include "e2e_support.h"

namespace {

const std::string Nul(1, '\0');

class LaunchTest : public E2eTest {};

TEST_F(LaunchTest, Runs)
{
    std::string longPath = "C:\\windows";
    while (longPath.size() < 30000)
        longPath += ";C:\\some\\long\\directory\\name";
    const std::string l518 = "C:\\" + std::string(515, 'x');
    const std::map<std::string, std::string> target = {{"@m\\run.dll", "target"}};
    // clang-format off
    RunCases(HERE, {
        // With fewer than three tokens the tail goes to diriz.exe beside the program
        // untouched, per-cent signs too, and the location goes in front of the inherited
        // PATH; the tool runs in the caller's directory.
        {.Name = "default run", .Values = {{"devshl.dll", Sz("@m")}},
         .Files = {{"@m\\devshl.dll", ""}}, .Tail = "project_50%sale.prj  \"$s x 100%%\"",
         .Tool = {{"cmdline", "@p\\diriz.exe project_50%sale.prj  \"$s x 100%%\""},
                  {"path", "@m;C:\\windows\\system32;C:\\windows"}, {"cwd", "@c"}}},
        {.Name = "program folder with a blank, quoted in the default command",
         .Values = {{"devshl.dll", Sz("@m")}}, .Files = {{"@m\\devshl.dll", ""}},
         .Program = "@s\\Program Files\\Suite 100%", .Tail = "a.prj",
         .Tool = {{"cmdline", "\"@p\\diriz.exe\" a.prj"}}},
        // The command as the platform resolves it: the target itself, and a path with a
        // blank quoted, so that @s\my.exe, which a shorter command would start, is not.
        {.Name = "the target itself", .Values = {{"run.exe", Sz("@m")}},
         .Files = {{"@m\\run.exe", "@recorder"}}, .Tail = "run.exe Tools $s",
         .Tool = {{"cmdline", "@m\\run.exe"}}},
        {.Name = "a path with a blank", .Values = {{"run.exe", Sz("@s\\my media")}},
         .Files = {{"@s\\my media\\run.exe", "@recorder"}, {"@s\\my.exe", "@recorder"}},
         .Tail = "run.exe Tools $s_/x", .Tool = {{"cmdline", "\"@s\\my media\\run.exe\" /x"}}},
        // A command that goes on after the target's path, in a folder with a blank: the whole
        // first word is quoted, so the tool below the target starts.
        {.Name = "a command going on after the target's path", .Values = {{"BIN", Sz("@s\\My Tools")}},
         .Files = {{"@s\\My Tools\\BIN\\tool.exe", "@recorder"}}, .Tail = "BIN Tools $s\\tool.exe_/q",
         .Tool = {{"cmdline", "\"@s\\My Tools\\BIN\\tool.exe\" /q"}}},
        // A command naming no program: a box without an owner gives the command line and
        // the platform's reason, and the run ends with 3 once it is dismissed.
        {.Name = "no such tool", .Values = {{"run.dll", Sz("@m")}}, .Files = target,
         .Tail = "run.dll Tools no-such-tool.exe_$s",
         .Dialog = {std::string("box " STR_START_FAILED_CAPTION "|The tool could not be started."
                                "\r\n\r\nCommand line: no-such-tool.exe @m\\run.dll\r\n\r\n") +
                    SystemReason(ERROR_FILE_NOT_FOUND)},
         .Exit = 3},
        // The tool starts in the caller's directory with the default error mode. Wine starts
        // every child so whatever the parent's, so the child's own report cannot tell; Wine's
        // process channel shows the creation flags.
        {.Name = "error mode", .Values = {{"run.dll", Sz("@m")}}, .Files = target,
         .Env = {{"WINEDEBUG", "-all,warn+process"}}, .Tail = "run.dll Tools tool.exe_$s",
         .Tool = {{"errormode", "0"}, {"cwd", "@c"}},
         .Log = "tool.exe\",...): ignoring some flags in 4000000\n"},
        // The location in front of PATH only with S, and the platform's own unset PATH.
        {.Name = "S", .Values = {{"run.dll", Sz("@m")}}, .Files = target,
         .Env = {{"PATH", "C:\\old"}}, .Tail = "run.dll Tools tool.exe_$s S",
         .Tool = {{"path", "@m;C:\\old"}, {"cmdline", "tool.exe @m\\run.dll"}}},
        {.Name = "without S", .Values = {{"run.dll", Sz("@m")}}, .Files = target,
         .Env = {{"PATH", "C:\\old"}}, .Tail = "run.dll Tools tool.exe_$s",
         .Tool = {{"path", "C:\\old"}}},
        {.Name = "S, PATH unset", .Values = {{"run.dll", Sz("@m")}}, .Files = target,
         .Env = {{"PATH", std::nullopt}}, .Tail = "run.dll Tools tool.exe_$s S",
         .Tool = {{"path", "@m"}}},
        {.Name = "PATH unset, no S", .Values = {{"run.dll", Sz("@m")}}, .Files = target,
         .Env = {{"PATH", std::nullopt}}, .Tail = "run.dll Tools tool.exe_$s",
         .Tool = {{"path", "(unset)"}}},
        {.Name = "PATH near the platform's limit", .Values = {{"run.dll", Sz("@m")}},
         .Files = target, .Env = {{"PATH", longPath}}, .Tail = "run.dll Tools tool.exe_$s S",
         .Tool = {{"path", "@m;" + longPath}}},
        // A command line of several thousand bytes reaches the program whole, and is refused.
        {.Name = "a token too long", .Tail = std::string(5000, 'n') + " Tools tool.exe_$s S",
         .Dialog = {"box " STR_BAD_COMMAND_LINE_CAPTION "|" STR_BAD_COMMAND_LINE}, .Exit = 2},
        // Without the product key the location is empty: the target is looked for in the
        // current drive's root, and nothing is written.
        {.Name = "no product key", .Keys = 0, .Files = {{"C:\\nrtest-root.dll", "target"}},
         .Tail = "nrtest-root.dll Tools tool.exe_$s S",
         .Tool = {{"cmdline", "tool.exe \\nrtest-root.dll"},
                  {"path", ";C:\\windows\\system32;C:\\windows"}}},
        {.Name = "no locator key: the current folder, nothing written", .Keys = 1,
         .Files = {{"@c\\run.dll", "target"}}, .Tail = "run.dll Tools tool.exe_$s",
         .Tool = {{"cmdline", "tool.exe @c\\run.dll"}}},
        // The registry's own answer for each shape of value: a usable value names an empty
        // folder of 517 bytes and prompts; an unusable one gives way to the current folder,
        // which holds the target, and is replaced. Another target's value is never touched.
        {.Name = "absent", .Values = {{"other.dll", Sz("@m")}},
         .Files = {{"@c\\run.dll", "target"}}, .Tail = "run.dll Tools tool.exe_$s",
         .Tool = {{"cmdline", "tool.exe @c\\run.dll"}},
         .After = RegKey{{"other.dll", Sz("@m")}, {"run.dll", Sz("@c")},
                         {"run.dll|volume", OnSystemDrive}}},
        {.Name = "520 bytes", .Values = {{"run.dll", Sz(l518 + "y")}},
         .Files = {{"@c\\run.dll", "target"}}, .Tail = "run.dll Tools tool.exe_$s",
         .Dialog = {"cancel"}, .Exit = 2},
        {.Name = "521 bytes", .Values = {{"run.dll", Sz(l518 + "yz")}},
         .Files = {{"@c\\run.dll", "target"}}, .Tail = "run.dll Tools tool.exe_$s",
         .Tool = {{"cmdline", "tool.exe @c\\run.dll"}},
         .After = RegKey{{"run.dll", Sz("@c")}, {"run.dll|volume", OnSystemDrive}}},
        {.Name = "empty string", .Values = {{"run.dll", {REG_SZ, ""}}},
         .Files = {{"@c\\run.dll", "target"}}, .Tail = "run.dll Tools tool.exe_$s",
         .Dialog = {"cancel"}, .Exit = 2},
        // An expandable string is expanded for the run and kept as it was stored; the
        // scratch folder lies on the system drive, C: under Wine.
        {.Name = "expandable",
         .Values = {{"run.dll",
                     {REG_EXPAND_SZ, "%SystemDrive%\\nrtest\\LaunchTest.Runs\\media" + Nul}}},
         .Files = target, .Tail = "run.dll Tools tool.exe_$s S",
         .Tool = {{"cmdline", "tool.exe @m\\run.dll"},
                  {"path", "@m;C:\\windows\\system32;C:\\windows"}}},
        // Found where it was stored: nothing is written, bytes after the terminator stay.
        {.Name = "found where stored",
         .Values = {{"run.dll", {REG_SZ, "@m" + Nul + "x" + Nul}}, {"other", {REG_BINARY, "keep"}}},
         .Files = target, .Tail = "run.dll Tools tool.exe_$s",
         .Tool = {{"cmdline", "tool.exe @m\\run.dll"}}},
        // A media value of two bytes is no kind at all: the CD-ROM prompt.
        {.Name = "media of two bytes",
         .Values = {{"media", {REG_DWORD, std::string("\2\0", 2)}}, {"run.dll", Sz("@s\\gone")}},
         .Tail = "run.dll Tools tool.exe_$s",
         .Dialog = {"prompt Please insert the CD-ROM labeled \"Halvard Marlinth\" into your CD-ROM "
                    "drive, or enter the path to the Tools.", "cancel"},
         .Exit = 2},
        // A drive letter nothing is mapped to is probed without a box of the platform's own.
        {.Name = "unmapped drive", .Values = {{"run.dll", Sz("Q:\\nothing\\here")}},
         .Tail = "run.dll T tool.exe_$s S", .Dialog = {"cancel"}, .Exit = 2},
    });
    // clang-format on
}

// NRCDROM_UNATTENDED set means no window at all, an exit code at once, and a line on standard
// error saying why; set to 0 it asks for the usual run.
TEST_F(LaunchTest, UnattendedRuns)
{
    const RegKey found = {{"devshl.dll", Sz("@m")}};
    const std::map<std::string, std::string> target = {{"@m\\devshl.dll", ""}};
    // clang-format off
    RunCases(HERE, {
        {.Name = "target missing", .Values = {{"devshl.dll", Sz("@s\\gone")}}, .Env = Unattended,
         .Tail = "devshl.dll T tool.exe", .Exit = 2,
         .Output = "nrcdrom: devshl.dll is not in @s\\gone; not asking because NRCDROM_UNATTENDED "
                   "is set\r\n"},
        {.Name = "command line refused", .Env = Unattended,
         .Tail = std::string(300, 'n') + " T tool.exe", .Exit = 2,
         .Output = STR_UNATTENDED_REFUSED},
        {.Name = "tool not started", .Values = found, .Files = target, .Env = Unattended,
         .Tail = "devshl.dll T no-such-tool.exe", .Exit = 3,
         .Output = "nrcdrom: the tool could not be started: " + SystemReason(ERROR_FILE_NOT_FOUND) +
                   "; command line: no-such-tool.exe\r\n"},
        // Moving a file over one held open is refused as access denied.
        {.Name = "batch file held open", .Values = found,
         .Files = {{"@m\\devshl.dll", ""}, {"@p\\NRVARCD.BAT", "@held"}}, .Env = Unattended,
         .Tail = "devshl.dll T x P", .Exit = 1,
         .Output = "nrcdrom: @p\\NRVARCD.BAT could not be written: " +
                   SystemReason(ERROR_ACCESS_DENIED) + "\r\n"},
        {.Name = "0 means attended", .Values = {{"devshl.dll", Sz("@s\\gone")}},
         .Env = {{"NRCDROM_UNATTENDED", "0"}}, .Tail = "devshl.dll T tool.exe",
         .Dialog = {"cancel"}, .Exit = 2},
    });
    // clang-format on
}

// Option W: the run ends once the tool has, with the tool's exit code; the tool writes into
// the file the caller gave the program for its output and error; and it ends when the program
// is killed first. The recorder sleeps, writes and exits as the row's variables ask.
TEST_F(LaunchTest, WaitForTheTool)
{
    const RegKey found = {{"run.dll", Sz("@m")}};
    const std::map<std::string, std::string> target = {{"@m\\run.dll", "target"}};
    const Record tool = {{"cmdline", "tool.exe @m\\run.dll"}};
    // clang-format off
    RunCases(HERE, {
        {.Name = "a second, then 7", .Values = found, .Files = target,
         .Env = {{"NRTEST_SLEEP_MS", "1000"}, {"NRTEST_EXIT", "7"}},
         .Tail = "run.dll Tools tool.exe_$s W", .Exit = 7, .Tool = tool, .Waits = true},
        {.Name = "0", .Values = found, .Files = target, .Env = {{"NRTEST_EXIT", "0"}},
         .Tail = "run.dll Tools tool.exe_$s w", .Tool = tool, .Waits = true},
        {.Name = "3, unattended: the tool's, with no line of the program's", .Values = found,
         .Files = target, .Env = {{"NRTEST_EXIT", "3"}, {"NRCDROM_UNATTENDED", "1"}},
         .Tail = "run.dll Tools tool.exe_$s W", .Exit = 3, .Tool = tool, .Waits = true},
        {.Name = "output and error in their order", .Values = found, .Files = target,
         .Env = {{"NRTEST_WRITE", "1:to output|2:to error|1:to output again"}},
         .Tail = "run.dll Tools tool.exe_$s SW", .Tool = tool,
         .Output = "to output\r\nto error\r\nto output again\r\n", .Waits = true},
        {.Name = "killed: the tool ends with it", .Values = found, .Files = target,
         .Env = {{"NRTEST_SLEEP_MS", "600000"}}, .Tail = "run.dll Tools tool.exe_$s W",
         .Dialog = {"kill"}, .Exit = 1, .Tool = tool},
        {.Name = "script mode: W changes nothing", .Values = found, .Files = target,
         .Tail = "run.dll Tools tool.exe_$s PW", .Exit = 1,
         .After = RegKey{{"run.dll", Sz("@m")}, {"run.dll|volume", OnSystemDrive}}},
    });
    // clang-format on
}

}  // namespace
