// The command-line tail as a GUI entry point receives it.
#include "base/command_tail.h"

#include "host/host.h"

namespace {

inline unsigned char Byte(const char* p)
{
    return static_cast<unsigned char>(*p);
}

}  // namespace

const char* CutCommandTail(const char* commandLine)
{
    const char* p = commandLine;
    if (*p == '"') {
        // A quoted name runs to the next double quote, which goes with it. A double-byte
        // character's trail byte may look like a quote, so a lead byte takes it along.
        ++p;
        while (*p != '\0' && *p != '"') {
            if (HostIsDbcsLeadByte(Byte(p)) && p[1] != '\0')
                ++p;
            ++p;
        }
        if (*p == '"')
            ++p;
    } else {
        while (Byte(p) > 0x20)
            ++p;
    }
    while (*p != '\0' && Byte(p) <= 0x20)
        ++p;
    return p;
}
