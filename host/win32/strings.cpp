// String resources, read from the program's own string table.
#include <windows.h>

#include "host/host.h"

// The same lookup as LoadStringA (sixteen counted UTF-16 strings a block, converted to the
// ANSI code page and cut to the buffer), done with KERNEL32's resource calls so that runs
// which show no dialog never load USER32.
int HostLoadString(HostInstance instance, uint32_t id, char* buffer, int capacity)
{
    if (buffer == nullptr || capacity <= 0)
        return 0;
    buffer[0] = '\0';
    HMODULE module = reinterpret_cast<HMODULE>(instance);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA((id >> 4) + 1), MAKEINTRESOURCEA(6));
    if (found == nullptr)
        return 0;
    HGLOBAL loaded = LoadResource(module, found);
    const WCHAR* p = loaded != nullptr ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
    if (p == nullptr)
        return 0;
    for (uint32_t i = 0; i < (id & 15); ++i)
        p += 1 + *p;
    int length = *p;
    if (length == 0)
        return 0;
    char converted[2 * 1024 + 2];
    if (length > 1024)
        length = 1024;
    int n = WideCharToMultiByte(CP_ACP, 0, p + 1, length, converted, sizeof converted, nullptr,
                                nullptr);
    if (n > capacity - 1)
        n = capacity - 1;
    for (int i = 0; i < n; ++i)
        buffer[i] = converted[i];
    buffer[n] = '\0';
    return n;
}
