// The one fixture of the end-to-end tests: a scratch folder with the program and the
// recorder in it, the product's registry keys, and the runs of the real program, each held
// with everything it starts in a job object, so that how many processes a run started is
// counted, never guessed from a wait. Plain Win32 calls, run inside the group's Wine prefix.
// Every name and text is UTF-8 and goes through the Unicode calls, so that a test in any
// language is written the same way, whatever the group's code pages.
#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "resource.h"
#include "strings.h"

// Helpers that can fail take the caller's place first and report their failure there.
#define HERE __FILE__, __LINE__

constexpr const char* ProductKey = "SOFTWARE\\HalvardWorks\\Marlinth\\6.6";
constexpr const char* LocatorKey = "SOFTWARE\\HalvardWorks\\Marlinth\\6.6\\nrcdrom";
// The exit code of a run that did not end, or could not be started.
constexpr DWORD NoExitCode = 0xFFFFFFFF;
// Ids of the open-file dialog's controls, as the platform's templates give them.
constexpr int OpenFileNameField = 1148;
constexpr int OpenFileTypeField = 1136;

// How long a message sent to the program's windows may take: on a loaded machine a thread
// busy for a few seconds is not hung, and a message given up on would leave a field unset.
constexpr UINT MessageWaitMs = 20000;
// How long a run, or a command of cmd, may take to end: a few seconds on a quiet machine,
// far more on a loaded one, where the dialog's exit alone has been seen to take half a
// minute.
constexpr DWORD RunWaitMs = 90000;
// The PATH a run gets unless it says otherwise.
constexpr const char* SystemPath = "C:\\windows\\system32;C:\\windows";

// What the started tool wrote down, in UTF-8: cmdline, path, cwd,
// errormode.
using Record = std::map<std::string, std::string>;

// Texts in UTF-8 and UTF-16; embedded NULs are kept.
std::wstring Utf16(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
bool IsText(DWORD registryType);

// A registry value as a row writes or expects it: its type and its bytes, terminator and all;
// a string's in UTF-8, written and read through the Unicode calls.
struct RegData {
    DWORD Type;
    std::string Data;
    bool operator==(const RegData& other) const { return Type == other.Type && Data == other.Data; }
};
inline RegData Sz(const std::string& text)
{
    return {REG_SZ, text + std::string(1, '\0')};
}
using RegKey = std::map<std::string, RegData>;
using EnvSet = std::map<std::string, std::optional<std::string>>;

// What rows share: the environment of an unattended run, and the volume record of a location
// on C:, where Wine tells the serial its letter gives and no label.
const EnvSet Unattended = {{"NRCDROM_UNATTENDED", "1"}};
const RegData OnSystemDrive = {REG_SZ, std::string("4300-0000 ") + '\0'};

// One run of the real program as data, for E2eTest::RunCases. In every text of a row "@m",
// "@c", "@p" and "@s" stand for the media, current, program and scratch folders.
struct E2eCase {
    std::string Name;
    RegKey Values;  // the locator key before the run
    int Keys = 2;   // 0: no product key; 1: the product key alone; 2: the locator key too
    // Files made before the run and removed after it; "@recorder": a copy of the recorder;
    // "@held": an empty file held open without sharing while the program runs; "@read-only "
    // and a text: a read-only file of that text.
    std::map<std::string, std::string> Files;
    std::map<std::string, std::optional<std::string>> Env;
    std::string Program;  // the folder to install the program in; empty: the fixture's
    std::string Tail;
    // The user's part, in order ("kill" ends the program once its tool has made its record):
    // "caption TEXT", "field TEXT" and "prompt TEXT" check the dialog's caption, field and
    // prompt; "type TEXT" sets the field; "ok" and "cancel" press those buttons, "close" the
    // caption's close command, "click ID" clicks a control with the mouse, "key NAMES" presses
    // keys and "keys TEXT" types them; "browse NAME" picks NAME (empty: the preset one) in the
    // open-file dialog; "make PATH" makes a file while the dialog is open; "box CAPTION|TEXT" finds
    // a message box, checks its text and closes it ("box-enter": with the Return key); "shot
    // NAME" saves a screenshot of the dialog.
    std::vector<std::string> Dialog;
    DWORD Exit = 0;
    Record Tool;          // what the started tool recorded, in part; empty: none started
    DWORD Processes = 0;  // what the run started, the program included; 0: 1, or 2 with Tool
    std::optional<RegKey> After;  // the whole locator key after the run; unset: as before
    // nullopt: no such file; a text ending in "..." is the file's beginning; a name with a "*"
    // in it gives the names that match it, sorted, each followed by "|".
    std::map<std::string, std::optional<std::string>> FilesAfter;
    // What the run wrote to its standard output and error, given one file as 2>&1 gives it.
    std::string Output;
    bool Waits = false;  // the program ends only once what it started has ended
    std::string Log;     // a text in what Wine's debug channels (Env WINEDEBUG) logged
    // After the run, lines of a batch file that cmd runs (written in the OEM code page), with
    // PATH SystemPath, INCLUDE C:\inc, LIB unset and OS Windows_NT unless CmdEnv says; they
    // must print nothing, and `set` must then show Vars (nullopt: unset), NRERRORLEVEL the
    // errorlevel they leave (0 unless Vars says). Loads names a module the loader must find through
    // the PATH they leave.
    std::vector<std::string> Cmd;
    EnvSet CmdEnv;
    EnvSet Vars;
    std::string Loads;
};

// How a run is started; what is not given comes from the fixture.
struct RunOptions {
    std::string Program;  // empty: the installed program
    // Variables set (a value) or removed (nullopt) in the program's environment, which is
    // otherwise the driver's own with PATH set to SystemPath.
    std::map<std::string, std::optional<std::string>> Env;
    // Where the program's standard output and error both go (the fixture makes it
    // inheritable); null: nowhere of the test's.
    HANDLE Output = nullptr;
};

// One run of the program, held in a job of its own until TearDown.
struct ProgramRun {
    HANDLE Process = nullptr;
    HANDLE Job = nullptr;
    DWORD Pid = 0;
    std::string RecordPath;  // where a started recorder writes
    bool Finished = false;
};

// How a run ended.
struct Outcome {
    DWORD ExitCode = NoExitCode;
    DWORD Processes = 0;  // what the run started, the program itself included
    Record Tool;          // the started tool's record; empty when none was started
};

class E2eTest : public ::testing::Test {
public:
    void SetUp() override;
    void TearDown() override;

    // C:\nrtest\<suite>.<test>, made empty for each test, with prog\ (the program installed),
    // media\ and cwd\ in it.
    const std::string& Scratch() const { return scratch_; }
    std::string In(const std::string& relative) const { return scratch_ + "\\" + relative; }
    std::string Media() const { return In("media"); }
    std::string Cwd() const { return In("cwd"); }
    const std::string& Program() const { return program_; }
    // Drive D:, a folder of this group's own, emptied for each test, for locations at a
    // drive's root.
    static std::string DriveD() { return Env("NRTEST_DRIVE_D"); }

    // The program, and the recorder as diriz.exe and tool.exe, in dir; the program's path.
    std::string InstallProgram(const char* file, int line, const std::string& dir);
    static bool MakeDir(const char* file, int line, const std::string& path);
    static bool WriteFileText(const char* file, int line, const std::string& path,
                              const std::string& content);
    static std::string ReadFileText(const std::string& path, bool* exists = nullptr);
    static bool Exists(const std::string& path);
    // The platform's short (8.3) name of an existing path.
    static std::string ShortName(const char* file, int line, const std::string& path);
    static std::string Env(const char* name);  // empty when unset
    static std::optional<std::string> EnvValue(const std::string& name);
    static void SetEnv(const std::string& name, const std::optional<std::string>& value);
    // The platform's text for a system error code, as FormatMessageA gives it, without the
    // blanks and line ends it ends with.
    static std::string SystemReason(DWORD code);
    static Record ParseRecord(const std::string& text);
    // The examples folder of the source tree (NRTEST_SOURCE), as the prefix sees it.
    static std::string Examples();

    // Registry, under HKEY_LOCAL_MACHINE; the values are those of LocatorKey, their names
    // and strings in UTF-8, through the Unicode calls.
    static bool CreateKey(const char* file, int line, const char* path);
    static bool SetValue(const char* file, int line, const std::string& name, DWORD type,
                         const std::string& data);
    static bool SetString(const char* file, int line, const std::string& name,
                          const std::string& text);
    static bool KeyExists(const char* path);
    static void RemoveProductKeys();

    // Starts the program with the tail, suspended, puts it in a job and lets it go; null
    // (and a failure) when it cannot be started. The run is the fixture's until TearDown.
    ProgramRun* Start(const char* file, int line, const std::string& tail,
                      const RunOptions& options = RunOptions());
    // Waits for the program and for everything it started to end, then counts what the
    // run started and reads the tool's record when a tool was started.
    Outcome Finish(const char* file, int line, ProgramRun* run, DWORD timeoutMs = RunWaitMs);
    Outcome Run(const char* file, int line, const std::string& tail,
                const RunOptions& options = RunOptions());
    // Each case a run of its own from a key and files made anew, checked against everything
    // the row says and, where it says nothing, against what was there before.
    void RunCases(const char* file, int line, const std::vector<E2eCase>& cases);
    // One step of a row's dialog (E2eCase::Dialog); false when the row cannot go on.
    bool PlayStep(const char* file, int line, const ProgramRun* program, HWND& dialog,
                  const std::string& step);
    // The row's lines in cmd (E2eCase::Cmd), checked as the row says.
    void CheckCmd(const char* file, int line, const E2eCase& row);
    // The text with the row placeholders "@m", "@c", "@p" and "@s" replaced.
    std::string Expand(std::string text) const;
    static RegKey LocatorValues();  // the whole locator key; empty when there is none

    // The first visible top-level window of the run of class className (and, when given,
    // with that caption) owned by owner (null: one without an owner), or null (and a
    // failure) when none shows within the wait or the program ends first. A found window
    // has handled what was sent to it before.
    HWND WaitForWindow(const char* file, int line, const ProgramRun* run, HWND owner = nullptr,
                       const char* className = "#32770", const char* caption = nullptr,
                       DWORD timeoutMs = 20000);
    // True when window is gone (or hidden) within the wait.
    static bool WaitUntilGone(HWND window, DWORD timeoutMs = 10000);
    static std::string WindowText(HWND window);
    static std::string ItemText(HWND dialog, int id);
    static void SetItem(HWND dialog, int id, const std::string& text);
    // The visible children of class className, in z order.
    static std::vector<HWND> VisibleChildren(HWND parent, const char* className);
    static HWND FindChild(HWND parent, const char* className);
    static RECT WindowRect(HWND window);
    // Lets window's thread handle everything queued before, so that what is read next is
    // what that thread has done.
    static void Settle(HWND window);
    // The window that holds the keyboard focus in window's thread.
    static HWND FocusOf(HWND window);
    // Keystrokes reach the program's thread a little after xdotool has sent them, so these
    // wait (within the limit) for the expected state and return the last one seen.
    static HWND WaitForFocus(HWND window, HWND expected, DWORD timeoutMs = 5000);

    // Real input through the X server: gives window the focus, then sends the xdotool
    // actions (such as "key Tab" or "type --delay 20 text"); false when xdotool failed.
    bool Keys(const char* file, int line, HWND window, const std::string& actions);
    // Saves the whole screen as NRTEST_SHOTS\<name>.png once window has been drawn.
    bool Screenshot(const char* file, int line, HWND window, const std::string& name);
    // Runs a Unix shell command beside the prefix (it shares the session's environment);
    // its exit status, or -1 (and a failure) when it could not be run or did not end.
    int RunUnix(const char* file, int line, const std::string& command, DWORD timeoutMs = 20000);
    // Where a Windows path lives in the Unix file system.
    static std::string UnixPath(const std::string& windowsPath);

    // What Wine's process channel (WINEDEBUG=warn+process, set in the run's environment)
    // wrote to the driver's standard error since MarkLog().
    void MarkLog();
    std::string LogSinceMark() const;

protected:
    // Where the next run's tool writes its record: In(stem + N + ".txt").
    std::string NextRecordPath(const std::string& stem) const;

private:
    std::string scratch_;
    std::string program_;
    std::string caseProgramDir_;  // what "@p" stands for
    std::vector<std::unique_ptr<ProgramRun>> runs_;
    long long logMark_ = -1;
    int unixRuns_ = 0;
};

// The driver's environment with the overrides (UTF-8) applied, as a Unicode block for
// CreateProcessW (NAME=value entries, sorted by name without regard to case).
std::vector<wchar_t> EnvironmentBlock(const EnvSet& set);
// Waits, within the limit, until no process of the job is running; what the job counted.
JOBOBJECT_BASIC_ACCOUNTING_INFORMATION WaitForJobToEmpty(HANDLE job, DWORD timeoutMs);

// What a command run by the platform's command interpreter printed, and its exit code.
struct CmdResult {
    DWORD ExitCode = NoExitCode;
    std::string Output;  // standard output and standard error together
};
// Runs cmd /c "command" with the driver's environment and env applied (a value set, nullopt
// removed), its output to outPath; everything it starts ends with it.
CmdResult RunCmd(const char* file, int line, const std::string& command, const std::string& outPath,
                 const std::map<std::string, std::optional<std::string>>& env = {});

// The value of a variable in what `set` printed, or "(unset)".
std::string Variable(const std::string& setOutput, const std::string& name);
