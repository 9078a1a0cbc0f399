// Driving the program's location dialog and its open-file dialog from outside: finding
// them, reading and setting their controls, real keystrokes and screenshots through the
// X display that Wine draws on.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "e2e_support.h"

// A helper's failure names the test's line: GCC evaluates __builtin_FILE() and
// __builtin_LINE() in a default argument where the call is written.

// The title of the default run, which every prompt below names.
constexpr const char* DefaultTitle = "Duzudiziv Eraziz DLL Files";

// Ids of the open-file dialog's controls, as the platform's templates give them.
constexpr int OpenFileNameField = 1148;
constexpr int OpenFileTypeField = 1136;

class DialogFixture : public E2eTest {
protected:
    void SetUp() override;
    void TearDown() override;

    const std::string& Program() const { return program_; }
    std::string Media() const { return In("media"); }
    std::string Cwd() const { return In("cwd"); }
    // Drive D:, a scratch folder of this run, for locations at a drive's root.
    static std::string DriveD() { return Env("NRTEST_DRIVE_D"); }

    // Starts the program with the tail in Cwd() and waits for its location dialog; null
    // (and a failure) when none shows. TearDown ends a program still running.
    HWND OpenDialog(const std::string& tail, const char* file = __builtin_FILE(),
                    int line = __builtin_LINE());
    // The program's exit code once it ends; 0xFFFFFFFF (and a failure) when it does not.
    DWORD ExitCode(const char* file = __builtin_FILE(), int line = __builtin_LINE());
    DWORD ProgramId() const { return pid_; }

    // A visible dialog-class window of the program owned by owner, or null after the wait.
    HWND WaitForOwned(HWND owner, DWORD timeoutMs = 15000) const;
    // True when window is gone (or hidden) within the wait.
    static bool WaitUntilGone(HWND window, DWORD timeoutMs = 10000);
    // The window that holds the keyboard focus in window's thread.
    static HWND FocusOf(HWND window);
    // Keystrokes reach the program's thread a little after xdotool has sent them, so these
    // wait (within the limit) for the expected state and return the last one seen.
    static HWND WaitForFocus(HWND window, HWND expected, DWORD timeoutMs = 5000);
    static std::string WaitForItemText(HWND dialog, int id, const std::string& expected,
                                       DWORD timeoutMs = 5000);
    // The visible children of class className, in z order.
    static std::vector<HWND> VisibleChildren(HWND parent, const char* className);
    // The text of the first child of class className that has any.
    static std::string ChildText(HWND parent, const char* className);
    static HWND FindChild(HWND parent, const char* className);
    static void SetItem(HWND dialog, int id, const std::string& text);
    static RECT WindowRect(HWND window);

    // Real input through the X server: gives window the focus, then sends the xdotool
    // actions (such as "key Tab" or "type --delay 20 text"); false when xdotool failed.
    bool Keys(HWND window, const std::string& actions, const char* file = __builtin_FILE(),
              int line = __builtin_LINE());
    // Saves the whole screen as NRTEST_SHOTS\<name>.png once window has been drawn.
    bool Screenshot(HWND window, const std::string& name, const char* file = __builtin_FILE(),
                    int line = __builtin_LINE());

    // Runs a command line of /bin/sh, outside Wine, and waits for it; its exit status, or -1
    // when it did not end within the wait.
    int RunUnix(const std::string& command, DWORD timeoutMs = 20000);
    // Where a Windows path lives in the Unix file system, for the Unix side's commands.
    static std::string UnixPath(const std::string& windowsPath);

private:
    std::string program_;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    int unixRuns_ = 0;
};
