// The dialog helpers: plain Win32 calls on the program's windows, and Unix commands
// (xdotool, ImageMagick) that Wine starts for us when asked to run a Unix executable.
#include "dialog_support.h"

namespace {

struct OwnedSearch {
    DWORD Pid;
    HWND Owner;
    HWND Found;
};

bool IsDialogClass(HWND window)
{
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    return lstrcmpA(name, "#32770") == 0;
}

BOOL CALLBACK MatchOwned(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<OwnedSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->Pid && IsWindowVisible(window) && IsDialogClass(window) &&
        GetWindow(window, GW_OWNER) == search->Owner) {
        search->Found = window;
        return FALSE;
    }
    return TRUE;
}

// Gives up early once the process has ended.
HWND WaitForOwnedBy(HANDLE process, DWORD pid, HWND owner, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited <= timeoutMs; waited += 50) {
        OwnedSearch search{pid, owner, nullptr};
        EnumWindows(MatchOwned, reinterpret_cast<LPARAM>(&search));
        if (search.Found != nullptr)
            return search.Found;
        if (process == nullptr)
            Sleep(50);
        else if (WaitForSingleObject(process, 50) == WAIT_OBJECT_0)
            return nullptr;
    }
    return nullptr;
}

struct ChildSearch {
    const char* ClassName;
    bool NeedText;
    HWND Found;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<ChildSearch*>(param);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, search->ClassName) != 0)
        return TRUE;
    if (search->NeedText && GetWindowTextLengthA(window) == 0)
        return TRUE;
    search->Found = window;
    return FALSE;
}

// Lets the program's thread handle everything queued before, so that what the test reads
// next is what that thread has done.
void Settle(HWND window)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
}

}  // namespace

void DialogFixture::SetUp()
{
    E2eTest::SetUp();
    program_ = InstallProgram(In("prog"));
    MakeDir(Media());
    MakeDir(Cwd());
}

void DialogFixture::TearDown()
{
    if (process_ != nullptr) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
        CloseHandle(process_);
        process_ = nullptr;
    }
    E2eTest::TearDown();
}

HWND DialogFixture::OpenDialog(const std::string& tail, const char* file, int line)
{
    ::testing::ScopedTrace trace(file, line, "opening the dialog with tail \"" + tail + "\"");
    HANDLE process = nullptr;
    RunResult started = Start(program_, tail, Cwd(), 0, &process);
    if (process == nullptr)
        return nullptr;
    process_ = process;
    pid_ = started.ProcessId;
    HWND dialog = WaitForOwnedBy(process_, pid_, nullptr, 20000);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_, &code);
    if (dialog == nullptr && code != STILL_ACTIVE)
        ADD_FAILURE_AT(file, line) << "the program ended with " << code << " and no dialog";
    else if (dialog == nullptr)
        ADD_FAILURE_AT(file, line) << "no location dialog appeared";
    else
        Settle(dialog);
    return dialog;
}

DWORD DialogFixture::ExitCode(const char* file, int line)
{
    if (process_ == nullptr) {
        ADD_FAILURE_AT(file, line) << "no program running";
        return 0xFFFFFFFF;
    }
    HANDLE process = process_;
    process_ = nullptr;
    DWORD code = 0xFFFFFFFF;
    if (WaitForSingleObject(process, 20000) != WAIT_OBJECT_0) {
        ADD_FAILURE_AT(file, line) << "the program did not end";
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 5000);
    } else {
        GetExitCodeProcess(process, &code);
    }
    CloseHandle(process);
    return code;
}

HWND DialogFixture::WaitForOwned(HWND owner, DWORD timeoutMs) const
{
    return WaitForOwnedBy(process_, pid_, owner, timeoutMs);
}

bool DialogFixture::WaitUntilGone(HWND window, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited <= timeoutMs; waited += 50) {
        if (!IsWindow(window) || !IsWindowVisible(window))
            return true;
        Sleep(50);
    }
    return false;
}

HWND DialogFixture::FocusOf(HWND window)
{
    Settle(window);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

HWND DialogFixture::WaitForFocus(HWND window, HWND expected, DWORD timeoutMs)
{
    HWND focus = FocusOf(window);
    for (DWORD waited = 0; focus != expected && waited < timeoutMs; waited += 50) {
        Sleep(50);
        focus = FocusOf(window);
    }
    return focus;
}

std::string DialogFixture::WaitForItemText(HWND dialog, int id, const std::string& expected,
                                           DWORD timeoutMs)
{
    std::string text = ItemText(dialog, id);
    for (DWORD waited = 0; text != expected && waited < timeoutMs; waited += 50) {
        Sleep(50);
        text = ItemText(dialog, id);
    }
    return text;
}

std::vector<HWND> DialogFixture::VisibleChildren(HWND parent, const char* className)
{
    std::vector<HWND> found;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = "";
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, className) == 0 && IsWindowVisible(child))
            found.push_back(child);
    }
    return found;
}

HWND DialogFixture::FindChild(HWND parent, const char* className)
{
    ChildSearch search{className, false, nullptr};
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

std::string DialogFixture::ChildText(HWND parent, const char* className)
{
    ChildSearch search{className, true, nullptr};
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.Found != nullptr ? WindowText(search.Found) : std::string();
}

void DialogFixture::SetItem(HWND dialog, int id, const std::string& text)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, id), WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, &result);
}

RECT DialogFixture::WindowRect(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

std::string DialogFixture::UnixPath(const std::string& windowsPath)
{
    using Fn = char*(CDECL*)(LPCWSTR);
    static Fn toUnix = reinterpret_cast<Fn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (toUnix == nullptr)
        return std::string();
    std::vector<wchar_t> wide(windowsPath.size() + 1);
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide.data(),
                        static_cast<int>(wide.size()));
    char* unixName = toUnix(wide.data());
    if (unixName == nullptr)
        return std::string();
    std::string result = unixName;
    HeapFree(GetProcessHeap(), 0, unixName);
    return result;
}

// Wine starts a Unix executable but hands back no process to wait for, so the command
// leaves its status in a file, written whole by a rename, and the driver waits for that.
int DialogFixture::RunUnix(const std::string& command, DWORD timeoutMs)
{
    std::string base = In("unix" + std::to_string(++unixRuns_));
    std::string done = base + ".done";
    std::string unixBase = UnixPath(base);
    if (unixBase.empty()) {
        ADD_FAILURE() << "no Unix path for " << base;
        return -1;
    }
    std::string line = "Z:\\bin\\sh -c \"(" + command + ") >'" + unixBase + ".log' 2>&1; echo $? >'" +
                       unixBase + ".part'; mv '" + unixBase + ".part' '" + unixBase + ".done'\"";
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        ADD_FAILURE() << "cannot start /bin/sh (error " << GetLastError() << ")";
        return -1;
    }
    if (info.hThread != nullptr)
        CloseHandle(info.hThread);
    if (info.hProcess != nullptr)
        CloseHandle(info.hProcess);
    for (DWORD waited = 0; waited <= timeoutMs; waited += 50) {
        bool exists = false;
        std::string status = ReadFileText(done, &exists);
        if (exists) {
            int code = atoi(status.c_str());
            if (code != 0)
                ADD_FAILURE() << command << "\nended with " << code << ":\n"
                              << ReadFileText(base + ".log");
            return code;
        }
        Sleep(50);
    }
    ADD_FAILURE() << command << "\ndid not end within " << timeoutMs << " ms";
    return -1;
}

bool DialogFixture::Keys(HWND window, const std::string& actions, const char* file, int line)
{
    ::testing::ScopedTrace trace(file, line, "xdotool " + actions);
    Settle(window);
    auto xWindow = reinterpret_cast<uintptr_t>(GetPropA(window, "__wine_x11_whole_window"));
    if (xWindow == 0) {
        ADD_FAILURE_AT(file, line) << "the window has no X window";
        return false;
    }
    bool ok = RunUnix("xdotool windowfocus --sync " + std::to_string(xWindow) + " " + actions) == 0;
    Settle(window);
    return ok;
}

bool DialogFixture::Screenshot(HWND window, const std::string& name, const char* file, int line)
{
    ::testing::ScopedTrace trace(file, line, "screenshot " + name);
    std::string dir = UnixPath(Env("NRTEST_SHOTS"));
    if (dir.empty()) {
        ADD_FAILURE_AT(file, line) << "no screenshot folder";
        return false;
    }
    // Drawing reaches the X server a little after the window's thread has painted.
    Settle(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    Settle(window);
    Sleep(500);
    return RunUnix("import -window root '" + dir + "/" + name + ".png'") == 0;
}
