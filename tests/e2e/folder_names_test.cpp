// Folder names in any language on the real program: each group runs under a locale of its own
// (German 1252/850, Russian 1251/866, US English 1252/437), where the ANSI code page, the OEM
// code page cmd reads batch files in, and the Unicode names on disk all differ. The driver is
// an ANSI program, so it makes and names these folders through the Unicode calls; the texts in
// this file are UTF-8.
#include <memory>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace {

constexpr int OpenFileNameField = 1148;

std::wstring Wide(const std::string& utf8)
{
    std::wstring wide(utf8.size() + 1, L'\0');
    int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(n > 0 ? n - 1 : 0);
    return wide;
}

std::string Utf8(const wchar_t* wide, int length)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string text(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide, length, &text[0], n, nullptr, nullptr);
    return text;
}

// The environment block of the driver with the overrides applied, in Unicode.
std::vector<wchar_t> WideEnvironment(const std::map<std::string, std::string>& set)
{
    std::map<std::wstring, std::wstring> entries;  // upper-case name -> entry
    auto upper = [](std::wstring name) {
        CharUpperBuffW(&name[0], static_cast<DWORD>(name.size()));
        return name;
    };
    wchar_t* strings = GetEnvironmentStringsW();
    for (const wchar_t* p = strings; *p != L'\0'; p += lstrlenW(p) + 1) {
        std::wstring entry = p;
        entries[upper(entry.substr(0, entry.find(L'=', 1)))] = entry;
    }
    FreeEnvironmentStringsW(strings);
    for (const auto& variable : set)
        entries[upper(Wide(variable.first))] = Wide(variable.first + "=" + variable.second);
    std::vector<wchar_t> block;
    for (const auto& entry : entries) {
        block.insert(block.end(), entry.second.begin(), entry.second.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

// Deletes path and all it holds, by their Unicode names.
void RemoveTreeW(const std::wstring& path)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring child = path + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTreeW(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

// One fixture for the three locale groups: the code pages the group's locale must give, the
// Unicode counterparts of the fixture's file, registry and process helpers, and runs started
// with a Unicode program path and environment.
class FolderNamesTest : public E2eTest {
protected:
    FolderNamesTest(const char* locale, UINT ansi, UINT oem)
        : locale_(locale), ansi_(ansi), oem_(oem)
    {
    }

    void SetUp() override
    {
        // The fixture's own set-up first, so that its tear-down has a scratch folder to remove
        // even when the test skips.
        E2eTest::SetUp();
        std::string missing = Env("NRTEST_NO_LOCALE");
        if (!missing.empty())
            GTEST_SKIP() << "no " << locale_ << " locale on this machine: " << missing;
        ASSERT_EQ(ansi_, GetACP()) << "the group runs under " << locale_ << ".UTF-8";
        ASSERT_EQ(oem_, GetOEMCP()) << "the group runs under " << locale_ << ".UTF-8";
    }

    // The runs end first; then what the ANSI names of the fixture cannot reach goes too.
    void TearDown() override
    {
        E2eTest::TearDown();
        if (Env("NRTEST_KEEP") != "1")
            RemoveTreeW(Wide(Scratch()));
    }

    static bool MakeDirW(const char* file, int line, const std::string& path)
    {
        std::wstring wide = Wide(path);
        for (size_t i = 3; i < wide.size(); ++i)
            if (wide[i] == L'\\')
                CreateDirectoryW(wide.substr(0, i).c_str(), nullptr);
        CreateDirectoryW(wide.c_str(), nullptr);
        DWORD attributes = GetFileAttributesW(wide.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ADD_FAILURE_AT(file, line) << "cannot make the directory " << path;
            return false;
        }
        return true;
    }

    // An empty file of that name; false (and a failure) when it cannot be made.
    static bool PutFile(const char* file, int line, const std::string& path)
    {
        HANDLE handle = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            ADD_FAILURE_AT(file, line) << "cannot write " << path;
            return false;
        }
        CloseHandle(handle);
        return true;
    }

    // The program, and the recorder as diriz.exe and tool.exe, in dir; the program's path.
    static std::string InstallProgramW(const char* file, int line, const std::string& dir)
    {
        if (!MakeDirW(file, line, dir))
            return std::string();
        const std::pair<std::string, std::string> copies[] = {
            {Env("NRTEST_PROGRAM"), dir + "\\nrcdrom.exe"},
            {Env("NRTEST_RECORDER"), dir + "\\diriz.exe"},
            {Env("NRTEST_RECORDER"), dir + "\\tool.exe"},
        };
        for (const auto& copy : copies)
            if (!CopyFileW(Wide(copy.first).c_str(), Wide(copy.second).c_str(), FALSE))
                ADD_FAILURE_AT(file, line) << "cannot copy " << copy.first << " to " << copy.second
                                           << " (error " << GetLastError() << ")";
        return dir + "\\nrcdrom.exe";
    }

    // The platform's short (8.3) name of an existing path.
    static std::string ShortName(const char* file, int line, const std::string& path)
    {
        wchar_t name[MAX_PATH];
        DWORD n = GetShortPathNameW(Wide(path).c_str(), name, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) {
            ADD_FAILURE_AT(file, line)
                << "no short name for " << path << " (error " << GetLastError() << ")";
            return std::string();
        }
        return Utf8(name, static_cast<int>(n));
    }

    static bool SetStringW(const char* file, int line, const std::string& name,
                           const std::string& text)
    {
        std::wstring data = Wide(text);
        HKEY key = nullptr;
        LONG rc = RegCreateKeyExW(HKEY_LOCAL_MACHINE, Wide(LocatorKey).c_str(), 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &key, nullptr);
        if (rc == ERROR_SUCCESS) {
            rc = RegSetValueExW(key, Wide(name).c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(data.c_str()),
                                static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
            RegCloseKey(key);
        }
        if (rc != ERROR_SUCCESS) {
            ADD_FAILURE_AT(file, line) << "cannot set " << name << " (error " << rc << ")";
            return false;
        }
        return true;
    }

    // A REG_SZ value as the Unicode call reads it, in UTF-8, without its terminator; the type
    // is given as a prefix when it is another, and "(none)" when there is no value.
    static std::string GetStringW(const std::string& name)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(LocatorKey).c_str(), 0, KEY_QUERY_VALUE, &key) !=
            ERROR_SUCCESS)
            return "(none)";
        wchar_t data[1024] = L"";
        DWORD type = 0, size = sizeof data - sizeof(wchar_t);
        LONG rc = RegQueryValueExW(key, Wide(name).c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(data), &size);
        RegCloseKey(key);
        if (rc != ERROR_SUCCESS)
            return "(none)";
        std::string text = Utf8(data, static_cast<int>(size / sizeof(wchar_t)));
        while (!text.empty() && text.back() == '\0')
            text.pop_back();
        return type == REG_SZ ? text : "(type " + std::to_string(type) + ") " + text;
    }

    // Starts the program at its Unicode path with the tail, its environment the driver's with
    // PATH set to SystemPath and the variables in env set (UTF-8), held in a job of its own
    // until TearDown; null (and a failure) when it cannot be started.
    ProgramRun* StartW(const char* file, int line, const std::string& program,
                       const std::string& tail, const std::map<std::string, std::string>& env)
    {
        const std::string record = NextRecordPath("wrecord");
        std::map<std::string, std::string> set = {{"PATH", SystemPath}, {"NRTEST_RECORD", record}};
        for (const auto& variable : env)
            set[variable.first] = variable.second;
        std::vector<wchar_t> block = WideEnvironment(set);
        std::wstring commandLine = Wide("\"" + program + "\" " + tail);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(Wide(program).c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                            CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT, block.data(),
                            Wide(Cwd()).c_str(), &startup, &info)) {
            ADD_FAILURE_AT(file, line)
                << "cannot start " << program << " (error " << GetLastError() << ")";
            return nullptr;
        }
        return Adopt(file, line, info, record);
    }

    // An unattended run, so that a location the program cannot use ends it at once.
    Outcome RunW(const char* file, int line, const std::string& program, const std::string& tail,
                 std::map<std::string, std::string> env = {})
    {
        env["NRCDROM_UNATTENDED"] = "1";
        ProgramRun* run = StartW(file, line, program, tail, env);
        return run != nullptr ? Finish(file, line, run) : Outcome();
    }

    // The program in Übung\BIN and the target in Проекты\BIN, stored there; script mode, then
    // the batch file called in cmd, whose PATH, INCLUDE and LIB the Unicode form of `set`
    // prints. What it printed, in UTF-8; empty (and a failure) when a step failed.
    std::string ScriptCalledInCmd(const char* file, int line)
    {
        const std::string program = InstallProgramW(file, line, In("Übung\\BIN"));
        if (!MakeDirW(file, line, In("Проекты\\BIN")) ||
            !PutFile(file, line, In("Проекты\\BIN\\devshl.dll")) ||
            !SetStringW(file, line, "devshl.dll", In("Проекты\\BIN")))
            return std::string();
        Outcome run = RunW(file, line, program, "devshl.dll T x P");
        if (run.ExitCode != 1) {
            ADD_FAILURE_AT(file, line) << "script mode ended with " << run.ExitCode;
            return std::string();
        }
        // cmd is started through the ANSI call, so it is given the file by its short name.
        const std::string script = ShortName(file, line, In("Übung\\BIN\\NRVARCD.BAT"));
        if (script.empty())
            return std::string();
        CmdResult cmd = RunCmd(
            file, line, "call \"" + script + "\" >nul & C:\\windows\\system32\\cmd.exe /u /c set",
            In("set.txt"),
            {{"PATH", std::string(SystemPath)},
             {"INCLUDE", std::string("C:\\inc")},
             {"LIB", std::nullopt},
             {"OS", std::string("Windows_NT")}});
        return "\n" + Utf8(reinterpret_cast<const wchar_t*>(cmd.Output.data()),
                           static_cast<int>(cmd.Output.size() / sizeof(wchar_t)));
    }

private:
    const char* locale_;
    UINT ansi_, oem_;
};

class LocaleGermanTest : public FolderNamesTest {
protected:
    LocaleGermanTest() : FolderNamesTest("de_DE", 1252, 850) {}
};

class LocaleRussianTest : public FolderNamesTest {
protected:
    LocaleRussianTest() : FolderNamesTest("ru_RU", 1251, 866) {}
};

class LocaleEnglishTest : public FolderNamesTest {
protected:
    LocaleEnglishTest() : FolderNamesTest("en_US", 1252, 437) {}
};

// Ü is in both of the group's code pages, at another byte in each; Проекты is in neither, so
// the program knows its folder by the short name only.
TEST_F(LocaleGermanTest, BatchFileRootsReachCmdAsTheFoldersTheyName)
{
    const std::string set = ScriptCalledInCmd(HERE);
    ASSERT_FALSE(set.empty());
    const std::string ubung = In("Übung");
    const std::string projects = ShortName(HERE, In("Проекты"));
    EXPECT_EQ(ubung + "\\BIN;" + projects + "\\BIN;C:\\windows\\system32;C:\\windows",
              Variable(set, "PATH"));
    EXPECT_EQ(ubung + "\\INCLUDE;" + projects + "\\INCLUDE;C:\\inc", Variable(set, "INCLUDE"));
    EXPECT_EQ(ubung + "\\LIB;" + projects + "\\LIB", Variable(set, "LIB"));
}

// The other way round: Проекты is in both code pages, Übung in neither.
TEST_F(LocaleRussianTest, BatchFileRootsReachCmdAsTheFoldersTheyName)
{
    const std::string set = ScriptCalledInCmd(HERE);
    ASSERT_FALSE(set.empty());
    const std::string ubung = ShortName(HERE, In("Übung"));
    const std::string projects = In("Проекты");
    EXPECT_EQ(ubung + "\\BIN;" + projects + "\\BIN;C:\\windows\\system32;C:\\windows",
              Variable(set, "PATH"));
    EXPECT_EQ(ubung + "\\INCLUDE;" + projects + "\\INCLUDE;C:\\inc", Variable(set, "INCLUDE"));
    EXPECT_EQ(ubung + "\\LIB;" + projects + "\\LIB", Variable(set, "LIB"));
}

// Code page 1252 has no Ω; the platform's best fit for dirΩ is dirO, a folder that exists
// too, with the program and its tools in it.
TEST_F(LocaleEnglishTest, ProgramInAFolderTheCodePageCannotSpellUsesThatFolder)
{
    const std::string program = InstallProgramW(HERE, In("dirΩ\\BIN"));
    InstallProgram(HERE, In("dirO\\BIN"));
    ASSERT_TRUE(WriteFileText(HERE, Media() + "\\devshl.dll", ""));
    ASSERT_TRUE(SetString(HERE, "devshl.dll", Media()));
    const std::string bin = ShortName(HERE, In("dirΩ\\BIN"));

    EXPECT_EQ(1u, RunW(HERE, program, "devshl.dll T x P").ExitCode);
    EXPECT_NE(std::string::npos, ReadFileText(bin + "\\NRVARCD.BAT")
                                     .find("set \"PATH=" + ShortName(HERE, In("dirΩ")) + "\\BIN;" +
                                           Scratch() + "\\BIN\""))
        << ReadFileText(bin + "\\NRVARCD.BAT");
    EXPECT_FALSE(Exists(In("dirO\\BIN\\NRVARCD.BAT")));

    Outcome run = RunW(HERE, program, "a.prj");
    EXPECT_EQ(0u, run.ExitCode);
    ASSERT_EQ(2u, run.Processes);
    EXPECT_EQ(bin + "\\diriz.exe a.prj", run.Tool["cmdline"]);
}

// The registry holds Unicode; the program reads the value so, uses the folder by its short
// name and leaves the value as its author wrote it.
TEST_F(LocaleEnglishTest, StoredFolderTheCodePageCannotSpellIsUsedAndKept)
{
    for (const char* dir : {"dirΩ\\BIN", "dirO\\BIN"}) {
        ASSERT_TRUE(MakeDirW(HERE, In(dir)));
        ASSERT_TRUE(PutFile(HERE, In(dir) + "\\devshl.dll"));
    }
    ASSERT_TRUE(SetStringW(HERE, "devshl.dll", In("dirΩ\\BIN")));
    Outcome run = RunW(HERE, Program(), "devshl.dll T tool.exe_$s");
    EXPECT_EQ(0u, run.ExitCode);
    ASSERT_EQ(2u, run.Processes);
    EXPECT_EQ("tool.exe " + ShortName(HERE, In("dirΩ\\BIN")) + "\\devshl.dll", run.Tool["cmdline"]);
    EXPECT_EQ(In("dirΩ\\BIN"), GetStringW("devshl.dll"));
}

TEST_F(LocaleEnglishTest, BrowsedFolderTheCodePageCannotSpellIsAccepted)
{
    for (const char* dir : {"dirΩ\\BIN", "dirO\\BIN"}) {
        ASSERT_TRUE(MakeDirW(HERE, In(dir)));
        ASSERT_TRUE(PutFile(HERE, In(dir) + "\\devshl.dll"));
    }
    ASSERT_TRUE(SetString(HERE, "devshl.dll", In("gone")));
    ProgramRun* program = StartW(HERE, Program(), "devshl.dll T tool.exe", {});
    HWND dialog = WaitForWindow(HERE, program);
    ASSERT_NE(nullptr, dialog);
    PostMessageA(dialog, WM_COMMAND, IDC_BROWSE, 0);
    HWND open = WaitForWindow(HERE, program, dialog);
    ASSERT_NE(nullptr, open);
    const std::wstring picked = Wide(In("dirΩ\\BIN\\devshl.dll"));
    DWORD_PTR result = 0;
    SendMessageTimeoutW(GetDlgItem(open, OpenFileNameField), WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(picked.c_str()), SMTO_NORMAL, MessageWaitMs,
                        &result);
    PostMessageA(open, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntilGone(open));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    Outcome run = Finish(HERE, program);
    EXPECT_EQ(0u, run.ExitCode);
    EXPECT_EQ(2u, run.Processes);
    EXPECT_EQ(ShortName(HERE, In("dirΩ\\BIN")), GetStringW("devshl.dll"));
}

TEST_F(LocaleEnglishTest, OptionSPassesPathEntriesTheCodePageCannotSpellWhole)
{
    ASSERT_TRUE(WriteFileText(HERE, Media() + "\\devshl.dll", ""));
    ASSERT_TRUE(SetString(HERE, "devshl.dll", Media()));
    Outcome run = RunW(HERE, Program(), "devshl.dll T tool.exe S",
                       {{"PATH", "C:\\t\\日本語\\bin;C:\\windows\\system32;C:\\windows"}});
    EXPECT_EQ(0u, run.ExitCode);
    ASSERT_EQ(2u, run.Processes);
    EXPECT_EQ(Media() + ";C:\\t\\日本語\\bin;C:\\windows\\system32;C:\\windows", run.Tool["pathw"]);
}

}  // namespace
