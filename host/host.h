// Every operating-system call the program makes, one entry per call and nothing else.
// No platform header is included here, so the core builds and is tested natively.
#pragma once
#include <cstddef>
#include <cstdint>

typedef struct HostInstanceTag* HostInstance;  // the program's module
typedef struct HostWindowTag* HostWindow;      // a window handle
typedef struct HostKeyTag* HostKey;            // an open registry key
typedef struct HostFileTag* HostFile;          // an open file
typedef struct HostMemoryTag* HostMemory;      // a movable memory block
typedef struct HostFindTag* HostFind;          // a search for files by a pattern
typedef char16_t HostWideChar;                 // a UTF-16 code unit, as the platform's WCHAR

constexpr uint32_t HostNoAttributes = 0xFFFFFFFFu;  // the path does not exist
constexpr uint32_t HostAttributeReadOnly = 0x01;
constexpr uint32_t HostAttributeDirectory = 0x10;
constexpr uint32_t HostAttributeNormal = 0x80;

constexpr uint32_t HostRegSz = 1, HostRegExpandSz = 2, HostRegBinary = 3, HostRegDword = 4,
                   HostRegMultiSz = 7;
constexpr uint32_t HostKeyQueryValue = 0x0001, HostKeyWrite = 0x20006;
constexpr uint32_t HostKeyWow6464Key = 0x0100;  // the 64-bit registry view, from a 32-bit program
constexpr long HostSuccess = 0;
constexpr uint32_t HostErrorInvalidParameter = 87;  // among others: no process of that id

constexpr uint32_t HostSemFailCriticalErrors = 0x0001;
constexpr uint32_t HostCreateDefaultErrorMode = 0x04000000;
constexpr uint32_t HostGmemMoveableZeroInit = 0x0042;

constexpr uint32_t HostStdErrorHandle = 0xFFFFFFF4u;  // STD_ERROR_HANDLE, (DWORD)-12
constexpr uint32_t HostGenericRead = 0x80000000, HostGenericWrite = 0x40000000;
constexpr uint32_t HostFileShareRead = 0x1;
constexpr uint32_t HostCreateAlways = 2, HostOpenExisting = 3;
constexpr uint32_t HostMoveReplaceExisting = 0x1, HostMoveWriteThrough = 0x8;
constexpr uint32_t HostSynchronize = 0x00100000, HostWaitTimeout = 0x102;

constexpr uint32_t HostDriveRemovable = 2, HostDriveFixed = 3, HostDriveRemote = 4,
                   HostDriveCdrom = 5, HostDriveRamdisk = 6;

constexpr uint32_t HostCpAcp = 0;                 // the ANSI code page
constexpr uint32_t HostWcNoBestFitChars = 0x400;  // no look-alike for what a code page lacks
constexpr uint32_t HostLocaleSystemDefault = 0x800, HostLocaleIDefaultCodePage = 0x000B;

constexpr uint32_t HostWmInitDialog = 0x0110, HostWmCommand = 0x0111;
constexpr uint32_t HostMbIconError = 0x10;
constexpr uint32_t HostSwpNoSizeNoZOrder = 0x0005;
constexpr uint32_t HostOfnFlags = 0x1804;  // hide read-only, path and file must exist

struct HostRect {
    int32_t Left, Top, Right, Bottom;
};

// The fields of the open-file request that the program sets; the rest stay zero.
struct HostOpenFileRequest {
    HostWindow Owner;
    const HostWideChar* Filter;      // pairs of NUL-ended texts, ended by an empty text
    HostWideChar* File;              // in: the preset name; out: the chosen path
    uint32_t FileCapacity;           // in characters
    const HostWideChar* InitialDir;  // may be null
    const HostWideChar* Title;
    uint32_t Flags;
};

typedef intptr_t (*HostDialogProc)(HostWindow, uint32_t, uintptr_t, intptr_t);

// The process and its files (KERNEL32).
bool HostIsDbcsLeadByte(unsigned char byte);
uint32_t HostGetACP();
int HostGetLocaleInfo(uint32_t locale, uint32_t type, char* buffer, int capacity);
// Conversions between a code page and UTF-16, lengths in units with the terminator when
// length is -1; 0 on failure. usedDefault tells that a character had no form in codePage.
int HostMultiByteToWideChar(uint32_t codePage, const char* text, int length, HostWideChar* buffer,
                            int capacity);
int HostWideCharToMultiByte(uint32_t codePage, uint32_t flags, const HostWideChar* text, int length,
                            char* buffer, int capacity, bool* usedDefault);
uint32_t HostGetShortPathName(const HostWideChar* path, HostWideChar* buffer, uint32_t capacity);
uint32_t HostGetModuleFileName(HostWideChar* buffer, uint32_t capacity);
uint32_t HostGetCurrentDirectory(uint32_t capacity, HostWideChar* buffer);
uint32_t HostGetFullPathName(const HostWideChar* path, uint32_t capacity, HostWideChar* buffer);
uint32_t HostGetCurrentProcessId();
uint32_t HostGetLastError();
// The system's text for an error code, without inserts; its length, 0 when there is none.
uint32_t HostFormatMessage(uint32_t error, char* buffer, uint32_t capacity);
HostFile HostGetStdHandle(uint32_t which);  // null when the process has no such handle
uint32_t HostGetFileAttributes(const char* path);
uint32_t HostSetErrorMode(uint32_t mode);
uint32_t HostGetEnvironmentVariable(const char* name, char* buffer, uint32_t size);
uint32_t HostGetEnvironmentVariableW(const HostWideChar* name, HostWideChar* buffer, uint32_t size);
bool HostSetEnvironmentVariableW(const HostWideChar* name, const HostWideChar* value);
// The size the expanded text needs with its terminator, 0 on failure.
uint32_t HostExpandEnvironmentStrings(const HostWideChar* text, HostWideChar* buffer,
                                      uint32_t capacity);
HostMemory HostGlobalAlloc(uint32_t flags, uint32_t bytes);
void* HostGlobalLock(HostMemory block);
void HostGlobalUnlock(HostMemory block);
void HostGlobalFree(HostMemory block);
// Starting the tool and waiting for it (KERNEL32): with option W the tool starts suspended,
// with the standard handles the program has, goes into a job of its own that ends it when the
// program ends, and is awaited for its exit code.
typedef struct HostHandleTag* HostHandle;  // a process, thread or job object
constexpr uint32_t HostStdInputHandle = 0xFFFFFFF6u, HostStdOutputHandle = 0xFFFFFFF5u;
constexpr uint32_t HostCreateSuspended = 0x00000004;
constexpr uint32_t HostJobBreakawayOk = 0x0800, HostJobKillOnJobClose = 0x2000;
constexpr uint32_t HostAttachParentProcess = 0xFFFFFFFFu;
constexpr uint32_t HostInfinite = 0xFFFFFFFFu;
constexpr uint32_t HostWaitObject0 = 0;
constexpr uint32_t HostHandleFlagInherit = 0x1;
// The start record's standard handles, passed (STARTF_USESTDHANDLES, handles inherited) only
// when UseStdHandles is set; the child's process and thread handles come back, left open.
struct HostStart {
    bool UseStdHandles;
    HostFile StdInput, StdOutput, StdError;
    HostHandle Process, Thread;
};
// start may be null: a start record of zeros but for its size, and the handles left to close
// with the program.
bool HostCreateProcess(char* commandLine, uint32_t creationFlags, HostStart* start);
bool HostAttachConsole(uint32_t processId);
bool HostSetStdHandle(uint32_t which, HostFile file);
bool HostSetHandleInformation(HostFile file, uint32_t mask, uint32_t flags);
HostHandle HostCreateJobObject();  // unnamed, not inheritable; null when it fails
// SetInformationJobObject with the extended limits of which only the flags are set.
bool HostSetJobLimitFlags(HostHandle job, uint32_t limitFlags);
bool HostAssignProcessToJobObject(HostHandle job, HostHandle process);
uint32_t HostResumeThread(HostHandle thread);
uint32_t HostWaitForSingleObject(HostHandle object, uint32_t milliseconds);
bool HostGetExitCodeProcess(HostHandle process, uint32_t* exitCode);

HostFile HostCreateFile(const char* path, uint32_t access, uint32_t share, uint32_t disposition,
                        uint32_t attributes);  // null when it fails
bool HostWriteFile(HostFile file, const void* data, uint32_t bytes);
bool HostReadFile(HostFile file, void* buffer, uint32_t capacity, uint32_t* read);
bool HostGetConsoleMode(HostFile file);  // true when file is a console
bool HostWriteConsole(HostFile console, const HostWideChar* text, uint32_t length);
void HostCloseHandle(HostFile file);
bool HostMoveFileEx(const char* from, const char* to, uint32_t flags);
uint32_t HostGetLogicalDrives();  // bit 0 for A:, bit 1 for B:, ...
uint32_t HostGetDriveType(const char* root);
// The volume's label, in UTF-16 as the volume holds it, and its serial number; false when
// the drive has none to tell.
bool HostGetVolumeInformation(const char* root, HostWideChar* label, uint32_t labelCapacity,
                              uint32_t* serial);
bool HostDeleteFile(const char* path);
// The files whose names match pattern, one name at a time; null when none matches.
HostFind HostFindFirstFile(const char* pattern, char* name, uint32_t capacity);
bool HostFindNextFile(HostFind find, char* name, uint32_t capacity);
void HostFindClose(HostFind find);
HostHandle HostOpenProcess(uint32_t access, uint32_t processId);  // null when it fails
void HostCloseHandle(HostHandle object);

// The registry (ADVAPI32); every key is below HKEY_LOCAL_MACHINE.
long HostRegOpenKeyEx(const char* localMachineSubKey, uint32_t access, HostKey* key);
long HostRegQueryValueEx(HostKey key, const HostWideChar* name, uint32_t* type, void* data,
                         uint32_t* size);
long HostRegSetValueEx(HostKey key, const char* name, uint32_t type, const void* data,
                       uint32_t size);
long HostRegSetValueExW(HostKey key, const HostWideChar* name, uint32_t type, const void* data,
                        uint32_t size);
long HostRegDeleteValue(HostKey key, const char* name);
void HostRegCloseKey(HostKey key);

// Strings, dialogs and windows (USER32, COMDLG32).
int HostLoadString(HostInstance instance, uint32_t id, char* buffer, int capacity);
intptr_t HostDialogBoxParam(HostInstance instance, uint32_t templateId, HostWindow owner,
                            HostDialogProc proc, intptr_t param);
void HostEndDialog(HostWindow dialog, intptr_t result);
uint32_t HostGetDlgItemText(HostWindow dialog, int id, HostWideChar* buffer, int capacity);
void HostSetDlgItemText(HostWindow dialog, int id, const char* text);
void HostSetWindowText(HostWindow window, const char* text);
bool HostGetWindowRect(HostWindow window, HostRect* rect);
void HostSetWindowPos(HostWindow window, HostWindow insertAfter, int x, int y, int cx, int cy,
                      uint32_t flags);
HostWindow HostGetDesktopWindow();
int HostMessageBox(HostWindow owner, const char* text, const char* caption, uint32_t type);
bool HostGetOpenFileName(HostOpenFileRequest* request);
