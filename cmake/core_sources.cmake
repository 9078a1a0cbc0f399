# The core: everything but host/, built for both platforms and for the fuzz targets. The paths
# are relative to the top of the source tree; included by the top-level CMakeLists.txt and by
# fuzz/CMakeLists.txt, which prefix them as they need.
# The layers, bottom to top: base/ (text and path rules, the launch state record), launch/
# (tokens, the location store, media search, starting the tool), prompt/ and script/ (the
# dialog and the batch file), run/ (the run's sequence, the one file that calls them all).
set(CORE_SOURCES
    base/command_tail.cpp
    base/format_text.cpp
    base/launch_state.cpp
    base/path_text.cpp
    base/wide_text.cpp
    launch/launch_target.cpp
    launch/location_store.cpp
    launch/moved_media.cpp
    launch/run_report.cpp
    launch/tokens.cpp
    launch/volume_identity.cpp
    prompt/center_window.cpp
    prompt/file_browser.cpp
    prompt/location_dialog.cpp
    script/environment_script.cpp
    run/launch_sequence.cpp)
