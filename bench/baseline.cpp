// The least a launcher must do for the measured run, and nothing more: open the key, read
// the remembered location, probe the target there and start it; built with BASELINE_WAIT, it
// then waits for the target and ends with its exit code, as a run with W does. Built like
// nrcdrom.exe (no C runtime, an entry of its own), so the two differ only in the work done.
#include <windows.h>

extern "C" void __stdcall BaselineEntry()
{
    static char location[520 + 1 + 260];
    static STARTUPINFOA startup;
    static PROCESS_INFORMATION process;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\HalvardWorks\\Marlinth\\6.6\\nrcdrom", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        ExitProcess(3);
    DWORD type = 0, size = 520;
    LONG rc =
        RegQueryValueExA(key, "idle.exe", nullptr, &type, reinterpret_cast<BYTE*>(location), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_SZ)
        ExitProcess(4);
    location[size] = '\0';
    lstrcatA(location, "\\idle.exe");
    if (GetFileAttributesA(location) == INVALID_FILE_ATTRIBUTES)
        ExitProcess(5);
    startup.cb = sizeof startup;
    CreateProcessA(nullptr, location, nullptr, nullptr, FALSE, CREATE_DEFAULT_ERROR_MODE, nullptr,
                   nullptr, &startup, &process);
#ifdef BASELINE_WAIT
    DWORD exitCode = 6;
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &exitCode);
    ExitProcess(exitCode);
#else
    ExitProcess(0);
#endif
}
