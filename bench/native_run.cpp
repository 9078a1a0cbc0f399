// One whole run of the launcher over the fake host, natively, for counting its instructions,
// as in the timed runs under Wine:
//   native_run found   the target found at the remembered location and started
//   native_run moved   the target remembered at X:\tool, X: no drive, and found on F:, the
//                      fourth drive, by its volume; E: before it holds one on another volume
#include <cstdio>
#include <cstring>

#include "run/launch_sequence.h"
#include "base/launch_state.h"
#include "tests/fake/fake_host.h"

int main(int argc, char** argv)
{
    bool moved = argc == 2 && std::strcmp(argv[1], "moved") == 0;
    if (argc != 2 || (!moved && std::strcmp(argv[1], "found") != 0)) {
        std::fprintf(stderr, "usage: native_run found|moved\n");
        return 2;
    }
    const char* key = "SOFTWARE\\HalvardWorks\\Marlinth\\6.6\\nrcdrom";
    ResetFake();
    ResetLaunchState();
    Fake().ModuleFileName = "C:\\Bench\\programs\\nrcdrom.exe";
    Fake().CurrentDirectory = "C:\\Bench";
    Fake().Environment["PATH"] = "C:\\windows\\system32;C:\\windows";
    const char* tail = "idle.exe Bench_Idle_Tool $s";
    const char* started = "C:\\Bench\\tool\\idle.exe";
    if (moved) {
        Fake().Drives['C'] = FakeDrive{HostDriveFixed, 0x43000000, u""};
        Fake().Drives['D'] = FakeDrive{HostDriveCdrom, 0x44000000, u""};
        Fake().Drives['E'] = FakeDrive{HostDriveFixed, 0x0BADF00D, u"OTHER"};
        Fake().Drives['F'] = FakeDrive{HostDriveCdrom, 0x1A2B3C4D, u"MARLINTH"};
        Fake().Drives['Z'] = FakeDrive{HostDriveFixed, 0x5A000000, u""};
        AddDirectory("E:\\tool");
        AddFile("E:\\tool\\moved.exe");
        AddDirectory("F:\\tool");
        AddFile("F:\\tool\\moved.exe");
        SetRegString(key, "moved.exe", "X:\\tool");
        SetRegString(key, "moved.exe|volume", "1A2B-3C4D MARLINTH");
        tail = "moved.exe Bench_Moved_Tool $s";
        started = "F:\\tool\\moved.exe";
    } else {
        AddDirectory("C:\\Bench\\tool");
        AddFile("C:\\Bench\\tool\\idle.exe");
        SetRegString(key, "idle.exe", "C:\\Bench\\tool");
    }

    int rc = RunLauncher(nullptr, tail);

    bool stored = moved ? RegText(key, "moved.exe") == "F:\\tool" &&
                              RegText(key, "moved.exe|volume") == "1A2B-3C4D MARLINTH"
                        : Fake().RegistryWrites == 0;
    bool expected = rc == 0 && Fake().DialogRuns.empty() && stored && Fake().Started.size() == 1 &&
                    Fake().Started[0].CommandLine == started;
    std::printf("exit code %d, %zu started%s: %s\n", rc, Fake().Started.size(),
                Fake().Started.empty() ? "" : (" (" + Fake().Started[0].CommandLine + ")").c_str(),
                expected ? "as expected" : "NOT as expected");
    return expected ? 0 : 1;
}
