// Launch sequence: tokens, stored location, probe, prompt, write-back, then script or tool.
#include "run/launch_sequence.h"

#include "base/format_text.h"
#include "base/launch_state.h"
#include "launch/launch_target.h"
#include "launch/location_store.h"
#include "launch/moved_media.h"
#include "base/path_text.h"
#include "base/resource_text.h"
#include "launch/run_report.h"
#include "base/text.h"
#include "launch/tokens.h"
#include "base/wide_text.h"
#include "prompt/location_dialog.h"
#include "res/resource.h"
#include "script/environment_script.h"

namespace {

// The program's directory; a module name too long for the buffer, or one without an ANSI
// form, counts as unavailable.
void SetProgramDir()
{
    static HostWideChar name[WidePathCapacity];
    uint32_t n = HostGetModuleFileName(name, WidePathCapacity);
    if (n == 0 || n >= WidePathCapacity || AnsiName(name, Launch.ProgramDir) == NameForm::Unusable)
        Launch.ProgramDir[0] = '\0';
    else
        CutLastComponent(Launch.ProgramDir);
}

void RefuseCommandLine()
{
    char text[TextCapacity];
    if (IsUnattended()) {
        LoadText(IDS_UNATTENDED_REFUSED, text);
        TellStandardError(text);
        return;
    }
    char caption[TextCapacity];
    LoadText(IDS_BAD_COMMAND_LINE, text);
    LoadText(IDS_BAD_COMMAND_LINE_CAPTION, caption);
    HostMessageBox(nullptr, text, caption, HostMbIconError);
}

// The unattended run's reason to end: the target is not at its location, and where another
// drive holds one, which, and why it was not taken.
void TellTargetMissing(MovedMedia search, const char* candidate)
{
    char format[TextCapacity];
    char line[TextCapacity];
    uint32_t id = search == MovedMedia::NewVolume     ? IDS_UNATTENDED_NEW_VOLUME
                  : search == MovedMedia::OtherVolume ? IDS_UNATTENDED_OTHER_VOLUME
                                                      : IDS_UNATTENDED_MISSING;
    LoadText(id, format);
    const char* where = Launch.LocationDir[0] != '\0' ? Launch.LocationDir : "\\";
    char found[PathCapacity];
    CopyText(found, candidate);
    StripTrailingSeparators(found);
    FormatText(line, format, Launch.TargetFile, where, found);
    TellStandardError(line);
}

void SetLocationDir()
{
    CopyText(Launch.LocationDir, Launch.Location);
    StripTrailingSeparators(Launch.LocationDir);
}

// Asks for the location when the target is not where it is expected, unless the medium
// only moved to another drive letter and is known there by its volume; false when the run
// must end without a location.
bool EnsureTargetPresent(const StoreKey& store)
{
    SetLocationDir();
    JoinPath(Launch.ProbePath, Launch.LocationDir, Launch.TargetFile);
    if (PathExists(Launch.ProbePath))
        return true;
    char candidate[PathCapacity];
    MovedMedia search = FindMovedMedia(store, candidate);
    if (search == MovedMedia::Taken) {
        CopyText(Launch.Location, candidate);
        Launch.SaveNeeded = true;
        SetLocationDir();
        return true;
    }
    if (IsUnattended()) {
        TellTargetMissing(search, candidate);
        return false;
    }
    // A drive that holds a file of the target's name on a volume not known for it is only
    // offered: the user confirms it, or types another.
    char oldLocation[PathCapacity];
    CopyText(oldLocation, Launch.Location);
    if (search != MovedMedia::NotFound)
        CopyText(Launch.Location, candidate);
    if (RunLocationDialog() != IDOK)
        return false;
    if (CompareText(Launch.Location, oldLocation) != 0)
        Launch.SaveNeeded = true;
    SetLocationDir();
    return true;
}

// Writes NRVARCD.BAT when the location must be stored, and also when the file no longer
// says what it would say now (the program moved, another run changed the location); a file
// that already holds these bytes is left alone. The file goes first: when it cannot be
// written, the registry keeps the old location too, so both still name the same place and
// the next run tries again.
int RunScriptMode(const StoreKey& store)
{
    static ScriptFailure failure;
    ScriptOutcome outcome = WriteEnvironmentScript(!Launch.SaveNeeded, failure);
    if (outcome == ScriptOutcome::Current || (outcome == ScriptOutcome::Kept && !Launch.SaveNeeded))
        return ExitStarted;
    if (outcome == ScriptOutcome::Failed || outcome == ScriptOutcome::Unspellable)
        ReportScriptFailure(failure.Error, failure.Folder);
    else if (Launch.SaveNeeded)
        SaveLocation(store);
    return ExitScript;
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
        JoinPath(Launch.ScriptPath, Launch.ProgramDir, "NRVARCD.BAT");
        if (!PathExists(Launch.ScriptPath))
            Launch.SaveNeeded = true;
    }

    if (!EnsureTargetPresent(store))
        return ExitCancelled;

    if (Launch.ScriptMode)
        return RunScriptMode(store);
    if (Launch.SaveNeeded)
        SaveLocation(store);
    uint32_t exitCode = ExitStarted;
    if (!LaunchTarget(&exitCode))
        return ExitNotStarted;
    return static_cast<int>(exitCode);  // with W, the tool's: any value the platform reports
}
