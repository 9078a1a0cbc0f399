// Times launcher runs under Wine: each run from process creation to the launcher's exit, the
// runs of one round in an order that changes from round to round (every order in turn), so
// that drift in the machine's load falls on all of them alike. Every run is held in a job, so
// the tool it starts is known to have been started and to have ended before the next begins.
//   driver.exe ROUNDS WARMUP OUTPUT NAME...
// Each NAME is one run of every round, its command line in BENCH_<NAME>. A run may also have
//   BENCH_<NAME>_BEFORE  VALUE=DATA: stored as a REG_SZ under the program's key before each
//                        run, outside its timing, so that each run starts from the same state
//   BENCH_<NAME>_AFTER   VALUE=DATA: what that value must hold after each run
//   BENCH_<NAME>_PROCESSES  how many processes the run starts, itself included (default 2:
//                        the launcher and its tool)
// (split at the first =). OUTPUT gets the names on its first line, then one line per round:
// the time of each run in microseconds, in the order of the names.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char ProgramKey[] = "SOFTWARE\\HalvardWorks\\Marlinth\\6.6\\nrcdrom";

LARGE_INTEGER frequency;

[[noreturn]] void Stop(const std::string& why)
{
    std::fprintf(stderr, "%s\n", why.c_str());
    std::exit(2);
}

bool Env(const std::string& name, std::string& value)
{
    char buffer[4096];
    DWORD n = GetEnvironmentVariableA(name.c_str(), buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer)
        return false;
    value.assign(buffer, n);
    return true;
}

// A registry value of the program's key and its data, from VALUE=DATA.
struct Setting {
    std::string Value, Data;
};

bool EnvSetting(const std::string& name, Setting& setting)
{
    std::string text;
    if (!Env(name, text))
        return false;
    size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0)
        Stop(name + " is not VALUE=DATA: " + text);
    setting.Value = text.substr(0, equals);
    setting.Data = text.substr(equals + 1);
    return true;
}

struct Run {
    std::string Name, CommandLine;
    bool HasBefore = false, HasAfter = false;
    Setting Before, After;
    DWORD Processes = 2;
};

HKEY OpenProgramKey(REGSAM access)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ProgramKey, 0, access, &key) != ERROR_SUCCESS)
        Stop(std::string("cannot open HKLM\\") + ProgramKey);
    return key;
}

void Store(const Setting& setting)
{
    HKEY key = OpenProgramKey(KEY_SET_VALUE);
    LONG rc = RegSetValueExA(key, setting.Value.c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(setting.Data.c_str()),
                             static_cast<DWORD>(setting.Data.size() + 1));
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        Stop("cannot set " + setting.Value);
}

void Check(const Run& run)
{
    HKEY key = OpenProgramKey(KEY_QUERY_VALUE);
    char data[1024] = "";
    DWORD type = 0, size = sizeof data - 1;
    LONG rc = RegQueryValueExA(key, run.After.Value.c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    std::string held = rc == ERROR_SUCCESS && type == REG_SZ ? std::string(data) : "(no string)";
    if (held != run.After.Data)
        Stop(run.CommandLine + ": " + run.After.Value + " holds " + held + " after the run, not " +
             run.After.Data);
}

// One run; returns its time in microseconds, or exits when the run did not go as expected.
double TimeRun(const Run& run)
{
    if (run.HasBefore)
        Store(run.Before);
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    std::string line = run.CommandLine;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER begin, end;
    QueryPerformanceCounter(&begin);
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        nullptr, &startup, &process))
        Stop("cannot start " + run.CommandLine + " (error " + std::to_string(GetLastError()) + ")");
    AssignProcessToJobObject(job, process.hProcess);
    ResumeThread(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    QueryPerformanceCounter(&end);

    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
    for (int i = 0; i < 5000; ++i) {
        QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting,
                                  sizeof accounting, nullptr);
        if (accounting.ActiveProcesses == 0)
            break;
        Sleep(1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(job);
    if (exitCode != 0 || accounting.TotalProcesses != run.Processes ||
        accounting.ActiveProcesses != 0)
        Stop(run.CommandLine + ": exit code " + std::to_string(exitCode) + ", " +
             std::to_string(accounting.TotalProcesses) + " processes in its job, " +
             std::to_string(accounting.ActiveProcesses) + " still running");
    if (run.HasAfter)
        Check(run);
    return static_cast<double>(end.QuadPart - begin.QuadPart) * 1e6 /
           static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: driver.exe ROUNDS WARMUP OUTPUT NAME...\n");
        return 2;
    }
    int rounds = std::atoi(argv[1]), warmup = std::atoi(argv[2]);
    std::vector<Run> runs;
    for (int i = 4; i < argc; ++i) {
        Run run;
        run.Name = argv[i];
        std::string variable = "BENCH_" + run.Name;
        if (!Env(variable, run.CommandLine))
            Stop(variable + " is not set");
        run.HasBefore = EnvSetting(variable + "_BEFORE", run.Before);
        run.HasAfter = EnvSetting(variable + "_AFTER", run.After);
        std::string processes;
        if (Env(variable + "_PROCESSES", processes))
            run.Processes = static_cast<DWORD>(std::atoi(processes.c_str()));
        runs.push_back(run);
    }
    QueryPerformanceFrequency(&frequency);
    FILE* output = std::fopen(argv[3], "w");
    if (output == nullptr)
        Stop(std::string("cannot write ") + argv[3]);
    for (size_t i = 0; i < runs.size(); ++i)
        std::fprintf(output, "%s%s", i > 0 ? " " : "", runs[i].Name.c_str());
    std::fprintf(output, "\n");

    std::vector<size_t> order(runs.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::vector<double> times(runs.size());
    for (int round = 0; round < warmup + rounds; ++round) {
        for (size_t i : order)
            times[i] = TimeRun(runs[i]);
        std::next_permutation(order.begin(), order.end());
        if (round < warmup)
            continue;
        for (size_t i = 0; i < times.size(); ++i)
            std::fprintf(output, "%s%.1f", i > 0 ? " " : "", times[i]);
        std::fprintf(output, "\n");
    }
    std::fclose(output);
    return 0;
}
