// The fixture: the scratch folder and the install, files, the environment and the registry.
#include "e2e_support.h"

#include <cstdlib>

std::optional<std::string> E2eTest::EnvValue(const std::string& name)
{
    static wchar_t buffer[32768];
    SetLastError(0);
    DWORD n = GetEnvironmentVariableW(Utf16(name).c_str(), buffer, 32768);
    if (n == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND)
        return std::nullopt;
    return n < 32768 ? Utf8(std::wstring(buffer, n)) : std::string();
}

std::string E2eTest::Env(const char* name)
{
    return EnvValue(name).value_or(std::string());
}

void E2eTest::SetEnv(const std::string& name, const std::optional<std::string>& value)
{
    SetEnvironmentVariableW(Utf16(name).c_str(), value ? Utf16(*value).c_str() : nullptr);
}

std::string E2eTest::SystemReason(DWORD code)
{
    char text[1024] = "";
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, text, sizeof text, nullptr);
    std::string reason(text, n);
    while (!reason.empty() &&
           (reason.back() == ' ' || reason.back() == '\r' || reason.back() == '\n'))
        reason.pop_back();
    return reason;
}

namespace {

// Deletes what path holds, and path itself unless keepRoot, by their Unicode names.
void RemoveTree(const std::wstring& path, bool keepRoot = false)
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
                RemoveTree(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    if (!keepRoot)
        RemoveDirectoryW(path.c_str());
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The scratch folder and the install

void E2eTest::SetUp()
{
    // Wine's desktop process ends a moment after its last window and is started again by the
    // next program that shows one, inside that run's job, where it would be counted and keep
    // the job from emptying. Asked for here, it is the driver's for the whole group.
    GetDesktopWindow();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    scratch_ = std::string("C:\\nrtest\\") + info->test_suite_name() + "." + info->name();
    for (char& c : scratch_)
        if (c == '/')
            c = '_';
    RemoveTree(Utf16(scratch_));
    RemoveTree(Utf16(DriveD()), true);
    RemoveProductKeys();
    ASSERT_TRUE(MakeDir(HERE, scratch_));
    ASSERT_TRUE(MakeDir(HERE, Media()));
    ASSERT_TRUE(MakeDir(HERE, Cwd()));
    caseProgramDir_ = In("prog");
    program_ = InstallProgram(HERE, caseProgramDir_);
    // A group under a locale of its own (NRTEST_LOCALE) skips where the machine cannot make
    // it, and runs only under the ANSI and OEM code pages it names.
    if (!Env("NRTEST_NO_LOCALE").empty()) {
        GTEST_SKIP() << "no " << Env("NRTEST_LOCALE")
                     << " locale here: " << Env("NRTEST_NO_LOCALE");
    }
    if (!Env("NRTEST_CODE_PAGES").empty()) {
        ASSERT_EQ(Env("NRTEST_CODE_PAGES"),
                  std::to_string(GetACP()) + "/" + std::to_string(GetOEMCP()))
            << "the group runs under " << Env("NRTEST_LOCALE") << ".UTF-8";
    }
}

void E2eTest::TearDown()
{
    for (const auto& run : runs_) {
        if (run->Job != nullptr) {
            TerminateJobObject(run->Job, 99);
            CloseHandle(run->Job);
        }
        if (run->Process != nullptr) {
            WaitForSingleObject(run->Process, 5000);
            CloseHandle(run->Process);
        }
    }
    runs_.clear();
    RemoveProductKeys();
    // An empty name would be the root of the current drive, which Wine maps to the Unix root.
    if (Env("NRTEST_KEEP") != "1" && !scratch_.empty()) {
        RemoveTree(Utf16(scratch_));
        if (!DriveD().empty())
            RemoveTree(Utf16(DriveD()), true);
    }
}

std::string E2eTest::InstallProgram(const char* file, int line, const std::string& dir)
{
    if (!MakeDir(file, line, dir))
        return std::string();
    std::string program = dir + "\\nrcdrom.exe";
    const std::pair<std::string, std::string> copies[] = {
        {Env("NRTEST_PROGRAM"), program},
        {Env("NRTEST_RECORDER"), dir + "\\diriz.exe"},
        {Env("NRTEST_RECORDER"), dir + "\\tool.exe"},
    };
    for (const auto& copy : copies)
        if (!CopyFileW(Utf16(copy.first).c_str(), Utf16(copy.second).c_str(), FALSE))
            ADD_FAILURE_AT(file, line) << "cannot copy " << copy.first << " to " << copy.second
                                       << " (error " << GetLastError() << ")";
    return program;
}

bool E2eTest::MakeDir(const char* file, int line, const std::string& path)
{
    const std::wstring wide = Utf16(path);
    for (size_t i = 3; i < wide.size(); ++i)
        if (wide[i] == L'\\' || wide[i] == L'/')
            CreateDirectoryW(wide.substr(0, i).c_str(), nullptr);
    CreateDirectoryW(wide.c_str(), nullptr);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ADD_FAILURE_AT(file, line) << "cannot make the directory " << path;
        return false;
    }
    return true;
}

bool E2eTest::WriteFileText(const char* file, int line, const std::string& path,
                            const std::string& content)
{
    HANDLE handle = CreateFileW(Utf16(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (handle != INVALID_HANDLE_VALUE) {
        WriteFile(handle, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(handle);
    }
    if (handle == INVALID_HANDLE_VALUE || written != content.size()) {
        ADD_FAILURE_AT(file, line) << "cannot write " << path;
        return false;
    }
    return true;
}

std::string E2eTest::ReadFileText(const std::string& path, bool* exists)
{
    HANDLE file = CreateFileW(Utf16(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (exists != nullptr)
        *exists = file != INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        content.append(buffer, got);
    CloseHandle(file);
    return content;
}

bool E2eTest::Exists(const std::string& path)
{
    return GetFileAttributesW(Utf16(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string E2eTest::ShortName(const char* file, int line, const std::string& path)
{
    wchar_t name[MAX_PATH];
    DWORD n = GetShortPathNameW(Utf16(path).c_str(), name, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        ADD_FAILURE_AT(file, line)
            << "no short name for " << path << " (error " << GetLastError() << ")";
        return std::string();
    }
    return Utf8(std::wstring(name, n));
}

// ---------------------------------------------------------------------------------------
// Registry

bool E2eTest::CreateKey(const char* file, int line, const char* path)
{
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr);
    if (rc != ERROR_SUCCESS) {
        ADD_FAILURE_AT(file, line) << "cannot create " << path << " (error " << rc << ")";
        return false;
    }
    RegCloseKey(key);
    return true;
}

std::wstring Utf16(const std::string& utf8)
{
    std::wstring wide(utf8.size(), L'\0');
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0],
                                static_cast<int>(wide.size()));
    wide.resize(n > 0 ? n : 0);
    return wide;
}

std::string Utf8(const std::wstring& wide)
{
    std::string utf8(wide.size() * 3, '\0');
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0],
                                static_cast<int>(utf8.size()), nullptr, nullptr);
    utf8.resize(n > 0 ? n : 0);
    return utf8;
}

bool IsText(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

bool E2eTest::SetValue(const char* file, int line, const std::string& name, DWORD type,
                       const std::string& data)
{
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, LocatorKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr);
    if (rc == ERROR_SUCCESS) {
        std::wstring wide = Utf16(data);
        const auto* bytes = reinterpret_cast<const BYTE*>(data.data());
        auto size = static_cast<DWORD>(data.size());
        if (IsText(type)) {
            bytes = reinterpret_cast<const BYTE*>(wide.data());
            size = static_cast<DWORD>(wide.size() * sizeof(wchar_t));
        }
        rc = RegSetValueExW(key, Utf16(name).c_str(), 0, type, bytes, size);
        RegCloseKey(key);
    }
    if (rc != ERROR_SUCCESS) {
        ADD_FAILURE_AT(file, line) << "cannot set " << name << " (error " << rc << ")";
        return false;
    }
    return true;
}

bool E2eTest::SetString(const char* file, int line, const std::string& name,
                        const std::string& text)
{
    return SetValue(file, line, name, REG_SZ, text + std::string(1, '\0'));
}

bool E2eTest::KeyExists(const char* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void E2eTest::RemoveProductKeys()
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, LocatorKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, ProductKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\HalvardWorks\\Marlinth");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\HalvardWorks");
}
