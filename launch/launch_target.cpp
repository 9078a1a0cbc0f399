// Target launch: the last step of every run that starts a tool.
#include "launch/launch_target.h"

#include "host/host.h"
#include "launch/format_text.h"
#include "launch/path_text.h"
#include "launch/text.h"

void ExpandCommandTemplate(char (&out)[ChildCommandLineCapacity], const char* commandTemplate,
                           const char* probePath, const char* targetDir)
{
    char quotedProbe[ProbePathCapacity + 2];
    const char* first = probePath;
    if (StartsWith(commandTemplate, "%s") && *QuoteIfBlank(probePath) != '\0') {
        CopyText(quotedProbe, "\"");
        AppendText(quotedProbe, probePath);
        AppendText(quotedProbe, "\"");
        first = quotedProbe;
    }
    FormatText(out, commandTemplate, first, targetDir, targetDir, targetDir);
}

void PrefixPath()
{
    uint32_t oldSize = HostGetEnvironmentVariable("PATH", nullptr, 0);
    uint32_t length = static_cast<uint32_t>(TextLength(Launch.Location));
    uint32_t blockSize = length + oldSize + 2;
    HostMemory block = HostGlobalAlloc(HostGmemMoveableZeroInit, blockSize);
    if (block == nullptr)
        return;  // no room for the new value: the child gets the PATH as it was
    char* text = static_cast<char*>(HostGlobalLock(block));
    if (text != nullptr) {
        for (uint32_t i = 0; i < length; ++i)
            text[i] = Launch.Location[i];
        uint32_t used = length;
        if (oldSize != 0) {
            text[used++] = ';';
            uint32_t got = HostGetEnvironmentVariable("PATH", text + used, blockSize - used);
            if (got >= blockSize - used)
                text[used] = '\0';  // PATH grew in between: keep the location alone
        }
        HostSetEnvironmentVariable("PATH", text);
        HostGlobalUnlock(block);
    }
    HostGlobalFree(block);
}

void LaunchTarget()
{
    char targetDir[TargetDirCapacity];
    CopyText(targetDir, Launch.LocationDir);
    AppendText(targetDir, "\\");
    FormatText(Launch.ProbePath, "%s%s", targetDir, Launch.TargetFile);

    static char childCommandLine[ChildCommandLineCapacity];
    ExpandCommandTemplate(childCommandLine, Launch.CommandTemplate, Launch.ProbePath, targetDir);

    if (Launch.PathPrefix)
        PrefixPath();
    HostCreateProcess(childCommandLine, HostCreateDefaultErrorMode);
}
