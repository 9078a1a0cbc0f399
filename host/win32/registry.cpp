// The registry calls, passed straight through; every key is below HKEY_LOCAL_MACHINE.
#include <windows.h>

#include "host/host.h"

static_assert(HostRegSz == REG_SZ && HostRegDword == REG_DWORD, "type codes match");
static_assert(HostKeyQueryValue == KEY_QUERY_VALUE && HostKeyWrite == KEY_WRITE, "access matches");
static_assert(HostKeyWow6464Key == KEY_WOW64_64KEY, "view flag matches");

long HostRegOpenKeyEx(const char* localMachineSubKey, uint32_t access, HostKey* key)
{
    HKEY opened = nullptr;
    LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, localMachineSubKey, 0, access, &opened);
    *key = reinterpret_cast<HostKey>(opened);
    return rc;
}

long HostRegQueryValueEx(HostKey key, const HostWideChar* name, uint32_t* type, void* data,
                         uint32_t* size)
{
    DWORD t = 0;
    DWORD n = *size;
    LONG rc = RegQueryValueExW(reinterpret_cast<HKEY>(key), reinterpret_cast<const WCHAR*>(name),
                               nullptr, &t, static_cast<BYTE*>(data), &n);
    *type = t;
    *size = n;
    return rc;
}

long HostRegSetValueEx(HostKey key, const char* name, uint32_t type, const void* data,
                       uint32_t size)
{
    return RegSetValueExA(reinterpret_cast<HKEY>(key), name, 0, type,
                          static_cast<const BYTE*>(data), size);
}

long HostRegSetValueExW(HostKey key, const HostWideChar* name, uint32_t type, const void* data,
                        uint32_t size)
{
    return RegSetValueExW(reinterpret_cast<HKEY>(key), reinterpret_cast<const WCHAR*>(name), 0,
                          type, static_cast<const BYTE*>(data), size);
}

long HostRegDeleteValue(HostKey key, const char* name)
{
    return RegDeleteValueA(reinterpret_cast<HKEY>(key), name);
}

void HostRegCloseKey(HostKey key)
{
    RegCloseKey(reinterpret_cast<HKEY>(key));
}
