// The interpreter of end-to-end rows: each row one run of the real program, from a registry
// key and files made anew, with the dialog answered as the row says, and everything the row
// leaves unsaid checked the same way every time (the whole key unchanged, nothing started,
// nothing on standard error).
#include <algorithm>

#include "e2e_support.h"

std::string E2eTest::Expand(std::string text) const
{
    const std::pair<const char*, std::string> marks[] = {
        {"@m", Media()}, {"@c", Cwd()}, {"@p", caseProgramDir_}, {"@s", Scratch()}};
    for (const auto& mark : marks)
        for (size_t at = text.find(mark.first); at != std::string::npos;
             at = text.find(mark.first, at + mark.second.size()))
            text.replace(at, 2, mark.second);
    return text;
}

RegKey E2eTest::LocatorValues()
{
    RegKey values;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, LocatorKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        static BYTE data[65536];
        DWORD nameSize = 16384, type = 0, size = sizeof data;
        if (RegEnumValueW(key, i, name, &nameSize, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        std::string bytes(reinterpret_cast<char*>(data), size);
        if (IsText(type))
            bytes = Utf8(std::wstring(reinterpret_cast<wchar_t*>(data), size / sizeof(wchar_t)));
        values[Utf8(name)] = RegData{type, bytes};
    }
    RegCloseKey(key);
    return values;
}

namespace {

// The names of what pattern matches, sorted.
std::vector<std::string> Names(const std::string& pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Utf16(pattern).c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            names.push_back(Utf8(found.cFileName));
        while (FindNextFileW(search, &found));
        FindClose(search);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string Describe(const RegKey& key)
{
    std::string text;
    for (const auto& value : key) {
        text += "  " + value.first + " (type " + std::to_string(value.second.Type) + "): ";
        for (char c : value.second.Data)
            text += c == '\0' ? std::string("\\0") : std::string(1, c);
        text += "\n";
    }
    return text.empty() ? "  (no values)\n" : text;
}

}  // namespace

bool E2eTest::PlayStep(const char* file, int line, const ProgramRun* program, HWND& dialog,
                       const std::string& step)
{
    const size_t blank = step.find(' ');
    const std::string verb = step.substr(0, blank);
    const std::string text = blank == std::string::npos ? "" : Expand(step.substr(blank + 1));
    if (verb == "box" || verb == "box-enter") {
        const size_t bar = text.find('|');
        HWND box =
            WaitForWindow(file, line, program, dialog, "#32770", text.substr(0, bar).c_str());
        if (box == nullptr)
            return false;
        std::string said;  // the box's text, in the first static control that has one
        for (HWND child : VisibleChildren(box, "Static"))
            said = said.empty() ? WindowText(child) : said;
        EXPECT_EQ(text.substr(bar + 1), said) << step;
        if (verb == "box")
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        else if (!Keys(file, line, box, "key Return"))
            return false;
        EXPECT_TRUE(WaitUntilGone(box)) << step;
        return true;
    }
    if (verb == "kill") {
        for (DWORD waited = 0; !Exists(program->RecordPath) && waited < RunWaitMs; waited += 50)
            Sleep(50);
        return TerminateProcess(program->Process, 1) != 0;
    }
    if (dialog == nullptr && (dialog = WaitForWindow(file, line, program)) == nullptr)
        return false;
    if (verb == "make")
        return WriteFileText(file, line, text, "");
    if (verb == "shot")
        return Screenshot(file, line, dialog, text);
    // Any other window of the class would be a box of the platform's own.
    EXPECT_NE(nullptr, GetDlgItem(dialog, IDC_LOCATION)) << WindowText(dialog);
    if (verb == "caption") {
        EXPECT_EQ(text, WindowText(dialog)) << step;
    } else if (verb == "field") {
        EXPECT_EQ(text, ItemText(dialog, IDC_LOCATION)) << step;
    } else if (verb == "prompt") {
        EXPECT_EQ(text, ItemText(dialog, IDC_PROMPT)) << step;
    } else if (verb == "type") {
        SetItem(dialog, IDC_LOCATION, text);
    } else if (verb == "ok" || verb == "cancel") {
        PostMessageA(dialog, WM_COMMAND, verb == "ok" ? IDOK : IDCANCEL, 0);
    } else if (verb == "close") {
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (verb == "key" || verb == "keys") {
        return Keys(file, line, dialog,
                    verb == "key" ? "key " + text : "type --delay 30 '" + text + "'");
    } else if (verb == "click") {
        RECT button = WindowRect(GetDlgItem(dialog, std::stoi(text)));
        return Keys(file, line, dialog,
                    "mousemove --sync " + std::to_string((button.left + button.right) / 2) + " " +
                        std::to_string((button.top + button.bottom) / 2) + " click 1");
    } else if (verb == "browse") {
        // The open-file dialog, the file name field set unless the text is empty, then OK.
        PostMessageA(dialog, WM_COMMAND, IDC_BROWSE, 0);
        HWND open = WaitForWindow(file, line, program, dialog);
        if (open == nullptr)
            return false;
        if (!text.empty())
            SetItem(open, OpenFileNameField, text);
        PostMessageA(open, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntilGone(open)) << step;
    } else {
        ADD_FAILURE_AT(file, line) << "no such step: " << step;
        return false;
    }
    return true;
}

void E2eTest::RunCases(const char* file, int line, const std::vector<E2eCase>& cases)
{
    for (const E2eCase& row : cases) {
        SCOPED_TRACE(row.Name);
        caseProgramDir_ = row.Program.empty() ? In("prog") : Expand(row.Program);
        RunOptions options;
        if (!row.Program.empty())
            options.Program = InstallProgram(file, line, caseProgramDir_);
        RemoveProductKeys();
        if ((row.Keys > 0 && !CreateKey(file, line, row.Keys > 1 ? LocatorKey : ProductKey)))
            return;
        for (const auto& value : row.Values)
            if (!SetValue(file, line, value.first, value.second.Type, Expand(value.second.Data)))
                return;
        RegKey before = LocatorValues();
        std::vector<HANDLE> held;
        for (const auto& made : row.Files) {
            const std::string path = Expand(made.first);
            MakeDir(file, line, path.substr(0, path.find_last_of('\\')));
            bool recorder = made.second == "@recorder", hold = made.second == "@held";
            bool readOnly = made.second.rfind("@read-only ", 0) == 0;
            const std::string text = hold ? "" : Expand(made.second.substr(readOnly ? 11 : 0));
            if (recorder
                    ? !CopyFileW(Utf16(Env("NRTEST_RECORDER")).c_str(), Utf16(path).c_str(), FALSE)
                    : !WriteFileText(file, line, path, text)) {
                ADD_FAILURE_AT(file, line) << "cannot make " << path;
                return;
            }
            if (readOnly)
                SetFileAttributesW(Utf16(path).c_str(), FILE_ATTRIBUTE_READONLY);
            if (hold)
                held.push_back(
                    CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        }
        for (const auto& variable : row.Env)
            options.Env[variable.first] = variable.second
                                              ? std::optional<std::string>(Expand(*variable.second))
                                              : std::nullopt;
        const std::string output = NextRecordPath("output");
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        options.Output = CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                     CREATE_ALWAYS, 0, nullptr);

        MarkLog();
        ProgramRun* program = Start(file, line, Expand(row.Tail), options);
        HWND dialog = nullptr;
        for (const std::string& step : row.Dialog)
            if (!PlayStep(file, line, program, dialog, step))
                break;
        if (row.Waits && program != nullptr &&
            WaitForSingleObject(program->Process, RunWaitMs) == WAIT_OBJECT_0) {
            JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
            QueryInformationJobObject(program->Job, JobObjectBasicAccountingInformation,
                                      &accounting, sizeof accounting, nullptr);
            EXPECT_EQ(0u, accounting.ActiveProcesses) << "the program ended before its tool";
        }
        Outcome run = program != nullptr ? Finish(file, line, program) : Outcome();
        CloseHandle(options.Output);
        for (HANDLE handle : held)
            CloseHandle(handle);

        EXPECT_EQ(row.Exit, run.ExitCode);
        EXPECT_EQ(row.Processes != 0 ? row.Processes : row.Tool.empty() ? 1u : 2u, run.Processes);
        for (const auto& entry : row.Tool)
            EXPECT_EQ(Expand(entry.second), run.Tool[entry.first]) << entry.first;
        EXPECT_EQ(Expand(row.Output), ReadFileText(output));
        EXPECT_NE(std::string::npos, LogSinceMark().find(row.Log)) << "no " << row.Log;
        RegKey expected = before;
        if (row.After) {
            expected.clear();
            for (const auto& value : *row.After)
                expected[value.first] = RegData{value.second.Type, Expand(value.second.Data)};
        }
        RegKey after = LocatorValues();
        EXPECT_TRUE(after == expected) << "the locator key holds\n"
                                       << Describe(after) << "where the row expects\n"
                                       << Describe(expected);
        if (row.Keys < 2) {
            EXPECT_EQ(row.Keys == 1, KeyExists(ProductKey)) << "only the keys made are there";
        }
        if (!row.Cmd.empty())
            CheckCmd(file, line, row);
        for (const auto& result : row.FilesAfter) {
            const std::string path = Expand(result.first);
            std::string expected = Expand(result.second.value_or("")), content;
            bool exists = false;
            if (path.find('*') != std::string::npos) {
                exists = true;
                for (const std::string& name : Names(path))
                    content += name + "|";
            } else {
                content = ReadFileText(path, &exists);
            }
            EXPECT_EQ(result.second.has_value(), exists) << result.first;
            const size_t dots = expected.size() - std::min<size_t>(expected.size(), 3);
            if (expected.substr(dots) == "...")
                content = content.substr(0, (expected = expected.substr(0, dots)).size());
            if (result.second && exists) {
                EXPECT_EQ(expected, content) << result.first;
            }
        }
        for (const auto& made : row.Files) {
            SetFileAttributesW(Utf16(Expand(made.first)).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(Utf16(Expand(made.first)).c_str());
        }
        for (const std::string& step : row.Dialog)
            if (step.rfind("make ", 0) == 0)
                DeleteFileW(Utf16(Expand(step.substr(5))).c_str());
        // Asked to stop at the first failure (GTEST_FAIL_FAST), the table stops at its first
        // failing row: a fault that breaks every run then costs one run's wait, not one a row.
        if (GTEST_FLAG_GET(fail_fast) && HasFailure())
            return;
    }
}

void E2eTest::CheckCmd(const char* file, int line, const E2eCase& row)
{
    EnvSet env = {{"PATH", std::string(SystemPath)},
                  {"INCLUDE", std::string("C:\\inc")},
                  {"LIB", std::nullopt},
                  {"OS", std::string("Windows_NT")}};
    for (const auto& variable : row.CmdEnv)
        env[variable.first] = variable.second;
    // cmd reads a batch file in the OEM code page; `set` in a cmd of its own started with /u
    // prints every value in UTF-16, whatever the code pages.
    std::string text = "@echo off\r\n";
    for (const std::string& cmdLine : row.Cmd)
        text += Expand(cmdLine) + "\r\n";
    text += "set NRERRORLEVEL=%errorlevel%\r\nC:\\windows\\system32\\cmd.exe /u /c set >\"" +
            In("set.txt") + "\"\r\n";
    const std::wstring wide = Utf16(text);
    std::string oem(wide.size() * 2, '\0');
    oem.resize(static_cast<size_t>(
        WideCharToMultiByte(CP_OEMCP, 0, wide.data(), static_cast<int>(wide.size()), &oem[0],
                            static_cast<int>(oem.size()), nullptr, nullptr)));
    if (!WriteFileText(file, line, In("calls.bat"), oem))
        return;
    EXPECT_EQ("", RunCmd(file, line, In("calls.bat"), In("out.txt"), env).Output);
    const std::string printed = ReadFileText(In("set.txt"));
    const std::string set =
        "\n" + Utf8(std::wstring(reinterpret_cast<const wchar_t*>(printed.data()),
                                 printed.size() / sizeof(wchar_t)));
    EnvSet vars = row.Vars;
    vars.emplace("NRERRORLEVEL", "0");
    for (const auto& variable : vars)
        EXPECT_EQ(Expand(variable.second.value_or("(unset)")), Variable(set, variable.first))
            << variable.first;
    if (row.Loads.empty())
        return;
    const std::optional<std::string> driverPath = EnvValue("PATH");
    SetEnv("PATH", Variable(set, "PATH"));
    HMODULE found = LoadLibraryExW(Utf16(row.Loads).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    SetEnv("PATH", driverPath);
    EXPECT_NE(nullptr, found) << row.Loads << " through the PATH the lines leave";
    if (found != nullptr)
        FreeLibrary(found);
}
