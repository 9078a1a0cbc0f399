// The launch state record, in static storage for the whole run.
#include "base/launch_state.h"

LaunchState Launch;

void ResetLaunchState()
{
    Launch = LaunchState{};
}
