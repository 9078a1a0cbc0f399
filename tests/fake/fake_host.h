// An in-memory machine behind the host seam: paths, registry, environment, files, windows.
// Names are compared without regard to letter case, as the platform does.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "host/host.h"

// The platform's error codes that the fake reports.
constexpr uint32_t ErrorFileNotFound = 2, ErrorAccessDenied = 5, ErrorNotEnoughMemory = 8,
                   ErrorSharingViolation = 32;

struct NoCase {
    bool operator()(const std::string& a, const std::string& b) const;
};

struct FakeValue {
    uint32_t Type;
    std::string Data;   // the stored bytes, terminator included when there is one
    bool Wide = false;  // a string stored in UTF-16 (by a Unicode program) rather than in ANSI
};

struct FakeProcess {
    std::string CommandLine;
    uint32_t Flags;
    std::string Path;  // PATH as the child inherits it; "(unset)" when not set
    std::u16string PathW;
    uint32_t ErrorModeOfParent;
    // The start record's standard handles, when it passed any (then inherited).
    bool UseStdHandles = false;
    HostFile StdInput = nullptr, StdOutput = nullptr, StdError = nullptr;
    bool Suspended = false;              // until ResumeThread
    bool InJob = false;                  // the job of the program's own holds it
    bool Ended = false;                  // it was awaited, and ended with FakeHost::ToolExitCode
    int64_t JobLimitsWhileRunning = -1;  // its job's limits as it was let go; -1: no job's
};

struct FakeDrive {
    uint32_t Type;  // HostDriveCdrom and the rest
    uint32_t Serial = 0;
    std::u16string Label;   // as the volume holds it
    bool NoVolume = false;  // the drive tells no volume (no medium in it)
};

struct FakeMessageBox {
    HostWindow Owner;
    std::string Text, Caption;  // the type is the error box's, as the fake asks
};

struct FakeOpenFile {
    HostWindow Owner;
    std::string Filter;  // with its NUL bytes, up to and including the double NUL
    std::string PresetFile;
    std::string InitialDir;  // "(none)" when none is given
    std::string Title;
};

struct FakeHost {
    std::set<unsigned char> LeadBytes;  // the ANSI code page's lead bytes: none, or UseCodePage932
    // The ANSI code page and the system's OEM one (cmd's); each knows the few characters the
    // tests use, besides ASCII (see fake_host.cpp).
    uint32_t AnsiCodePage = 1252, OemCodePage = 437;
    // Short names by the long path they stand for; any other path is its own short name, as on
    // a volume without 8.3 names.
    std::map<std::u16string, std::u16string> ShortNames;
    uint32_t ProcessId = 0x1234;
    std::set<uint32_t> OtherProcesses;  // the ids of the other processes that run now
    bool HasStdError = false;           // a standard error handle, which StdError collects
    bool HasStdInput = false, HasStdOutput = false;  // handles of their own, only passed on
    // The caller's console, which AttachConsole joins: it gives the program the standard
    // handles it lacked, as console handles.
    bool ParentHasConsole = false;
    bool AttachedToConsole = false;
    // Handles a child inherits; the standard handles are not among them at first, as Wine's
    // cmd gives the copy that 2>&1 makes.
    std::set<HostFile> InheritableHandles;
    std::string StdError;
    bool StdErrorIsConsole = false;  // then the Unicode console call collects ConsoleText
    std::u16string ConsoleText;
    // Names the system gives, in ANSI; the ...W ones, when set, in Unicode instead, for names
    // the ANSI code page cannot spell.
    std::string ModuleFileName = "C:\\Suite\\BIN\\nrcdrom.exe";
    std::u16string ModuleFileNameW, CurrentDirectoryW, OpenFileChoiceW;
    std::map<int, std::u16string> DialogTextsW;
    std::map<std::u16string, std::u16string> EnvironmentW;  // names in upper case
    std::string CurrentDirectory = "C:\\Work";

    std::map<std::string, uint32_t, NoCase> Paths;  // path -> attributes
    std::map<char, FakeDrive> Drives;               // by upper-case letter
    // The calls whose order matters, as "SetErrorMode 1", "GetFileAttributes PATH",
    // "RegSetValueEx NAME", "MoveFileEx FROM TO", "CreateProcess COMMAND LINE".
    std::vector<std::string> Calls;
    uint32_t LastError = 0;
    uint32_t ErrorMode = 0;
    // Calls the test makes fail, by the platform's name of the call ("GetModuleFileName",
    // "GlobalAlloc", "CreateProcess", "CreateJobObject", "AssignProcessToJobObject",
    // "ReadFile", "WriteFile", "MoveFileEx"): the Nth call of that kind, or every one when Nth
    // is 0, fails with the error given.
    struct Failure {
        int Nth;
        uint32_t Error;
    };
    std::map<std::string, Failure> Failures;
    std::map<std::string, int> CallCounts;  // how many calls of each kind that can fail

    std::map<std::string, std::string, NoCase> Environment;
    uint32_t LastAllocSize = 0;
    int OpenBlocks = 0;
    std::vector<FakeProcess> Started;
    uint32_t ToolExitCode = 0;  // what an awaited tool ends with
    uint32_t JobLimits = 0;     // of the one job a run may make

    std::map<std::string, std::string, NoCase> Files;  // path -> content
    std::set<std::string, NoCase> LockedFiles;         // open elsewhere without sharing
    int Writes = 0;                                    // to files, counted

    // The program's own registry view, and the 64-bit view that a 64-bit system also has.
    std::map<std::string, std::map<std::string, FakeValue, NoCase>, NoCase> Keys;
    std::map<std::string, std::map<std::string, FakeValue, NoCase>, NoCase> Keys64;
    bool Is64BitSystem = false;
    std::set<std::string, NoCase> ReadOnlyKeys;  // open for reading only
    int RegistryWrites = 0;
    int OpenKeys = 0;

    std::map<int, std::string> DialogTexts;  // control id -> text
    std::string Caption;
    std::map<HostWindow, HostRect> Rects;
    struct Move {
        HostWindow Window, After;
        int X, Y;  // the size and order are kept, as the flags ask
    };
    std::vector<Move> Moves;
    std::vector<intptr_t> EndDialogResults;
    std::vector<FakeMessageBox> MessageBoxes;
    std::vector<FakeOpenFile> OpenFileRequests;
    std::string OpenFileChoice;  // the file the user picks; none, cancelled
    struct DialogRun {
        uint32_t TemplateId;
        HostWindow Owner;
        intptr_t Param;
    };
    std::vector<DialogRun> DialogRuns;
    // Plays the user's part while the dialog is open; gives the value DialogBoxParam returns.
    std::function<intptr_t(HostDialogProc)> DialogScript;
};

FakeHost& Fake();
// A call with arguments the program should never pass: the fake says which, and the test
// fails (the unit tests report it through GoogleTest; elsewhere the process aborts). The
// call then fails, but only an injected failure is a failure the program should handle.
void FakeMisuse(const std::string& call);
void SetFakeMisuseHandler(void (*handler)(const std::string& call));
void ResetFake();       // a fresh machine
void UseCodePage932();  // Japanese Shift-JIS, ANSI and OEM alike, with its lead bytes
void UseCodePages(uint32_t ansi, uint32_t oem);  // single-byte pages: 1252, 1251, 437, 850, 866

// Helpers for tests.
HostWindow FakeDialog();
HostWindow FakeDesktop();
void AddFile(const std::string& path);
void AddDirectory(const std::string& path);
void SetRegString(const std::string& key, const std::string& name, const std::string& text);
void SetRegValue(const std::string& key, const std::string& name, uint32_t type,
                 const std::string& bytes);
// "(absent)" if none; a string written in UTF-16 comes back in UTF-8.
std::string RegText(const std::string& key, const std::string& name);
void SetRegStringW(const std::string& key, const std::string& name, const std::u16string& text);
// The text that bytes in a code page the fake knows stand for.
std::u16string Decode(uint32_t codePage, const std::string& bytes);
