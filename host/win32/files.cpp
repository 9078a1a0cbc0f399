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
static_assert(HostMoveWriteThrough == MOVEFILE_WRITE_THROUGH, "flags match");
static_assert(HostStdErrorHandle == STD_ERROR_HANDLE, "handle number matches");

bool HostIsDbcsLeadByte(unsigned char value)
{
    return IsDBCSLeadByte(value) != 0;
}

uint32_t HostGetModuleFileName(char* buffer, uint32_t capacity)
{
    return GetModuleFileNameA(nullptr, buffer, capacity);
}

uint32_t HostGetCurrentDirectory(uint32_t capacity, char* buffer)
{
    return GetCurrentDirectoryA(capacity, buffer);
}

uint32_t HostGetFullPathName(const char* path, uint32_t capacity, char* buffer)
{
    return GetFullPathNameA(path, capacity, buffer, nullptr);
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

bool HostSetEnvironmentVariable(const char* name, const char* value)
{
    return SetEnvironmentVariableA(name, value) != 0;
}

uint32_t HostExpandEnvironmentStrings(const char* text, char* buffer, uint32_t capacity)
{
    return ExpandEnvironmentStringsA(text, buffer, capacity);
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

// A start record of zeros but for its size; the child's handles are left to close with us.
bool HostCreateProcess(char* commandLine, uint32_t creationFlags)
{
    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    ZeroMemory(&startup, sizeof startup);
    ZeroMemory(&process, sizeof process);
    startup.cb = sizeof startup;
    return CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, creationFlags, nullptr,
                          nullptr, &startup, &process) != 0;
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

void HostCloseHandle(HostFile file)
{
    CloseHandle(reinterpret_cast<HANDLE>(file));
}

bool HostMoveFileEx(const char* from, const char* to, uint32_t flags)
{
    return MoveFileExA(from, to, flags) != 0;
}

bool HostDeleteFile(const char* path)
{
    return DeleteFileA(path) != 0;
}
