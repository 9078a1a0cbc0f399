// The program's windows, found by process, class and owner, and real input through the X
// server: keystrokes and screenshots.
#include "e2e_support.h"

// ---------------------------------------------------------------------------------------
// Windows

namespace {

struct WindowSearch {
    DWORD Pid;
    HWND Owner;
    const char* ClassName;
    const char* Caption;
    HWND Found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (pid == search->Pid && IsWindowVisible(window) &&
        GetWindow(window, GW_OWNER) == search->Owner && lstrcmpA(name, search->ClassName) == 0 &&
        (search->Caption == nullptr || E2eTest::WindowText(window) == search->Caption)) {
        search->Found = window;
        return FALSE;
    }
    return TRUE;
}

struct ChildSearch {
    const char* ClassName;
    HWND Found;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<ChildSearch*>(param);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, search->ClassName) != 0)
        return TRUE;
    search->Found = window;
    return FALSE;
}

}  // namespace

HWND E2eTest::WaitForWindow(const char* file, int line, const ProgramRun* run, HWND owner,
                            const char* className, const char* caption, DWORD timeoutMs)
{
    if (run == nullptr) {
        ADD_FAILURE_AT(file, line) << "no run to look at";
        return nullptr;
    }
    for (DWORD waited = 0; waited <= timeoutMs; waited += 50) {
        WindowSearch search{run->Pid, owner, className, caption, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.Found != nullptr) {
            Settle(search.Found);
            return search.Found;
        }
        if (WaitForSingleObject(run->Process, 50) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(run->Process, &code);
            ADD_FAILURE_AT(file, line) << "the program ended with " << code << " before a "
                                       << className << " window " << (caption ? caption : "");
            return nullptr;
        }
    }
    ADD_FAILURE_AT(file, line) << "no " << className << " window " << (caption ? caption : "")
                               << " within " << timeoutMs << " ms";
    return nullptr;
}

bool E2eTest::WaitUntilGone(HWND window, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited <= timeoutMs; waited += 50) {
        if (!IsWindow(window) || !IsWindowVisible(window))
            return true;
        Sleep(50);
    }
    return false;
}

std::string E2eTest::WindowText(HWND window)
{
    wchar_t text[2048] = L"";
    SendMessageTimeoutW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                        MessageWaitMs, nullptr);
    return Utf8(text);
}

std::string E2eTest::ItemText(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

void E2eTest::SetItem(HWND dialog, int id, const std::string& text)
{
    DWORD_PTR result = 0;
    const std::wstring wide = Utf16(text);
    SendMessageTimeoutW(GetDlgItem(dialog, id), WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(wide.c_str()), SMTO_NORMAL, MessageWaitMs,
                        &result);
}

HWND E2eTest::FindChild(HWND parent, const char* className)
{
    ChildSearch search{className, nullptr};
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

std::vector<HWND> E2eTest::VisibleChildren(HWND parent, const char* className)
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

RECT E2eTest::WindowRect(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

void E2eTest::Settle(HWND window)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, MessageWaitMs, &result);
}

HWND E2eTest::FocusOf(HWND window)
{
    Settle(window);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

HWND E2eTest::WaitForFocus(HWND window, HWND expected, DWORD timeoutMs)
{
    HWND focus = FocusOf(window);
    for (DWORD waited = 0; focus != expected && waited < timeoutMs; waited += 50) {
        Sleep(50);
        focus = FocusOf(window);
    }
    return focus;
}

bool E2eTest::Keys(const char* file, int line, HWND window, const std::string& actions)
{
    Settle(window);
    auto xWindow = reinterpret_cast<uintptr_t>(GetPropA(window, "__wine_x11_whole_window"));
    if (xWindow == 0) {
        ADD_FAILURE_AT(file, line) << "the window has no X window";
        return false;
    }
    bool ok = RunUnix(file, line,
                      "xdotool windowfocus --sync " + std::to_string(xWindow) + " " + actions) == 0;
    Settle(window);
    return ok;
}

bool E2eTest::Screenshot(const char* file, int line, HWND window, const std::string& name)
{
    std::string dir = UnixPath(Env("NRTEST_SHOTS"));
    if (dir.empty()) {
        ADD_FAILURE_AT(file, line) << "no screenshot folder";
        return false;
    }
    // Drawing reaches the X server a little after the window's thread has painted.
    Settle(window);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    Settle(window);
    Sleep(500);
    return RunUnix(file, line, "import -window root '" + dir + "/" + name + ".png'") == 0;
}
