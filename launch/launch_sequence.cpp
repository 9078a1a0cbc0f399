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

void RefuseCommandLine()
{
    char text[TextCapacity];
    char caption[TextCapacity];
    HostLoadString(Launch.Instance, IDS_BAD_COMMAND_LINE, text, sizeof text);
    HostLoadString(Launch.Instance, IDS_BAD_COMMAND_LINE_CAPTION, caption, sizeof caption);
    HostMessageBox(nullptr, text, caption, HostMbIconError);
}

void SetLocationDir()
{
    CopyText(Launch.LocationDir, Launch.Location);
    StripTrailingSeparators(Launch.LocationDir);
}

}  // namespace

int RunLauncher(HostInstance instance, const char* tail)
{
    Launch.Instance = instance;
    char keyPath[KeyPathCapacity];
    TestProductKey(keyPath);
    SetProgramDir();
    if (!ReadArguments(tail)) {
        RefuseCommandLine();
        return ExitCancelled;
    }
    HostSetErrorMode(HostSemFailCriticalErrors);

    Launch.MediaKind = 0;
    LoadLocation(keyPath);

    if (Launch.ScriptMode) {
        FormatText(Launch.ScriptPath, "%s\\%s.BAT", Launch.ProgramDir, "NRVARCD");
        if (!PathExists(Launch.ScriptPath))
            Launch.SaveNeeded = 1;
    }

    SetLocationDir();
    FormatText(Launch.ProbePath, "%s\\%s", Launch.LocationDir, Launch.TargetFile);
    if (!PathExists(Launch.ProbePath)) {
        char oldLocation[PathCapacity];
        CopyText(oldLocation, Launch.Location);
        if (RunLocationDialog() != 1)
            return ExitCancelled;
        if (CompareText(Launch.Location, oldLocation) != 0)
            Launch.SaveNeeded = 1;
        SetLocationDir();
    }

    if (Launch.SaveNeeded)
        SaveLocation(keyPath);
    if (Launch.ScriptMode) {
        if (!Launch.SaveNeeded)
            return ExitStarted;
        WriteEnvironmentScript();
        return ExitScript;
    }
    LaunchTarget();
    return ExitStarted;
}
