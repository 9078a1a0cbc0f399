// The runs of the program, each held with everything it starts in a job of its own.
#include <sstream>

#include "e2e_support.h"

namespace {

std::wstring Upper(std::wstring text)
{
    if (!text.empty())
        CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

}  // namespace

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

std::vector<wchar_t> EnvironmentBlock(const EnvSet& set)
{
    std::map<std::wstring, std::wstring> entries;  // upper-case name -> entry
    wchar_t* strings = GetEnvironmentStringsW();
    for (const wchar_t* p = strings; *p != L'\0'; p += lstrlenW(p) + 1) {
        std::wstring entry = p;
        size_t eq = entry.find(L'=', 1);  // "=C:=C:\..." names the current directory of C:
        entries[Upper(entry.substr(0, eq))] = entry;
    }
    FreeEnvironmentStringsW(strings);
    for (const auto& variable : set) {
        if (variable.second)
            entries[Upper(Utf16(variable.first))] = Utf16(variable.first + "=" + *variable.second);
        else
            entries.erase(Upper(Utf16(variable.first)));
    }
    std::vector<wchar_t> block;
    for (const auto& entry : entries) {
        block.insert(block.end(), entry.second.begin(), entry.second.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

// ---------------------------------------------------------------------------------------
// Runs

ProgramRun* E2eTest::Start(const char* file, int line, const std::string& tail,
                           const RunOptions& options)
{
    const std::string program = options.Program.empty() ? program_ : options.Program;
    const std::string record = NextRecordPath("record");
    std::map<std::string, std::optional<std::string>> env = {{"PATH", std::string(SystemPath)},
                                                             {"NRTEST_RECORD", record}};
    for (const auto& variable : options.Env)
        env[variable.first] = variable.second;
    std::vector<wchar_t> block = EnvironmentBlock(env);

    std::wstring commandLine = Utf16("\"" + program + "\"" + (tail.empty() ? "" : " " + tail));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    bool redirected = options.Output != nullptr;
    if (redirected) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = startup.hStdError = options.Output;
        SetHandleInformation(options.Output, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    }
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(Utf16(program).c_str(), &commandLine[0], nullptr, nullptr, redirected,
                        CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT, block.data(),
                        Utf16(Cwd()).c_str(), &startup, &info)) {
        ADD_FAILURE_AT(file, line)
            << "cannot start " << program << " (error " << GetLastError() << ")";
        return nullptr;
    }
    // The run is the fixture's, in a job of its own, until TearDown.
    runs_.push_back(std::make_unique<ProgramRun>());
    ProgramRun* run = runs_.back().get();
    run->RecordPath = record;
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

std::string E2eTest::NextRecordPath(const std::string& stem) const
{
    return In(stem + std::to_string(runs_.size() + 1) + ".txt");
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
    std::istringstream lines(text);
    for (std::string entry; std::getline(lines, entry);)
        if (entry.find('=') != std::string::npos)
            record[entry.substr(0, entry.find('='))] = entry.substr(entry.find('=') + 1);
    return record;
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
