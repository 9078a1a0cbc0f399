// One whole run of the launcher over the fake host, natively, for counting its instructions:
// the target found at the remembered location and started, as in the timed run under Wine.
#include <cstdio>

#include "launch/launch_sequence.h"
#include "launch/launch_state.h"
#include "tests/fake/fake_host.h"

int main()
{
    ResetFake();
    ResetLaunchState();
    Fake().ModuleFileName = "C:\\Bench\\programs\\nrcdrom.exe";
    Fake().CurrentDirectory = "C:\\Bench";
    Fake().Environment["PATH"] = "C:\\windows\\system32;C:\\windows";
    AddDirectory("C:\\Bench\\tool");
    AddFile("C:\\Bench\\tool\\idle.exe");
    SetRegString("SOFTWARE\\HalvardWorks\\Marlinth\\6.6\\nrcdrom", "idle.exe", "C:\\Bench\\tool");

    int rc = RunLauncher(nullptr, "idle.exe Bench_Idle_Tool $s");

    bool expected = rc == 0 && Fake().DialogRuns.empty() && Fake().RegistryWrites == 0 &&
                    Fake().Started.size() == 1 &&
                    Fake().Started[0].CommandLine == "C:\\Bench\\tool\\idle.exe";
    std::printf("exit code %d, %zu started: %s\n", rc, Fake().Started.size(),
                expected ? "as expected" : "NOT as expected");
    return expected ? 0 : 1;
}
