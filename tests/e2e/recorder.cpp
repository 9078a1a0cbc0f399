// The tool that the end-to-end tests let the program start: it writes down what it was
// given (command line, PATH, current directory, error mode) to the file named by
// NRTEST_RECORD, whole or not at all. PATH is written twice: as the ANSI call gives it, and as
// the Unicode call gives it, in UTF-8 (pathw), which holds every name whatever the code page.
#include <windows.h>

namespace {

void Put(HANDLE file, const char* name, const char* value)
{
    DWORD written = 0;
    WriteFile(file, name, lstrlenA(name), &written, nullptr);
    WriteFile(file, "=", 1, &written, nullptr);
    WriteFile(file, value, lstrlenA(value), &written, nullptr);
    WriteFile(file, "\n", 1, &written, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    static char record[MAX_PATH], temp[MAX_PATH + 8], path[40000], cwd[MAX_PATH], mode[16];
    static wchar_t pathW[40000];
    static char pathUtf8[3 * 40000];
    if (GetEnvironmentVariableA("NRTEST_RECORD", record, sizeof record) == 0)
        return 3;
    lstrcpyA(temp, record);
    lstrcatA(temp, ".part");
    HANDLE file =
        CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 4;
    DWORD n = GetEnvironmentVariableA("PATH", path, sizeof path);
    Put(file, "cmdline", GetCommandLineA());
    Put(file, "path", n == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND ? "(unset)" : path);
    n = GetEnvironmentVariableW(L"PATH", pathW, sizeof pathW / sizeof pathW[0]);
    bool unset = n == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND;
    WideCharToMultiByte(CP_UTF8, 0, pathW, -1, pathUtf8, sizeof pathUtf8, nullptr, nullptr);
    Put(file, "pathw", unset ? "(unset)" : pathUtf8);
    GetCurrentDirectoryA(sizeof cwd, cwd);
    Put(file, "cwd", cwd);
    UINT errorMode = SetErrorMode(0);
    wsprintfA(mode, "%u", errorMode);
    Put(file, "errormode", mode);
    CloseHandle(file);
    MoveFileExA(temp, record, MOVEFILE_REPLACE_EXISTING);
    return 0;
}
