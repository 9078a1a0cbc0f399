// The launch state record, in static storage for the whole run.
#include "launch/launch_state.h"

LaunchState Launch;

void ResetLaunchState()
{
    Launch = LaunchState{};
}
