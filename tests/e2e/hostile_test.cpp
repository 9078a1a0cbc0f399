// Hostile input on the real program: every case ends with 0, 1 or 2, never with a crash, and
// writes nothing it should not.
#include <string>
#include <vector>

#include "e2e_support.h"

namespace {

struct Outcome {
    DWORD ExitCode = 0;
    bool Prompted = false;
    std::string Prompt;
    bool Boxed = false;
    std::string Crash;  // what Wine said of an unhandled exception, if anything
};

class HostileTest : public E2eTest {
protected:
    void SetUp() override
    {
        E2eTest::SetUp();
        program_ = InstallProgram(In("prog"));
        MakeDir(In("cwd"));
        SetEnvironmentVariableA("PATH", "C:\\windows\\system32;C:\\windows");
    }
    void TearDown() override
    {
        SetEnvironmentVariableA("PATH", "C:\\windows\\system32;C:\\windows");
        E2eTest::TearDown();
    }

    // Runs the program; a dialog or box that it shows is read and cancelled.
    Outcome Attempt(const std::string& tail, const std::string& typed = std::string())
    {
        WatchProcessCreation();
        HANDLE process = nullptr;
        RunResult started = Start(program_, tail, In("cwd"), 0, &process);
        Outcome outcome;
        for (int i = 0; i < 100; ++i) {
            if (WaitForSingleObject(process, 100) == WAIT_OBJECT_0)
                break;
            HWND window = WaitForWindow(started.ProcessId, "#32770", 0);
            if (window == nullptr)
                continue;
            if (GetDlgItem(window, 1000) != nullptr) {
                outcome.Prompted = true;
                outcome.Prompt = ItemText(window, 1001);
                if (!typed.empty()) {
                    SendMessageA(GetDlgItem(window, 1000), WM_SETTEXT, 0,
                                 reinterpret_cast<LPARAM>(typed.c_str()));
                    SendMessageTimeoutA(window, WM_COMMAND, IDOK, 0, SMTO_NORMAL, 300, nullptr);
                    HWND box = nullptr;
                    for (int j = 0; j < 40 && box == nullptr; ++j) {
                        Sleep(50);
                        box = FindOwnedBox(started.ProcessId, window);
                    }
                    outcome.Boxed = box != nullptr;
                    if (box != nullptr)
                        PostMessageA(box, WM_COMMAND, IDOK, 0);
                    Sleep(200);
                }
                PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
            } else {
                outcome.Boxed = true;
                PostMessageA(window, WM_COMMAND, IDOK, 0);
            }
        }
        outcome.ExitCode = Finish(process).ExitCode;
        std::string log = ProcessCreationLog();
        for (const char* sign : {"Unhandled exception", "err:seh", "wine: Unhandled", "Backtrace"})
            if (log.find(sign) != std::string::npos)
                outcome.Crash = log;
        return outcome;
    }

    static HWND FindOwnedBox(DWORD pid, HWND dialog)
    {
        HWND found = nullptr;
        for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == pid && w != dialog && GetWindow(w, GW_OWNER) == dialog &&
                IsWindowVisible(w))
                found = w;
        }
        return found;
    }

    static void ExpectSound(const Outcome& outcome)
    {
        EXPECT_TRUE(outcome.ExitCode <= 2) << "exit code " << outcome.ExitCode;
        EXPECT_EQ("", outcome.Crash);
    }

private:
    std::string program_;
};

TEST_F(HostileTest, TokensOfSeveralThousandBytesAreRefused)
{
    CreateKey(LocatorKey);
    const std::string huge(5000, 'h');
    const std::vector<std::string> tails = {
        huge + " t c o", "n " + huge + " c o", "n t " + huge + " o", "n t c " + huge,
        huge, "\"" + huge,
    };
    for (const std::string& tail : tails) {
        SCOPED_TRACE(tail.substr(0, 12));
        Outcome outcome = Attempt(tail);
        ExpectSound(outcome);
        EXPECT_EQ(2u, outcome.ExitCode);
        EXPECT_TRUE(outcome.Boxed);
        EXPECT_FALSE(outcome.Prompted);
        EXPECT_TRUE(NoRecordWithin(300));
    }
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, LocatorKey, 0, KEY_READ, &key));
    DWORD values = 99;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    EXPECT_EQ(0u, values);
}

TEST_F(HostileTest, ConversionsBeyondTheFourTextsYieldNothingOrThemselves)
{
    WriteFileText(In("cwd\\run.dll"), "");
    SetString(LocatorKey, "run.dll", In("cwd"));
    struct Row {
        const char* Token;
        std::string Expected;
    };
    const std::string p = In("cwd") + "\\run.dll", d = In("cwd") + "\\";
    const Row rows[] = {
        {"tool.exe_$s$s$s$s$s$s$s$s$s$s", "tool.exe " + p + d + d + d},
        {"tool.exe_$d_$x_$p_$n_$c_$ls_$S_$", "tool.exe %d %x %p %n %c %ls %S %"},
        {"tool.exe_$$s_$$$s", "tool.exe %s %" + p},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Token);
        Outcome outcome = Attempt(std::string("run.dll T ") + row.Token);
        ExpectSound(outcome);
        EXPECT_EQ(0u, outcome.ExitCode);
        Record record;
        ASSERT_TRUE(WaitForRecord(&record));
        EXPECT_EQ(row.Expected, record["cmdline"]);
    }
}

TEST_F(HostileTest, RegistryValuesOfEveryShape)
{
    // The location is a directory of 517 bytes (519 with its terminator) that holds nothing;
    // a usable value therefore prompts, an unusable one falls back to the current directory.
    const std::string l518 = "C:\\" + std::string(515, 'x');
    const std::string l519 = l518 + "y";
    const std::string l520 = l519 + "z";
    const std::string z(1, '\0');
    struct Row {
        const char* Name;
        DWORD Type;
        std::string Data;
        bool Usable;
    };
    const Row rows[] = {
        {"519 bytes", REG_SZ, l518 + z, true},
        {"520 bytes", REG_SZ, l519 + z, true},
        {"521 bytes", REG_SZ, l520 + z, false},
        {"binary", REG_BINARY, In("cwd") + z, false},
        {"multi string", REG_MULTI_SZ, In("cwd") + z + z, false},
        {"dword", REG_DWORD, std::string("\1\0\0\0", 4), false},
        {"empty string", REG_SZ, "", true},
        {"empty binary", REG_BINARY, "", false},
    };
    WriteFileText(In("cwd\\run.dll"), "");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        RemoveProductKeys();
        CreateKey(LocatorKey);
        SetValue(LocatorKey, "run.dll", row.Type, row.Data);
        Outcome outcome = Attempt("run.dll T tool.exe_$s");
        ExpectSound(outcome);
        RegValue after = GetValue(LocatorKey, "run.dll");
        if (row.Usable) {
            EXPECT_TRUE(outcome.Prompted);
            EXPECT_EQ(2u, outcome.ExitCode);
            EXPECT_EQ(row.Type, after.Type);
            EXPECT_EQ(row.Data, after.Data);
        } else {
            EXPECT_FALSE(outcome.Prompted);
            EXPECT_EQ(0u, outcome.ExitCode);
            EXPECT_EQ(static_cast<DWORD>(REG_SZ), after.Type);
            EXPECT_EQ(In("cwd") + z, after.Data);
        }
    }
}

TEST_F(HostileTest, MediaValueOfTwoBytesCountsAsCdRom)
{
    CreateKey(LocatorKey);
    SetValue(LocatorKey, "media", REG_DWORD, std::string("\2\0", 2));
    SetString(LocatorKey, "run.dll", In("gone"));
    Outcome outcome = Attempt("run.dll T tool.exe_$s");
    ExpectSound(outcome);
    EXPECT_EQ(2u, outcome.ExitCode);
    EXPECT_EQ(0u, outcome.Prompt.find("Please insert the CD-ROM")) << outcome.Prompt;
}

TEST_F(HostileTest, TypedLocationOf600BytesIsRefusedAndTheDialogStaysOpen)
{
    CreateKey(LocatorKey);
    SetString(LocatorKey, "run.dll", In("gone"));
    Outcome outcome = Attempt("run.dll T tool.exe_$s", "C:\\" + std::string(597, 'q'));
    ExpectSound(outcome);
    EXPECT_TRUE(outcome.Boxed);
    EXPECT_EQ(2u, outcome.ExitCode);
    EXPECT_EQ(In("gone"), GetValue(LocatorKey, "run.dll").Text());
}

TEST_F(HostileTest, HugePathAndUnmappedDriveAreQuiet)
{
    CreateKey(LocatorKey);
    SetString(LocatorKey, "run.dll", "Q:\\nothing\\here");
    std::string path = "C:\\windows";
    while (path.size() < 30000)
        path += ";C:\\p";
    SetEnvironmentVariableA("PATH", path.c_str());
    Outcome outcome = Attempt("run.dll T tool.exe_$s S");
    ExpectSound(outcome);
    EXPECT_TRUE(outcome.Prompted);  // the empty drive was probed without a box of its own
    EXPECT_EQ(2u, outcome.ExitCode);
    EXPECT_EQ("Q:\\nothing\\here", GetValue(LocatorKey, "run.dll").Text());
}

TEST_F(HostileTest, UnwritableProgramDirectoryInScriptMode)
{
    // Wine running as root writes into read-only directories, so the program directory is
    // made unwritable for the batch file by a directory standing where its new copy goes.
    WriteFileText(In("cwd\\devshl.dll"), "");
    CreateKey(LocatorKey);
    MakeDir(In("prog\\NRVARCD.BAT.new"));
    Outcome outcome = Attempt("devshl.dll T x P");
    ExpectSound(outcome);
    EXPECT_EQ(1u, outcome.ExitCode);
    EXPECT_FALSE(Exists(In("prog\\NRVARCD.BAT")));
    EXPECT_EQ(In("cwd"), GetValue(LocatorKey, "devshl.dll").Text());
}

}  // namespace
