// The program's entry: the tail is cut from the full command line by our own rule, and the
// run's exit code ends the process. No C runtime start-up code runs before it.
#include <windows.h>

#include "base/command_tail.h"
#include "res/strings.h"
#include "run/launch_sequence.h"

// Found by identification tools in the program file; nothing reads it.
__attribute__((used)) char IdentificationText[] = STR_IDENTIFICATION;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR tail, int)
{
    return RunLauncher(reinterpret_cast<HostInstance>(instance), tail);
}

extern "C" void __stdcall NrcdromEntry()
{
    // Keeps the identification text in the file; the linker would drop what nothing uses.
    __asm__ volatile("" : : "r"(IdentificationText));
    HINSTANCE instance = GetModuleHandleA(nullptr);
    const char* tail = CutCommandTail(GetCommandLineA());
    ExitProcess(
        static_cast<UINT>(WinMain(instance, nullptr, const_cast<LPSTR>(tail), SW_SHOWDEFAULT)));
}
