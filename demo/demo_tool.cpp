// The development environment of the demonstration: it writes down what it was started
// with (command line, PATH, current directory) to the file named by NRDEMO_RECORD, so the
// demonstration can show what the launcher handed over.
#include <windows.h>

namespace {

void Put(HANDLE file, const char* name, const char* value)
{
    DWORD written = 0;
    WriteFile(file, name, lstrlenA(name), &written, nullptr);
    WriteFile(file, "=", 1, &written, nullptr);
    WriteFile(file, value, lstrlenA(value), &written, nullptr);
    WriteFile(file, "\r\n", 2, &written, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    static char record[MAX_PATH], temp[MAX_PATH + 8], path[32768], cwd[MAX_PATH];
    if (GetEnvironmentVariableA("NRDEMO_RECORD", record, sizeof record) == 0)
        return 3;
    // Written aside and renamed, so a reader never sees half a record.
    lstrcpyA(temp, record);
    lstrcatA(temp, ".part");
    HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 4;
    Put(file, "command line", GetCommandLineA());
    Put(file, "PATH", GetEnvironmentVariableA("PATH", path, sizeof path) != 0 ? path : "(unset)");
    GetCurrentDirectoryA(sizeof cwd, cwd);
    Put(file, "current directory", cwd);
    CloseHandle(file);
    MoveFileExA(temp, record, MOVEFILE_REPLACE_EXISTING);
    return 0;
}
