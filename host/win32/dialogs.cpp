// Dialogs, windows and the open-file dialog (USER32, COMDLG32), passed straight through.
// Both libraries are loaded on first use: a run that finds its target never needs them,
// and loading them costs more than the whole rest of such a run.
#include <windows.h>
#include <commdlg.h>

#include "host/host.h"

static_assert(HostWmInitDialog == WM_INITDIALOG && HostWmCommand == WM_COMMAND, "match");
static_assert(HostMbIconError == (MB_OK | MB_ICONERROR), "message box style matches");
static_assert(HostSwpNoSizeNoZOrder == (SWP_NOSIZE | SWP_NOZORDER), "flags match");
static_assert(HostOfnFlags == (OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST), "match");

namespace {

template <typename Function>
Function Resolve(const char* library, const char* name)
{
    HMODULE module = GetModuleHandleA(library);
    if (module == nullptr)
        module = LoadLibraryA(library);
    if (module == nullptr)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Looks the function up once and keeps it; a missing library or entry gives null.
#define USER32_CALL(type, name) static type name##Fn = Resolve<type>("user32.dll", #name)

HWND Hwnd(HostWindow window)
{
    return reinterpret_cast<HWND>(window);
}

HostDialogProc ActiveProc = nullptr;

INT_PTR CALLBACK Trampoline(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ActiveProc(reinterpret_cast<HostWindow>(dialog), message, wParam, lParam);
}

}  // namespace

intptr_t HostDialogBoxParam(HostInstance instance, uint32_t templateId, HostWindow owner,
                            HostDialogProc proc, intptr_t param)
{
    using Fn = INT_PTR(WINAPI*)(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM);
    USER32_CALL(Fn, DialogBoxParamA);
    if (DialogBoxParamAFn == nullptr)
        return -1;
    ActiveProc = proc;
    return DialogBoxParamAFn(reinterpret_cast<HINSTANCE>(instance), MAKEINTRESOURCEA(templateId),
                             Hwnd(owner), Trampoline, param);
}

void HostEndDialog(HostWindow dialog, intptr_t result)
{
    using Fn = BOOL(WINAPI*)(HWND, INT_PTR);
    USER32_CALL(Fn, EndDialog);
    if (EndDialogFn != nullptr)
        EndDialogFn(Hwnd(dialog), result);
}

uint32_t HostGetDlgItemText(HostWindow dialog, int id, HostWideChar* buffer, int capacity)
{
    using Fn = UINT(WINAPI*)(HWND, int, LPWSTR, int);
    USER32_CALL(Fn, GetDlgItemTextW);
    return GetDlgItemTextWFn != nullptr
               ? GetDlgItemTextWFn(Hwnd(dialog), id, reinterpret_cast<WCHAR*>(buffer), capacity)
               : 0;
}

void HostSetDlgItemText(HostWindow dialog, int id, const char* text)
{
    using Fn = BOOL(WINAPI*)(HWND, int, LPCSTR);
    USER32_CALL(Fn, SetDlgItemTextA);
    if (SetDlgItemTextAFn != nullptr)
        SetDlgItemTextAFn(Hwnd(dialog), id, text);
}

void HostSetWindowText(HostWindow window, const char* text)
{
    using Fn = BOOL(WINAPI*)(HWND, LPCSTR);
    USER32_CALL(Fn, SetWindowTextA);
    if (SetWindowTextAFn != nullptr)
        SetWindowTextAFn(Hwnd(window), text);
}

bool HostGetWindowRect(HostWindow window, HostRect* rect)
{
    using Fn = BOOL(WINAPI*)(HWND, LPRECT);
    USER32_CALL(Fn, GetWindowRect);
    RECT r{};
    if (GetWindowRectFn == nullptr || !GetWindowRectFn(Hwnd(window), &r))
        return false;
    *rect = HostRect{r.left, r.top, r.right, r.bottom};
    return true;
}

void HostSetWindowPos(HostWindow window, HostWindow insertAfter, int x, int y, int cx, int cy,
                      uint32_t flags)
{
    using Fn = BOOL(WINAPI*)(HWND, HWND, int, int, int, int, UINT);
    USER32_CALL(Fn, SetWindowPos);
    if (SetWindowPosFn != nullptr)
        SetWindowPosFn(Hwnd(window), Hwnd(insertAfter), x, y, cx, cy, flags);
}

HostWindow HostGetDesktopWindow()
{
    using Fn = HWND(WINAPI*)();
    USER32_CALL(Fn, GetDesktopWindow);
    return GetDesktopWindowFn != nullptr ? reinterpret_cast<HostWindow>(GetDesktopWindowFn())
                                         : nullptr;
}

int HostMessageBox(HostWindow owner, const char* text, const char* caption, uint32_t type)
{
    using Fn = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT);
    USER32_CALL(Fn, MessageBoxA);
    return MessageBoxAFn != nullptr ? MessageBoxAFn(Hwnd(owner), text, caption, type) : 0;
}

// The request as the oldest open-file dialog knows it, without the later fields.
bool HostGetOpenFileName(HostOpenFileRequest* request)
{
    using Fn = BOOL(WINAPI*)(LPOPENFILENAMEW);
    static Fn GetOpenFileNameWFn = Resolve<Fn>("comdlg32.dll", "GetOpenFileNameW");
    if (GetOpenFileNameWFn == nullptr)
        return false;
    OPENFILENAMEW ofn;
    ZeroMemory(&ofn, sizeof ofn);
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    ofn.hwndOwner = Hwnd(request->Owner);
    ofn.lpstrFilter = reinterpret_cast<const WCHAR*>(request->Filter);
    ofn.lpstrFile = reinterpret_cast<WCHAR*>(request->File);
    ofn.nMaxFile = request->FileCapacity;
    ofn.lpstrInitialDir = reinterpret_cast<const WCHAR*>(request->InitialDir);
    ofn.lpstrTitle = reinterpret_cast<const WCHAR*>(request->Title);
    ofn.Flags = request->Flags;
    return GetOpenFileNameWFn(&ofn) == TRUE;
}
