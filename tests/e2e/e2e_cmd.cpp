// The Unix side and the platform's command interpreter: Unix commands that Wine starts, Wine's
// log, and cmd with its environment and output.
#include <cstdlib>

#include "e2e_support.h"

namespace {

long long FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

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
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = out;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::wstring commandLine = Utf16("C:\\windows\\system32\\cmd.exe /c \"" + command + "\"");
    // cmd and all it starts are held in a job, so that nothing outlives a run that hangs.
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    PROCESS_INFORMATION info{};
    // cmd gets the driver's own environment with env applied.
    std::vector<wchar_t> block = EnvironmentBlock(env);
    BOOL started = CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE,
                                  CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT, block.data(),
                                  nullptr, &startup, &info);
    CloseHandle(out);
    CmdResult result;
    if (!started) {
        ADD_FAILURE_AT(file, line) << "cannot start cmd (error " << GetLastError() << ")";
        CloseHandle(job);
        return result;
    }
    AssignProcessToJobObject(job, info.hProcess);
    ResumeThread(info.hThread);
    if (WaitForSingleObject(info.hProcess, RunWaitMs) != WAIT_OBJECT_0)
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

std::string Variable(const std::string& setOutput, const std::string& name)
{
    size_t at = setOutput.find("\n" + name + "=");
    if (at == std::string::npos)
        return "(unset)";
    size_t start = at + name.size() + 2;
    size_t end = setOutput.find_first_of("\r\n", start);
    return setOutput.substr(start, end - start);
}
