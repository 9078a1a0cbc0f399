// The fixture's helpers: plain Win32 calls, run inside the group's Wine prefix, and Unix
// commands (xdotool, ImageMagick) that Wine starts for us when asked to run a Unix
// executable.
#include "e2e_support.h"

#include <cstdlib>

std::string RegValue::Text() const
{
    std::string s = Data;
    while (!s.empty() && s.back() == '\0')
        s.pop_back();
    return s;
}

std::string E2eTest::Env(const char* name)
{
    static char buffer[32768];
    DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return n == 0 || n >= sizeof buffer ? std::string() : std::string(buffer, n);
}

std::string E2eTest::SystemReason(DWORD code)
{
    char text[1024] = "";
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, text, sizeof text, nullptr);
    std::string reason(text, n);
    while (!reason.empty() &&
           (reason.back() == ' ' || reason.back() == '\r' || reason.back() == '\n'))
        reason.pop_back();
    return reason;
}

namespace {

// Deletes what path holds, and path itself unless keepRoot.
void RemoveTree(const std::string& path, bool keepRoot = false)
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
    if (!keepRoot)
        RemoveDirectoryA(path.c_str());
}

std::string Upper(std::string text)
{
    if (!text.empty())
        CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// The driver's environment with the overrides applied, as a block for CreateProcess
// (NAME=value entries, sorted by name without regard to case, ending in an empty one).
// Waits, within the limit, until no process of the job is running; what the job counted.
JOBOBJECT_BASIC_ACCOUNTING_INFORMATION WaitForJobToEmpty(HANDLE job, DWORD timeoutMs)
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    for (DWORD waited = 0;; waited += 20) {
        QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting,
                                  sizeof accounting, nullptr);
        if (accounting.ActiveProcesses == 0 || waited >= timeoutMs)
            return accounting;
        Sleep(20);
    }
}

std::vector<char> EnvironmentBlock(const std::map<std::string, std::optional<std::string>>& set)
{
    std::map<std::string, std::string> entries;  // upper-case name -> entry
    char* strings = GetEnvironmentStringsA();
    for (const char* p = strings; *p != '\0'; p += lstrlenA(p) + 1) {
        std::string entry = p;
        size_t eq = entry.find('=', 1);  // "=C:=C:\..." names the current directory of C:
        entries[Upper(entry.substr(0, eq))] = entry;
    }
    FreeEnvironmentStringsA(strings);
    for (const auto& variable : set) {
        if (variable.second)
            entries[Upper(variable.first)] = variable.first + "=" + *variable.second;
        else
            entries.erase(Upper(variable.first));
    }
    std::vector<char> block;
    for (const auto& entry : entries) {
        block.insert(block.end(), entry.second.begin(), entry.second.end());
        block.push_back('\0');
    }
    block.push_back('\0');
    return block;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The scratch folder and the install

void E2eTest::SetUp()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    scratch_ = std::string("C:\\nrtest\\") + info->test_suite_name() + "." + info->name();
    for (char& c : scratch_)
        if (c == '/')
            c = '_';
    RemoveTree(scratch_);
    RemoveTree(DriveD(), true);
    RemoveProductKeys();
    ASSERT_TRUE(MakeDir(HERE, scratch_));
    ASSERT_TRUE(MakeDir(HERE, Media()));
    ASSERT_TRUE(MakeDir(HERE, Cwd()));
    program_ = InstallProgram(HERE, In("prog"));
}

void E2eTest::TearDown()
{
    for (const auto& run : runs_) {
        if (run->Job != nullptr) {
            TerminateJobObject(run->Job, 99);
            CloseHandle(run->Job);
        }
        if (run->Process != nullptr) {
            WaitForSingleObject(run->Process, 5000);
            CloseHandle(run->Process);
        }
    }
    runs_.clear();
    RemoveProductKeys();
    // An empty name would be the root of the current drive, which Wine maps to the Unix root.
    if (Env("NRTEST_KEEP") != "1" && !scratch_.empty()) {
        RemoveTree(scratch_);
        if (!DriveD().empty())
            RemoveTree(DriveD(), true);
    }
}

std::string E2eTest::InstallProgram(const char* file, int line, const std::string& dir)
{
    if (!MakeDir(file, line, dir))
        return std::string();
    std::string program = dir + "\\nrcdrom.exe";
    const std::pair<std::string, std::string> copies[] = {
        {Env("NRTEST_PROGRAM"), program},
        {Env("NRTEST_RECORDER"), dir + "\\diriz.exe"},
        {Env("NRTEST_RECORDER"), dir + "\\tool.exe"},
    };
    for (const auto& copy : copies)
        if (!CopyFileA(copy.first.c_str(), copy.second.c_str(), FALSE))
            ADD_FAILURE_AT(file, line) << "cannot copy " << copy.first << " to " << copy.second
                                       << " (error " << GetLastError() << ")";
    return program;
}

bool E2eTest::MakeDir(const char* file, int line, const std::string& path)
{
    for (size_t i = 3; i < path.size(); ++i)
        if (path[i] == '\\' || path[i] == '/')
            CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ADD_FAILURE_AT(file, line) << "cannot make the directory " << path;
        return false;
    }
    return true;
}

bool E2eTest::WriteFileText(const char* file, int line, const std::string& path,
                            const std::string& content)
{
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (handle != INVALID_HANDLE_VALUE) {
        WriteFile(handle, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(handle);
    }
    if (handle == INVALID_HANDLE_VALUE || written != content.size()) {
        ADD_FAILURE_AT(file, line) << "cannot write " << path;
        return false;
    }
    return true;
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

// ---------------------------------------------------------------------------------------
// Registry

bool E2eTest::CreateKey(const char* file, int line, const char* path)
{
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr);
    if (rc != ERROR_SUCCESS) {
        ADD_FAILURE_AT(file, line) << "cannot create " << path << " (error " << rc << ")";
        return false;
    }
    RegCloseKey(key);
    return true;
}

bool E2eTest::SetValue(const char* file, int line, const std::string& name, DWORD type,
                       const std::string& data)
{
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, LocatorKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr);
    if (rc == ERROR_SUCCESS) {
        rc = RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                            static_cast<DWORD>(data.size()));
        RegCloseKey(key);
    }
    if (rc != ERROR_SUCCESS) {
        ADD_FAILURE_AT(file, line) << "cannot set " << name << " (error " << rc << ")";
        return false;
    }
    return true;
}

bool E2eTest::SetString(const char* file, int line, const std::string& name,
                        const std::string& text)
{
    return SetValue(file, line, name, REG_SZ, text + std::string(1, '\0'));
}

bool E2eTest::SetDword(const char* file, int line, const std::string& name, DWORD value)
{
    return SetValue(file, line, name, REG_DWORD,
                    std::string(reinterpret_cast<const char*>(&value), 4));
}

RegValue E2eTest::GetValue(const std::string& name)
{
    RegValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, LocatorKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
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

bool E2eTest::KeyExists(const char* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void E2eTest::RemoveProductKeys()
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, LocatorKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, ProductKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\HalvardWorks\\Marlinth");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\HalvardWorks");
}

// ---------------------------------------------------------------------------------------
// Runs

ProgramRun* E2eTest::Start(const char* file, int line, const std::string& tail,
                           const RunOptions& options)
{
    const std::string program = options.Program.empty() ? program_ : options.Program;
    const std::string cwd = options.Cwd.empty() ? Cwd() : options.Cwd;
    runs_.push_back(std::make_unique<ProgramRun>());
    ProgramRun* run = runs_.back().get();
    run->RecordPath = In("record" + std::to_string(runs_.size()) + ".txt");

    std::map<std::string, std::optional<std::string>> env = {{"PATH", std::string(SystemPath)},
                                                             {"NRTEST_RECORD", run->RecordPath}};
    for (const auto& variable : options.Env)
        env[variable.first] = variable.second;
    std::vector<char> block = EnvironmentBlock(env);

    std::string text = "\"" + program + "\"" + (tail.empty() ? "" : " " + tail);
    std::vector<char> commandLine(text.begin(), text.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (options.StdErr != nullptr) {
        SetHandleInformation(options.StdErr, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = options.StdErr;
    }
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr,
                        options.StdErr != nullptr, CREATE_SUSPENDED, block.data(), cwd.c_str(),
                        &startup, &info)) {
        ADD_FAILURE_AT(file, line)
            << "cannot start " << program << " (error " << GetLastError() << ")";
        runs_.pop_back();
        return nullptr;
    }
    run->Process = info.hProcess;
    run->Pid = info.dwProcessId;
    run->Job = CreateJobObjectA(nullptr, nullptr);
    if (run->Job == nullptr || !AssignProcessToJobObject(run->Job, info.hProcess))
        ADD_FAILURE_AT(file, line) << "cannot hold the run in a job (error " << GetLastError()
                                   << "); its processes will not be counted";
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    return run;
}

Outcome E2eTest::Finish(const char* file, int line, ProgramRun* run, DWORD timeoutMs)
{
    Outcome outcome;
    if (run == nullptr || run->Finished) {
        ADD_FAILURE_AT(file, line) << "no run to finish";
        return outcome;
    }
    run->Finished = true;
    if (WaitForSingleObject(run->Process, timeoutMs) != WAIT_OBJECT_0) {
        ADD_FAILURE_AT(file, line) << "the program did not end within " << timeoutMs << " ms";
        TerminateJobObject(run->Job, 99);
        WaitForSingleObject(run->Process, 5000);
        return outcome;
    }
    GetExitCodeProcess(run->Process, &outcome.ExitCode);
    // A process the program starts joins its job as it is created, so the count is whole
    // once the program has ended; the wait is for a started tool to finish its record.
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = WaitForJobToEmpty(run->Job, timeoutMs);
    if (accounting.ActiveProcesses != 0) {
        ADD_FAILURE_AT(file, line)
            << accounting.ActiveProcesses << " processes of the run still running after "
            << timeoutMs << " ms";
        TerminateJobObject(run->Job, 99);
    }
    outcome.Processes = accounting.TotalProcesses;
    if (outcome.Processes < 2)
        return outcome;
    bool exists = false;
    std::string text;
    for (DWORD waited = 0; !exists && waited <= 5000; waited += 50) {
        text = ReadFileText(run->RecordPath, &exists);
        if (!exists)
            Sleep(50);
    }
    if (!exists) {
        // Not a failure of its own: a test that expects a tool checks what it recorded.
        return outcome;
    }
    outcome.Tool = ParseRecord(text);
    return outcome;
}

Record E2eTest::ParseRecord(const std::string& text)
{
    Record record;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string entry = text.substr(start, end - start);
        size_t eq = entry.find('=');
        if (eq != std::string::npos)
            record[entry.substr(0, eq)] = entry.substr(eq + 1);
        start = end + 1;
    }
    return record;
}

Record E2eTest::ReadRecord(const std::string& path)
{
    return ParseRecord(ReadFileText(path));
}

std::string E2eTest::Examples()
{
    std::string path = "Z:" + Env("NRTEST_SOURCE") + "/examples";
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

Outcome E2eTest::Run(const char* file, int line, const std::string& tail, const RunOptions& options)
{
    ProgramRun* run = Start(file, line, tail, options);
    return run != nullptr ? Finish(file, line, run) : Outcome();
}

std::vector<ProgramRun*> E2eTest::StartMany(const char* file, int line, int count,
                                            const std::string& tail, const RunOptions& options)
{
    std::vector<ProgramRun*> runs;
    for (int i = 0; i < count; ++i)
        runs.push_back(Start(file, line, tail, options));
    return runs;
}

std::vector<Outcome> E2eTest::FinishAll(const char* file, int line,
                                        const std::vector<ProgramRun*>& runs)
{
    std::vector<Outcome> outcomes;
    for (ProgramRun* run : runs)
        outcomes.push_back(run != nullptr ? Finish(file, line, run) : Outcome());
    return outcomes;
}

// ---------------------------------------------------------------------------------------
// Windows

namespace {

struct WindowSearch {
    DWORD Pid;
    HWND Owner;
    const char* ClassName;
    const char* Caption;
    HWND Found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (pid == search->Pid && IsWindowVisible(window) &&
        GetWindow(window, GW_OWNER) == search->Owner && lstrcmpA(name, search->ClassName) == 0 &&
        (search->Caption == nullptr || E2eTest::WindowText(window) == search->Caption)) {
        search->Found = window;
        return FALSE;
    }
    return TRUE;
}

struct ChildSearch {
    const char* ClassName;
    bool NeedText;
    HWND Found;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<ChildSearch*>(param);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, search->ClassName) != 0)
        return TRUE;
    if (search->NeedText && GetWindowTextLengthA(window) == 0)
        return TRUE;
    search->Found = window;
    return FALSE;
}

long long FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

HWND E2eTest::WaitForWindow(const char* file, int line, const ProgramRun* run, HWND owner,
                            const char* className, const char* caption, DWORD timeoutMs)
{
    if (run == nullptr) {
        ADD_FAILURE_AT(file, line) << "no run to look at";
        return nullptr;
    }
    for (DWORD waited = 0; waited <= timeoutMs; waited += 50) {
        WindowSearch search{run->Pid, owner, className, caption, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.Found != nullptr) {
            Settle(search.Found);
            return search.Found;
        }
        if (WaitForSingleObject(run->Process, 50) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(run->Process, &code);
            ADD_FAILURE_AT(file, line) << "the program ended with " << code << " before a "
                                       << className << " window " << (caption ? caption : "");
            return nullptr;
        }
    }
    ADD_FAILURE_AT(file, line) << "no " << className << " window " << (caption ? caption : "")
                               << " within " << timeoutMs << " ms";
    return nullptr;
}

bool E2eTest::WaitUntilGone(HWND window, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited <= timeoutMs; waited += 50) {
        if (!IsWindow(window) || !IsWindowVisible(window))
            return true;
        Sleep(50);
    }
    return false;
}

std::string E2eTest::WindowText(HWND window)
{
    char text[2048] = "";
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_NORMAL, MessageWaitMs, nullptr);
    return text;
}

std::string E2eTest::ItemText(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

void E2eTest::SetItem(HWND dialog, int id, const std::string& text)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, id), WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, MessageWaitMs,
                        &result);
}

std::string E2eTest::ChildText(HWND parent, const char* className)
{
    ChildSearch search{className, true, nullptr};
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.Found != nullptr ? WindowText(search.Found) : std::string();
}

HWND E2eTest::FindChild(HWND parent, const char* className)
{
    ChildSearch search{className, false, nullptr};
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

std::vector<HWND> E2eTest::VisibleChildren(HWND parent, const char* className)
{
    std::vector<HWND> found;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = "";
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, className) == 0 && IsWindowVisible(child))
            found.push_back(child);
    }
    return found;
}

RECT E2eTest::WindowRect(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

void E2eTest::Settle(HWND window)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, MessageWaitMs, &result);
}

HWND E2eTest::FocusOf(HWND window)
{
    Settle(window);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

HWND E2eTest::WaitForFocus(HWND window, HWND expected, DWORD timeoutMs)
{
    HWND focus = FocusOf(window);
    for (DWORD waited = 0; focus != expected && waited < timeoutMs; waited += 50) {
        Sleep(50);
        focus = FocusOf(window);
    }
    return focus;
}

std::string E2eTest::WaitForItemText(HWND dialog, int id, const std::string& expected,
                                     DWORD timeoutMs)
{
    std::string text = ItemText(dialog, id);
    for (DWORD waited = 0; text != expected && waited < timeoutMs; waited += 50) {
        Sleep(50);
        text = ItemText(dialog, id);
    }
    return text;
}

// ---------------------------------------------------------------------------------------
// The Unix side: keystrokes and screenshots

std::string E2eTest::UnixPath(const std::string& windowsPath)
{
    using Fn = char*(CDECL*)(LPCWSTR);
    static Fn toUnix = reinterpret_cast<Fn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (toUnix == nullptr)
        return std::string();
    std::vector<wchar_t> wide(windowsPath.size() + 1);
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide.data(),
                        static_cast<int>(wide.size()));
    char* unixName = toUnix(wide.data());
    if (unixName == nullptr)
        return std::string();
    std::string result = unixName;
    HeapFree(GetProcessHeap(), 0, unixName);
    return result;
}

// Wine starts a Unix executable but hands back no process to wait for, so the command
// leaves its status in a file, written whole by a rename, and the driver waits for that.
int E2eTest::RunUnix(const char* file, int line, const std::string& command, DWORD timeoutMs)
{
    std::string base = In("unix" + std::to_string(++unixRuns_));
    std::string done = base + ".done";
    std::string unixBase = UnixPath(base);
    if (unixBase.empty()) {
        ADD_FAILURE_AT(file, line) << "no Unix path for " << base;
        return -1;
    }
    std::string text = "Z:\\bin\\sh -c \"(" + command + ") >'" + unixBase +
                       ".log' 2>&1; echo $? >'" + unixBase + ".part'; mv '" + unixBase +
                       ".part' '" + unixBase + ".done'\"";
    std::vector<char> commandLine(text.begin(), text.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        ADD_FAILURE_AT(file, line) << "cannot start /bin/sh (error " << GetLastError() << ")";
        return -1;
    }
    if (info.hThread != nullptr)
        CloseHandle(info.hThread);
    if (info.hProcess != nullptr)
        CloseHandle(info.hProcess);
    for (DWORD waited = 0; waited <= timeoutMs; waited += 50) {
        bool exists = false;
        std::string status = ReadFileText(done, &exists);
        if (exists) {
            int code = atoi(status.c_str());
            if (code != 0)
                ADD_FAILURE_AT(file, line) << command << "\nended with " << code << ":\n"
                                           << ReadFileText(base + ".log");
            return code;
        }
        Sleep(50);
    }
    ADD_FAILURE_AT(file, line) << command << "\ndid not end within " << timeoutMs << " ms";
    return -1;
}

bool E2eTest::Keys(const char* file, int line, HWND window, const std::string& actions)
{
    Settle(window);
    auto xWindow = reinterpret_cast<uintptr_t>(GetPropA(window, "__wine_x11_whole_window"));
    if (xWindow == 0) {
        ADD_FAILURE_AT(file, line) << "the window has no X window";
        return false;
    }
    bool ok = RunUnix(file, line,
                      "xdotool windowfocus --sync " + std::to_string(xWindow) + " " + actions) == 0;
    Settle(window);
    return ok;
}

bool E2eTest::Screenshot(const char* file, int line, HWND window, const std::string& name)
{
    std::string dir = UnixPath(Env("NRTEST_SHOTS"));
    if (dir.empty()) {
        ADD_FAILURE_AT(file, line) << "no screenshot folder";
        return false;
    }
    // Drawing reaches the X server a little after the window's thread has painted.
    Settle(window);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    Settle(window);
    Sleep(500);
    return RunUnix(file, line, "import -window root '" + dir + "/" + name + ".png'") == 0;
}

void E2eTest::MarkLog()
{
    logMark_ = FileSize(Env("NRTEST_STDERR"));
}

std::string E2eTest::LogSinceMark() const
{
    std::string all = ReadFileText(Env("NRTEST_STDERR"));
    return logMark_ >= 0 && static_cast<size_t>(logMark_) <= all.size()
               ? all.substr(static_cast<size_t>(logMark_))
               : std::string();
}

CmdResult RunCmd(const char* file, int line, const std::string& command, const std::string& outPath,
                 const std::map<std::string, std::optional<std::string>>& env)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = out;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string text = "C:\\windows\\system32\\cmd.exe /c \"" + command + "\"";
    std::vector<char> commandLine(text.begin(), text.end());
    commandLine.push_back('\0');
    // cmd gets the driver's own environment with env applied; the driver's is put back after.
    std::map<std::string, std::optional<std::string>> before;
    for (const auto& entry : env) {
        char value[32768];
        DWORD n = GetEnvironmentVariableA(entry.first.c_str(), value, sizeof value);
        before[entry.first] =
            n != 0 && n < sizeof value ? std::optional<std::string>(value) : std::nullopt;
        SetEnvironmentVariableA(entry.first.c_str(),
                                entry.second ? entry.second->c_str() : nullptr);
    }
    // cmd and all it starts are held in a job, so that nothing outlives a run that hangs.
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    PROCESS_INFORMATION info{};
    BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                  CREATE_SUSPENDED, nullptr, nullptr, &startup, &info);
    CloseHandle(out);
    for (const auto& entry : before)
        SetEnvironmentVariableA(entry.first.c_str(),
                                entry.second ? entry.second->c_str() : nullptr);
    CmdResult result;
    if (!started) {
        ADD_FAILURE_AT(file, line) << "cannot start cmd (error " << GetLastError() << ")";
        CloseHandle(job);
        return result;
    }
    AssignProcessToJobObject(job, info.hProcess);
    ResumeThread(info.hThread);
    if (WaitForSingleObject(info.hProcess, 30000) != WAIT_OBJECT_0)
        ADD_FAILURE_AT(file, line) << "cmd did not end: " << command;
    else
        GetExitCodeProcess(info.hProcess, &result.ExitCode);
    // What cmd started without waiting for it (a tool) is let finish before the job ends.
    WaitForJobToEmpty(job, 10000);
    TerminateJobObject(job, 99);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    CloseHandle(job);
    result.Output = E2eTest::ReadFileText(outPath);
    return result;
}

std::string RunInCmd(const char* file, int line, const std::string& script,
                     const std::string& outPath, const char* os)
{
    return "\n" + RunCmd(file, line, "call \"" + script + "\" & set", outPath,
                         {{"PATH", std::string(SystemPath)},
                          {"INCLUDE", std::string("C:\\inc")},
                          {"LIB", std::nullopt},
                          {"OS", std::string(os)}})
                      .Output;
}

std::string Variable(const std::string& setOutput, const std::string& name)
{
    size_t at = setOutput.find("\n" + name + "=");
    if (at == std::string::npos)
        return "(unset)";
    size_t start = at + name.size() + 2;
    size_t end = setOutput.find_first_of("\r\n", start);
    return setOutput.substr(start, end - start);
}
