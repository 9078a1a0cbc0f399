// The tool that the end-to-end tests let the program start: it writes down what it was
// given (command line, PATH, current directory, error mode) to the file named by
// NRTEST_RECORD, whole or not at all. PATH is written twice: as the ANSI call gives it, and as
// the Unicode call gives it, in UTF-8 (pathw), which holds every name whatever the code page.
// Then, as the environment asks: NRTEST_WRITE, texts for standard output (1:) and standard
// error (2:) separated by |, each written with a line end in its turn; NRTEST_SLEEP_MS, a pause;
// NRTEST_EXIT, the exit code (decimal), 0 when not set.
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

DWORD Number(const char* name)
{
    char text[16];
    DWORD value = 0;
    if (GetEnvironmentVariableA(name, text, sizeof text) - 1 < sizeof text - 1)
        for (const char* p = text; *p >= '0' && *p <= '9'; ++p)
            value = value * 10 + static_cast<DWORD>(*p - '0');
    return value;
}

void WriteAsked()
{
    static char texts[4096];
    if (GetEnvironmentVariableA("NRTEST_WRITE", texts, sizeof texts) - 1 >= sizeof texts - 1)
        return;
    for (char* item = texts; *item != '\0';) {
        char* end = item;
        while (*end != '\0' && *end != '|')
            ++end;
        bool last = *end == '\0';
        *end = '\0';
        HANDLE out = GetStdHandle(item[0] == '2' ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
        DWORD written = 0;
        WriteFile(out, item + 2, lstrlenA(item + 2), &written, nullptr);
        WriteFile(out, "\r\n", 2, &written, nullptr);
        item = last ? end : end + 1;
    }
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
    WriteAsked();
    Sleep(Number("NRTEST_SLEEP_MS"));
    // Written last, so that whoever sees it knows the tool is at its end.
    lstrcatA(record, ".end");
    CloseHandle(CreateFileA(record, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr));
    ExitProcess(Number("NRTEST_EXIT"));
}
