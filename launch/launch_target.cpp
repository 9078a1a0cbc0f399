// Target launch: the last step of every run that starts a tool.
#include "launch/launch_target.h"

#include "host/host.h"
#include "base/format_text.h"
#include "base/path_text.h"
#include "launch/run_report.h"
#include "base/text.h"
#include "base/wide_text.h"

namespace {

bool EndsWord(char c)
{
    return c == '\0' || IsBlank(c);
}

}  // namespace

void ExpandCommandTemplate(char (&out)[ChildCommandLineCapacity], const char* commandTemplate,
                           const char* probePath, const char* targetDir)
{
    // A template that begins with %s starts a program at or below the target's path. When
    // that path holds a blank or tab, the template's whole first word goes in double quotes,
    // so that what follows %s (as in %s\tool.exe) stays part of the program's name; a first
    // word with a double quote of its own is quoted as its author meant.
    char quoted[TemplateCapacity + 2];
    const char* format = commandTemplate;
    if (StartsWith(commandTemplate, "%s") && *QuoteIfBlank(probePath) != '\0') {
        size_t word = 0;
        bool hasQuote = false;
        while (!EndsWord(commandTemplate[word])) {
            hasQuote = hasQuote || commandTemplate[word] == '"';
            word += CharLength(commandTemplate + word);
        }
        if (!hasQuote) {
            TextBuilder text(quoted, sizeof quoted);
            text.Put('"');
            for (size_t i = 0; i < word; ++i)
                text.Put(commandTemplate[i]);
            text.Put('"');
            text.Append(commandTemplate + word);
            format = quoted;
        }
    }
    FormatText(out, format, probePath, targetDir, targetDir, targetDir);
}

// In UTF-16 throughout, so that old entries the ANSI code page cannot spell, and the
// characters of a double-byte one, reach the child whole.
void PrefixPath()
{
    static HostWideChar location[WidePathCapacity];
    if (!Widen(Launch.Location, location))
        return;
    uint32_t length = static_cast<uint32_t>(WideLength(location));
    uint32_t oldSize = HostGetEnvironmentVariableW(u"PATH", nullptr, 0);
    if (length + oldSize > EnvironmentValueLimit)
        return;  // Location, ";" and the old value, oldSize - 1 characters, cannot be set
    uint32_t blockSize = length + oldSize + 2;
    HostMemory block = HostGlobalAlloc(HostGmemMoveableZeroInit, blockSize * sizeof location[0]);
    if (block == nullptr)
        return;  // no room for the new value: the child gets the PATH as it was
    auto* text = static_cast<HostWideChar*>(HostGlobalLock(block));
    if (text != nullptr) {
        uint32_t used = 0;
        for (; used < length; ++used)
            text[used] = location[used];
        if (oldSize != 0) {
            text[used++] = u';';
            uint32_t got = HostGetEnvironmentVariableW(u"PATH", text + used, blockSize - used);
            if (got >= blockSize - used)
                text[used - 1] = 0;  // PATH grew in between: the location alone, no ';'
        }
        HostSetEnvironmentVariableW(u"PATH", text);
        HostGlobalUnlock(block);
    }
    HostGlobalFree(block);
}

namespace {

// A caller may hand the program handles that a child would not inherit (Wine's cmd does so
// with the copy that 2>&1 makes); the tool gets them all the same.
void MakeInheritable(HostFile handle)
{
    if (handle != nullptr)
        HostSetHandleInformation(handle, HostHandleFlagInherit, HostHandleFlagInherit);
}

// The tool of a run with option W: started with the standard handles the program has, where it
// has any, so that what the caller redirected reaches the tool; suspended until it is in a job
// that ends it, and whatever it started, when the program ends first (killed, or its console
// closed, or Ctrl+C or Ctrl+Break there, whose default handling ends the program). Where the
// job cannot take the tool (the program runs in a job that forbids a second one), the tool runs
// and is awaited all the same. A tool that ends leaves what it started running, as without W.
bool StartAndAwait(char* commandLine, uint32_t* toolExitCode)
{
    HostStart start{};
    start.StdInput = HostGetStdHandle(HostStdInputHandle);
    start.StdOutput = HostGetStdHandle(HostStdOutputHandle);
    start.StdError = HostGetStdHandle(HostStdErrorHandle);
    start.UseStdHandles =
        start.StdInput != nullptr || start.StdOutput != nullptr || start.StdError != nullptr;
    MakeInheritable(start.StdInput);
    MakeInheritable(start.StdOutput);
    MakeInheritable(start.StdError);
    // A console tool then shares the caller's console, where the caller has one, instead of
    // opening a window of its own; the console gives the program the standard handles it
    // lacked, which a failed start takes back, so that its report goes where it would have.
    HostAttachConsole(HostAttachParentProcess);
    if (!HostCreateProcess(commandLine, HostCreateDefaultErrorMode | HostCreateSuspended, &start)) {
        uint32_t error = HostGetLastError();
        HostSetStdHandle(HostStdErrorHandle, start.StdError);
        ReportStartFailure(commandLine, error);
        return false;
    }
    HostHandle job = HostCreateJobObject();
    bool held = job != nullptr &&
                HostSetJobLimitFlags(job, HostJobKillOnJobClose | HostJobBreakawayOk) &&
                HostAssignProcessToJobObject(job, start.Process);
    HostResumeThread(start.Thread);
    bool ended = HostWaitForSingleObject(start.Process, HostInfinite) == HostWaitObject0;
    HostGetExitCodeProcess(start.Process, toolExitCode);
    // Only a tool that has ended is let go of: one still running ends with the program.
    if (held && ended)
        HostSetJobLimitFlags(job, HostJobBreakawayOk);
    return true;
}

}  // namespace

bool LaunchTarget(uint32_t* toolExitCode)
{
    char targetDir[TargetDirCapacity];
    CopyText(targetDir, Launch.LocationDir);
    AppendText(targetDir, "\\");
    JoinPath(Launch.ProbePath, Launch.LocationDir, Launch.TargetFile);

    static char childCommandLine[ChildCommandLineCapacity];
    if (Launch.CommandIsLiteral)
        CopyText(childCommandLine, Launch.CommandTemplate);
    else
        ExpandCommandTemplate(childCommandLine, Launch.CommandTemplate, Launch.ProbePath,
                              targetDir);

    if (Launch.PathPrefix)
        PrefixPath();
    if (Launch.WaitForTool)
        return StartAndAwait(childCommandLine, toolExitCode);
    if (HostCreateProcess(childCommandLine, HostCreateDefaultErrorMode, nullptr))
        return true;
    ReportStartFailure(childCommandLine, HostGetLastError());
    return false;
}
