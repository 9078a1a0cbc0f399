// Launch sequence: tokens, stored location, probe, prompt, write-back, then script or tool.
#include "launch/launch_sequence.h"

#include "launch/format_text.h"
#include "launch/launch_state.h"
#include "launch/launch_target.h"
#include "launch/location_store.h"
#include "launch/path_text.h"
#include "launch/text.h"
#include "launch/tokens.h"
#include "prompt/location_dialog.h"
#include "res/resource.h"
#include "script/environment_script.h"

namespace {

// The program's directory; a module name too long for the buffer counts as unavailable.
void SetProgramDir()
{
    uint32_t n = HostGetModuleFileName(Launch.ProgramDir, sizeof Launch.ProgramDir);
    if (n == 0 || n >= sizeof Launch.ProgramDir)
        Launch.ProgramDir[0] = '\0';
    else
        CutLastComponent(Launch.ProgramDir);
}

// An unattended run (NRCDROM_UNATTENDED set, and not to 0) shows no window: where it would
// ask or warn, it ends, and says why on its standard error when it has one.
bool IsUnattended()
{
    char value[4] = "";
    uint32_t n = HostGetEnvironmentVariable("NRCDROM_UNATTENDED", value, sizeof value);
    return n != 0 && !(n == 1 && value[0] == '0');
}

void TellStandardError(const char* line)
{
    HostFile standardError = HostGetStdHandle(HostStdErrorHandle);
    if (standardError != nullptr)
        HostWriteFile(standardError, line, static_cast<uint32_t>(TextLength(line)));
}

void RefuseCommandLine()
{
    char text[TextCapacity] = "";
    if (IsUnattended()) {
        HostLoadString(Launch.Instance, IDS_UNATTENDED_REFUSED, text, sizeof text);
        TellStandardError(text);
        return;
    }
    char caption[TextCapacity] = "";
    HostLoadString(Launch.Instance, IDS_BAD_COMMAND_LINE, text, sizeof text);
    HostLoadString(Launch.Instance, IDS_BAD_COMMAND_LINE_CAPTION, caption, sizeof caption);
    HostMessageBox(nullptr, text, caption, HostMbIconError);
}

void TellTargetMissing()
{
    char format[TextCapacity] = "";
    char line[TextCapacity];
    HostLoadString(Launch.Instance, IDS_UNATTENDED_MISSING, format, sizeof format);
    const char* where = Launch.LocationDir[0] != '\0' ? Launch.LocationDir : "\\";
    FormatText(line, format, Launch.TargetFile, where);
    TellStandardError(line);
}

void SetLocationDir()
{
    CopyText(Launch.LocationDir, Launch.Location);
    StripTrailingSeparators(Launch.LocationDir);
}

// Asks for the location when the target is not where it is expected; false when the run
// must end without a location.
bool EnsureTargetPresent()
{
    SetLocationDir();
    FormatText(Launch.ProbePath, "%s\\%s", Launch.LocationDir, Launch.TargetFile);
    if (PathExists(Launch.ProbePath))
        return true;
    if (IsUnattended()) {
        TellTargetMissing();
        return false;
    }
    char oldLocation[PathCapacity];
    CopyText(oldLocation, Launch.Location);
    if (RunLocationDialog() != IDOK)
        return false;
    if (CompareText(Launch.Location, oldLocation) != 0)
        Launch.SaveNeeded = true;
    SetLocationDir();
    return true;
}

}  // namespace

int RunLauncher(HostInstance instance, const char* tail)
{
    Launch.Instance = instance;
    StoreKey store{};
    FindProductKey(store);
    SetProgramDir();
    if (!ReadArguments(tail)) {
        RefuseCommandLine();
        return ExitCancelled;
    }
    HostSetErrorMode(HostSemFailCriticalErrors);

    Launch.MediaKind = 0;
    LoadLocation(store);

    if (Launch.ScriptMode) {
        FormatText(Launch.ScriptPath, "%s\\%s.BAT", Launch.ProgramDir, "NRVARCD");
        if (!PathExists(Launch.ScriptPath))
            Launch.SaveNeeded = true;
    }

    if (!EnsureTargetPresent())
        return ExitCancelled;

    if (Launch.ScriptMode) {
        if (!Launch.SaveNeeded)
            return ExitStarted;
        // The file first: when it cannot be written, the registry keeps the old location
        // too, so both still name the same place and the next run tries again.
        if (WriteEnvironmentScript() != ScriptOutcome::Failed)
            SaveLocation(store);
        return ExitScript;
    }
    if (Launch.SaveNeeded)
        SaveLocation(store);
    LaunchTarget();
    return ExitStarted;
}
