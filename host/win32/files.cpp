// Files, the environment and the process: KERNEL32, passed straight through.
#include <windows.h>

#include "host/host.h"

static_assert(HostNoAttributes == INVALID_FILE_ATTRIBUTES, "attribute codes match");
static_assert(HostAttributeDirectory == FILE_ATTRIBUTE_DIRECTORY, "attribute codes match");
static_assert(HostAttributeReadOnly == FILE_ATTRIBUTE_READONLY, "attribute codes match");
static_assert(HostSemFailCriticalErrors == SEM_FAILCRITICALERRORS, "error mode matches");
static_assert(HostCreateDefaultErrorMode == CREATE_DEFAULT_ERROR_MODE, "flags match");
static_assert(HostGmemMoveableZeroInit == (GMEM_MOVEABLE | GMEM_ZEROINIT), "flags match");
static_assert(HostGenericWrite == GENERIC_WRITE && HostCreateAlways == CREATE_ALWAYS, "match");
static_assert(HostGenericRead == GENERIC_READ && HostOpenExisting == OPEN_EXISTING, "match");
static_assert(HostFileShareRead == FILE_SHARE_READ, "sharing flag matches");
static_assert(HostMoveReplaceExisting == MOVEFILE_REPLACE_EXISTING, "flags match");
static_assert(HostSynchronize == SYNCHRONIZE && HostWaitTimeout == WAIT_TIMEOUT, "codes match");
static_assert(HostErrorInvalidParameter == ERROR_INVALID_PARAMETER, "error code matches");
static_assert(HostMoveWriteThrough == MOVEFILE_WRITE_THROUGH, "flags match");
static_assert(HostStdErrorHandle == STD_ERROR_HANDLE, "handle number matches");
static_assert(HostStdInputHandle == STD_INPUT_HANDLE && HostStdOutputHandle == STD_OUTPUT_HANDLE,
              "handle numbers match");
static_assert(HostCreateSuspended == CREATE_SUSPENDED && HostInfinite == INFINITE &&
                  HostWaitObject0 == WAIT_OBJECT_0 &&
                  HostAttachParentProcess == ATTACH_PARENT_PROCESS,
              "match");
static_assert(HostHandleFlagInherit == HANDLE_FLAG_INHERIT, "flag matches");
static_assert(HostJobBreakawayOk == JOB_OBJECT_LIMIT_BREAKAWAY_OK &&
                  HostJobKillOnJobClose == JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE,
              "job limits match");
static_assert(sizeof(HostWideChar) == sizeof(WCHAR), "UTF-16 code units");
static_assert(HostCpAcp == CP_ACP && HostWcNoBestFitChars == WC_NO_BEST_FIT_CHARS, "match");
static_assert(HostLocaleSystemDefault == LOCALE_SYSTEM_DEFAULT, "locale matches");
static_assert(HostDriveRemovable == DRIVE_REMOVABLE && HostDriveFixed == DRIVE_FIXED &&
                  HostDriveRemote == DRIVE_REMOTE && HostDriveCdrom == DRIVE_CDROM &&
                  HostDriveRamdisk == DRIVE_RAMDISK,
              "drive types match");
static_assert(HostLocaleIDefaultCodePage == LOCALE_IDEFAULTCODEPAGE, "locale field matches");

namespace {

WCHAR* W(HostWideChar* text)
{
    return reinterpret_cast<WCHAR*>(text);
}

const WCHAR* W(const HostWideChar* text)
{
    return reinterpret_cast<const WCHAR*>(text);
}

}  // namespace

bool HostIsDbcsLeadByte(unsigned char value)
{
    return IsDBCSLeadByte(value) != 0;
}

uint32_t HostGetACP()
{
    return GetACP();
}

int HostGetLocaleInfo(uint32_t locale, uint32_t type, char* buffer, int capacity)
{
    return GetLocaleInfoA(locale, type, buffer, capacity);
}

int HostMultiByteToWideChar(uint32_t codePage, const char* text, int length, HostWideChar* buffer,
                            int capacity)
{
    return MultiByteToWideChar(codePage, 0, text, length, W(buffer), capacity);
}

int HostWideCharToMultiByte(uint32_t codePage, uint32_t flags, const HostWideChar* text, int length,
                            char* buffer, int capacity, bool* usedDefault)
{
    BOOL used = FALSE;
    int n = WideCharToMultiByte(codePage, flags, W(text), length, buffer, capacity, nullptr, &used);
    *usedDefault = used != FALSE;
    return n;
}

uint32_t HostGetShortPathName(const HostWideChar* path, HostWideChar* buffer, uint32_t capacity)
{
    return GetShortPathNameW(W(path), W(buffer), capacity);
}

uint32_t HostGetModuleFileName(HostWideChar* buffer, uint32_t capacity)
{
    return GetModuleFileNameW(nullptr, W(buffer), capacity);
}

uint32_t HostGetCurrentDirectory(uint32_t capacity, HostWideChar* buffer)
{
    return GetCurrentDirectoryW(capacity, W(buffer));
}

uint32_t HostGetFullPathName(const HostWideChar* path, uint32_t capacity, HostWideChar* buffer)
{
    return GetFullPathNameW(W(path), capacity, W(buffer), nullptr);
}

uint32_t HostGetCurrentProcessId()
{
    return GetCurrentProcessId();
}

uint32_t HostGetLastError()
{
    return GetLastError();
}

uint32_t HostFormatMessage(uint32_t error, char* buffer, uint32_t capacity)
{
    return FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                          error, 0, buffer, capacity, nullptr);
}

HostFile HostGetStdHandle(uint32_t which)
{
    HANDLE handle = GetStdHandle(which);
    return handle == INVALID_HANDLE_VALUE ? nullptr : reinterpret_cast<HostFile>(handle);
}

uint32_t HostGetFileAttributes(const char* path)
{
    return GetFileAttributesA(path);
}

uint32_t HostSetErrorMode(uint32_t mode)
{
    return SetErrorMode(mode);
}

uint32_t HostGetEnvironmentVariable(const char* name, char* buffer, uint32_t size)
{
    return GetEnvironmentVariableA(name, buffer, size);
}

uint32_t HostGetEnvironmentVariableW(const HostWideChar* name, HostWideChar* buffer, uint32_t size)
{
    return GetEnvironmentVariableW(W(name), W(buffer), size);
}

bool HostSetEnvironmentVariableW(const HostWideChar* name, const HostWideChar* value)
{
    return SetEnvironmentVariableW(W(name), W(value)) != 0;
}

uint32_t HostExpandEnvironmentStrings(const HostWideChar* text, HostWideChar* buffer,
                                      uint32_t capacity)
{
    return ExpandEnvironmentStringsW(W(text), W(buffer), capacity);
}

HostMemory HostGlobalAlloc(uint32_t flags, uint32_t bytes)
{
    return reinterpret_cast<HostMemory>(GlobalAlloc(flags, bytes));
}

void* HostGlobalLock(HostMemory block)
{
    return GlobalLock(reinterpret_cast<HGLOBAL>(block));
}

void HostGlobalUnlock(HostMemory block)
{
    GlobalUnlock(reinterpret_cast<HGLOBAL>(block));
}

void HostGlobalFree(HostMemory block)
{
    GlobalFree(reinterpret_cast<HGLOBAL>(block));
}

// Without a start request: a start record of zeros but for its size, and the child's handles
// left to close with us.
bool HostCreateProcess(char* commandLine, uint32_t creationFlags, HostStart* start)
{
    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    ZeroMemory(&startup, sizeof startup);
    ZeroMemory(&process, sizeof process);
    startup.cb = sizeof startup;
    bool inherit = start != nullptr && start->UseStdHandles;
    if (inherit) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = reinterpret_cast<HANDLE>(start->StdInput);
        startup.hStdOutput = reinterpret_cast<HANDLE>(start->StdOutput);
        startup.hStdError = reinterpret_cast<HANDLE>(start->StdError);
    }
    bool ok = CreateProcessA(nullptr, commandLine, nullptr, nullptr, inherit ? TRUE : FALSE,
                             creationFlags, nullptr, nullptr, &startup, &process) != 0;
    if (start != nullptr) {
        start->Process = reinterpret_cast<HostHandle>(process.hProcess);
        start->Thread = reinterpret_cast<HostHandle>(process.hThread);
    }
    return ok;
}

bool HostAttachConsole(uint32_t processId)
{
    return AttachConsole(processId) != 0;
}

bool HostSetStdHandle(uint32_t which, HostFile file)
{
    return SetStdHandle(which, reinterpret_cast<HANDLE>(file)) != 0;
}

bool HostSetHandleInformation(HostFile file, uint32_t mask, uint32_t flags)
{
    return SetHandleInformation(reinterpret_cast<HANDLE>(file), mask, flags) != 0;
}

HostHandle HostCreateJobObject()
{
    return reinterpret_cast<HostHandle>(CreateJobObjectA(nullptr, nullptr));
}

bool HostSetJobLimitFlags(HostHandle job, uint32_t limitFlags)
{
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
    ZeroMemory(&limits, sizeof limits);
    limits.BasicLimitInformation.LimitFlags = limitFlags;
    return SetInformationJobObject(reinterpret_cast<HANDLE>(job), JobObjectExtendedLimitInformation,
                                   &limits, sizeof limits) != 0;
}

bool HostAssignProcessToJobObject(HostHandle job, HostHandle process)
{
    return AssignProcessToJobObject(reinterpret_cast<HANDLE>(job),
                                    reinterpret_cast<HANDLE>(process)) != 0;
}

uint32_t HostResumeThread(HostHandle thread)
{
    return ResumeThread(reinterpret_cast<HANDLE>(thread));
}

uint32_t HostWaitForSingleObject(HostHandle object, uint32_t milliseconds)
{
    return WaitForSingleObject(reinterpret_cast<HANDLE>(object), milliseconds);
}

bool HostGetExitCodeProcess(HostHandle process, uint32_t* exitCode)
{
    DWORD code = 0;
    bool ok = GetExitCodeProcess(reinterpret_cast<HANDLE>(process), &code) != 0;
    *exitCode = code;
    return ok;
}

HostFile HostCreateFile(const char* path, uint32_t access, uint32_t share, uint32_t disposition,
                        uint32_t attributes)
{
    HANDLE file = CreateFileA(path, access, share, nullptr, disposition, attributes, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : reinterpret_cast<HostFile>(file);
}

bool HostWriteFile(HostFile file, const void* data, uint32_t bytes)
{
    DWORD written = 0;
    return WriteFile(reinterpret_cast<HANDLE>(file), data, bytes, &written, nullptr) != 0 &&
           written == bytes;
}

bool HostReadFile(HostFile file, void* buffer, uint32_t capacity, uint32_t* read)
{
    DWORD got = 0;
    bool ok = ReadFile(reinterpret_cast<HANDLE>(file), buffer, capacity, &got, nullptr) != 0;
    *read = got;
    return ok;
}

bool HostGetConsoleMode(HostFile file)
{
    DWORD mode = 0;
    return GetConsoleMode(reinterpret_cast<HANDLE>(file), &mode) != 0;
}

bool HostWriteConsole(HostFile console, const HostWideChar* text, uint32_t length)
{
    DWORD written = 0;
    return WriteConsoleW(reinterpret_cast<HANDLE>(console), W(text), length, &written, nullptr) !=
           0;
}

void HostCloseHandle(HostFile file)
{
    CloseHandle(reinterpret_cast<HANDLE>(file));
}

bool HostMoveFileEx(const char* from, const char* to, uint32_t flags)
{
    return MoveFileExA(from, to, flags) != 0;
}

uint32_t HostGetLogicalDrives()
{
    return GetLogicalDrives();
}

uint32_t HostGetDriveType(const char* root)
{
    return GetDriveTypeA(root);
}

bool HostGetVolumeInformation(const char* root, HostWideChar* label, uint32_t labelCapacity,
                              uint32_t* serial)
{
    WCHAR wideRoot[4] = {};
    for (int i = 0; i < 3 && root[i] != '\0'; ++i)
        wideRoot[i] = static_cast<WCHAR>(static_cast<unsigned char>(root[i]));
    DWORD number = 0;
    bool ok = GetVolumeInformationW(wideRoot, W(label), labelCapacity, &number, nullptr, nullptr,
                                    nullptr, 0) != 0;
    *serial = number;
    return ok;
}

bool HostDeleteFile(const char* path)
{
    return DeleteFileA(path) != 0;
}

HostFind HostFindFirstFile(const char* pattern, char* name, uint32_t capacity)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(pattern, &found);
    if (find == INVALID_HANDLE_VALUE)
        return nullptr;
    lstrcpynA(name, found.cFileName, static_cast<int>(capacity));
    return reinterpret_cast<HostFind>(find);
}

bool HostFindNextFile(HostFind find, char* name, uint32_t capacity)
{
    WIN32_FIND_DATAA found;
    if (FindNextFileA(reinterpret_cast<HANDLE>(find), &found) == 0)
        return false;
    lstrcpynA(name, found.cFileName, static_cast<int>(capacity));
    return true;
}

void HostFindClose(HostFind find)
{
    FindClose(reinterpret_cast<HANDLE>(find));
}

HostHandle HostOpenProcess(uint32_t access, uint32_t processId)
{
    return reinterpret_cast<HostHandle>(OpenProcess(access, FALSE, processId));
}

void HostCloseHandle(HostHandle object)
{
    CloseHandle(reinterpret_cast<HANDLE>(object));
}
