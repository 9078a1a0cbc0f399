// The end-to-end helpers: plain Win32 calls, run inside the test's Wine prefix.
#include "e2e_support.h"

#include <vector>

std::string RegValue::Text() const
{
    std::string s = Data;
    while (!s.empty() && s.back() == '\0')
        s.pop_back();
    return s;
}

std::string E2eTest::Env(const char* name)
{
    char buffer[32768];
    DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return n == 0 || n >= sizeof buffer ? std::string() : std::string(buffer, n);
}

namespace {

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

}  // namespace

void E2eTest::SetUp()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    scratch_ = std::string("C:\\nrtest\\") + info->test_suite_name() + "." + info->name();
    for (char& c : scratch_)
        if (c == '/')
            c = '_';
    CreateDirectoryA("C:\\nrtest", nullptr);
    RemoveTree(scratch_);
    MakeDir(scratch_);
    RemoveProductKeys();
    SetEnvironmentVariableA("NRTEST_RECORD", RecordPath().c_str());
}

void E2eTest::TearDown()
{
    RemoveProductKeys();
    if (!HasFailure())
        RemoveTree(scratch_);
}

void E2eTest::MakeDir(const std::string& path)
{
    std::string partial;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || ((path[i] == '\\' || path[i] == '/') && i > 2)) {
            partial = path.substr(0, i);
            CreateDirectoryA(partial.c_str(), nullptr);
        }
    }
    ASSERT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) << path;
}

std::string E2eTest::InstallProgram(const std::string& dir)
{
    MakeDir(dir);
    std::string program = dir + "\\nrcdrom.exe";
    EXPECT_TRUE(CopyFileA(Env("NRTEST_PROGRAM").c_str(), program.c_str(), FALSE)) << program;
    EXPECT_TRUE(CopyFileA(Env("NRTEST_RECORDER").c_str(), (dir + "\\diriz.exe").c_str(), FALSE));
    EXPECT_TRUE(CopyFileA(Env("NRTEST_RECORDER").c_str(), (dir + "\\tool.exe").c_str(), FALSE));
    return program;
}

void E2eTest::WriteFileText(const std::string& path, const std::string& content)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(content.size(), written) << path;
}

std::string E2eTest::ReadFileText(const std::string& path, bool* exists)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (exists != nullptr)
        *exists = file != INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        content.append(buffer, got);
    CloseHandle(file);
    return content;
}

bool E2eTest::Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void E2eTest::CreateKey(const char* path)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr))
        << path;
    RegCloseKey(key);
}

void E2eTest::SetValue(const char* keyPath, const std::string& name, DWORD type,
                       const std::string& data)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0,
                                             KEY_SET_VALUE, nullptr, &key, nullptr))
        << keyPath;
    LONG rc = RegSetValueExA(key, name.c_str(), 0, type,
                             reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, rc) << name;
}

void E2eTest::SetString(const char* key, const std::string& name, const std::string& text)
{
    SetValue(key, name, REG_SZ, text + std::string(1, '\0'));
}

void E2eTest::SetDword(const char* key, const std::string& name, DWORD value)
{
    SetValue(key, name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), 4));
}

RegValue E2eTest::GetValue(const char* keyPath, const std::string& name)
{
    RegValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    DWORD type = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::vector<char> data(size + 1);
        if (RegQueryValueExA(key, name.c_str(), nullptr, &type,
                             reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS) {
            value.Present = true;
            value.Type = type;
            value.Data.assign(data.data(), size);
        }
    }
    RegCloseKey(key);
    return value;
}

void E2eTest::RemoveProductKeys()
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, LocatorKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, ProductKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\HalvardWorks\\Marlinth");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\HalvardWorks");
}

RunResult E2eTest::Start(const std::string& program, const std::string& tail,
                         const std::string& cwd, DWORD timeoutMs, HANDLE* process)
{
    DeleteFileA(RecordPath().c_str());
    std::string line = "\"" + program + "\"";
    if (!tail.empty())
        line += " " + tail;
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    RunResult result;
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        cwd.empty() ? nullptr : cwd.c_str(), &startup, &info)) {
        ADD_FAILURE() << "cannot start " << program << " (error " << GetLastError() << ")";
        result.ExitCode = 0xFFFFFFFF;
        return result;
    }
    CloseHandle(info.hThread);
    result.ProcessId = info.dwProcessId;
    if (process != nullptr) {
        *process = info.hProcess;
        return result;
    }
    return Finish(info.hProcess, timeoutMs);
}

RunResult E2eTest::Finish(HANDLE process, DWORD timeoutMs)
{
    RunResult result;
    result.ProcessId = GetProcessId(process);
    if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 5000);
        result.TimedOut = true;
        ADD_FAILURE() << "the program did not end within " << timeoutMs << " ms";
    }
    GetExitCodeProcess(process, &result.ExitCode);
    CloseHandle(process);
    return result;
}

RunResult E2eTest::Run(const std::string& program, const std::string& tail,
                       const std::string& cwd, DWORD timeoutMs)
{
    return Start(program, tail, cwd, timeoutMs);
}

bool E2eTest::WaitForRecord(Record* record, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited <= timeoutMs; waited += 50) {
        bool exists = false;
        std::string text = ReadFileText(RecordPath(), &exists);
        if (exists) {
            record->clear();
            size_t start = 0;
            while (start < text.size()) {
                size_t end = text.find('\n', start);
                if (end == std::string::npos)
                    end = text.size();
                std::string line = text.substr(start, end - start);
                size_t eq = line.find('=');
                if (eq != std::string::npos)
                    (*record)[line.substr(0, eq)] = line.substr(eq + 1);
                start = end + 1;
            }
            return true;
        }
        Sleep(50);
    }
    return false;
}

bool E2eTest::NoRecordWithin(DWORD timeoutMs)
{
    Sleep(timeoutMs);
    return !Exists(RecordPath());
}

namespace {

struct WindowSearch {
    DWORD Pid;
    const char* ClassName;
    HWND Found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (pid == search->Pid && IsWindowVisible(window) && lstrcmpA(name, search->ClassName) == 0) {
        search->Found = window;
        return FALSE;
    }
    return TRUE;
}

long long FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

HWND E2eTest::WaitForWindow(DWORD pid, const char* className, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited <= timeoutMs; waited += 50) {
        WindowSearch search{pid, className, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.Found != nullptr)
            return search.Found;
        Sleep(50);
    }
    return nullptr;
}

std::string E2eTest::WindowText(HWND window)
{
    char text[2048] = "";
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

std::string E2eTest::ItemText(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

void E2eTest::WatchProcessCreation()
{
    SetEnvironmentVariableA("WINEDEBUG", "-all,warn+process");
    stderrMark_ = FileSize(Env("NRTEST_STDERR"));
}

std::string E2eTest::ProcessCreationLog() const
{
    SetEnvironmentVariableA("WINEDEBUG", "-all");
    std::string all = ReadFileText(Env("NRTEST_STDERR"));
    return stderrMark_ >= 0 && static_cast<size_t>(stderrMark_) <= all.size()
               ? all.substr(static_cast<size_t>(stderrMark_))
               : std::string();
}
