// The tool that the end-to-end tests let the program start: it writes down what it was
// given (command line, PATH, current directory, error mode) to the file named by
// NRTEST_RECORD, whole or not at all; every text as the Unicode calls give it, in UTF-8, which
// holds every name whatever the code page.
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

// name=value, the value in UTF-8.
void PutWide(HANDLE file, const char* name, const wchar_t* value)
{
    static char utf8[3 * 32767];
    WideCharToMultiByte(CP_UTF8, 0, value, -1, utf8, sizeof utf8, nullptr, nullptr);
    Put(file, name, utf8);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    static char record[MAX_PATH], temp[MAX_PATH + 8], mode[16];
    // 32,767 characters, the most a variable holds: Wine counts a larger buffer in 16 bits.
    static wchar_t path[32767], cwd[MAX_PATH];
    if (GetEnvironmentVariableA("NRTEST_RECORD", record, sizeof record) == 0)
        return 3;
    lstrcpyA(temp, record);
    lstrcatA(temp, ".part");
    HANDLE file =
        CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 4;
    PutWide(file, "cmdline", GetCommandLineW());
    DWORD n = GetEnvironmentVariableW(L"PATH", path, sizeof path / sizeof path[0]);
    PutWide(file, "path", n == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND ? L"(unset)" : path);
    GetCurrentDirectoryW(MAX_PATH, cwd);
    PutWide(file, "cwd", cwd);
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
