// Times launcher runs under Wine: each run from process creation to the launcher's exit, the
// two launchers interleaved in alternating order so that drift in the machine's load falls on
// both alike. Every run is held in a job, so the tool it starts is known to have been started
// and to have ended before the next run begins.
//   driver.exe PAIRS WARMUP OUTPUT   with the two command lines in BENCH_LAUNCHER, BENCH_BASELINE
// OUTPUT gets one line per pair: the launcher's and the baseline's time in microseconds.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

LARGE_INTEGER frequency;

std::string Env(const char* name)
{
    char buffer[4096];
    DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer) {
        std::fprintf(stderr, "%s is not set\n", name);
        std::exit(2);
    }
    return std::string(buffer, n);
}

// One run; returns its time in microseconds, or exits when the run did not go as expected.
double TimeRun(const std::string& commandLine)
{
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    std::string line = commandLine;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER begin, end;
    QueryPerformanceCounter(&begin);
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        nullptr, &startup, &process)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", commandLine.c_str(), GetLastError());
        std::exit(2);
    }
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
    if (exitCode != 0 || accounting.TotalProcesses != 2 || accounting.ActiveProcesses != 0) {
        std::fprintf(stderr, "%s: exit code %lu, %lu processes in its job, %lu still running\n",
                     commandLine.c_str(), exitCode, accounting.TotalProcesses,
                     accounting.ActiveProcesses);
        std::exit(2);
    }
    return static_cast<double>(end.QuadPart - begin.QuadPart) * 1e6 /
           static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: driver.exe PAIRS WARMUP OUTPUT\n");
        return 2;
    }
    int pairs = std::atoi(argv[1]), warmup = std::atoi(argv[2]);
    std::string launcher = Env("BENCH_LAUNCHER"), baseline = Env("BENCH_BASELINE");
    QueryPerformanceFrequency(&frequency);
    FILE* output = std::fopen(argv[3], "w");
    if (output == nullptr) {
        std::fprintf(stderr, "cannot write %s\n", argv[3]);
        return 2;
    }
    for (int i = 0; i < warmup + pairs; ++i) {
        double a, b;
        if (i % 2 == 0) {
            a = TimeRun(launcher);
            b = TimeRun(baseline);
        } else {
            b = TimeRun(baseline);
            a = TimeRun(launcher);
        }
        if (i >= warmup)
            std::fprintf(output, "%.1f %.1f\n", a, b);
    }
    std::fclose(output);
    return 0;
}
