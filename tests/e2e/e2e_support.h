// What every end-to-end test needs: a scratch tree with the program and the recorder in
// it, the product's registry keys, running the real program and reading what it left.
#pragma once
#include <windows.h>

#include <map>
#include <string>

#include <gtest/gtest.h>

constexpr const char* ProductKey = "SOFTWARE\\HalvardWorks\\Marlinth\\6.6";
constexpr const char* LocatorKey = "SOFTWARE\\HalvardWorks\\Marlinth\\6.6\\nrcdrom";

// A value as the registry holds it; Present is false when there is none.
struct RegValue {
    bool Present = false;
    DWORD Type = 0;
    std::string Data;
    std::string Text() const;  // Data without its terminator
};

struct RunResult {
    DWORD ExitCode = 0;
    bool TimedOut = false;
    DWORD ProcessId = 0;
};

// The recorder's notes: cmdline, path, cwd, errormode.
using Record = std::map<std::string, std::string>;

class E2eTest : public ::testing::Test {
public:
    void SetUp() override;
    void TearDown() override;

    // C:\nrtest\<test name>, made empty for each test.
    const std::string& Scratch() const { return scratch_; }
    std::string In(const std::string& relative) const { return scratch_ + "\\" + relative; }

    // Copies the program (and the recorder as diriz.exe and tool.exe) into dir.
    std::string InstallProgram(const std::string& dir);
    static void MakeDir(const std::string& path);
    static void WriteFileText(const std::string& path, const std::string& content);
    static std::string ReadFileText(const std::string& path, bool* exists = nullptr);
    static bool Exists(const std::string& path);

    static void CreateKey(const char* path);
    static void SetValue(const char* key, const std::string& name, DWORD type,
                         const std::string& data);
    static void SetString(const char* key, const std::string& name, const std::string& text);
    static void SetDword(const char* key, const std::string& name, DWORD value);
    static RegValue GetValue(const char* key, const std::string& name);
    static void RemoveProductKeys();

    // Starts program with the tail in cwd; the recorder writes to RecordPath().
    RunResult Start(const std::string& program, const std::string& tail, const std::string& cwd,
                    DWORD timeoutMs = 30000, HANDLE* process = nullptr);
    RunResult Finish(HANDLE process, DWORD timeoutMs = 30000);
    RunResult Run(const std::string& program, const std::string& tail, const std::string& cwd,
                  DWORD timeoutMs = 30000);

    std::string RecordPath() const { return In("record.txt"); }
    // Waits for the started tool's notes; false when none came.
    bool WaitForRecord(Record* record, DWORD timeoutMs = 15000);
    // True when no tool writes notes within the wait.
    bool NoRecordWithin(DWORD timeoutMs = 1500);

    static std::string Env(const char* name);

    // The first visible top-level window of class className that process pid owns, or null
    // when none shows within the wait.
    static HWND WaitForWindow(DWORD pid, const char* className, DWORD timeoutMs = 15000);
    static std::string WindowText(HWND window);
    static std::string ItemText(HWND dialog, int id);

    // What Wine's process channel said while the last Start ran (WINEDEBUG=warn+process).
    void WatchProcessCreation();
    std::string ProcessCreationLog() const;

private:
    long long stderrMark_ = -1;

    std::string scratch_;
};
