// The tool both launchers start: it does nothing, so only the launching is measured.
#include <windows.h>

extern "C" void __stdcall IdleEntry()
{
    ExitProcess(0);
}
