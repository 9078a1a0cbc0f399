# The core: everything but host/, built for both platforms and for the fuzz targets. The paths
# are relative to the top of the source tree; included by the top-level CMakeLists.txt and by
# fuzz/CMakeLists.txt, which prefix them as they need.
set(CORE_SOURCES
    launch/command_tail.cpp
    launch/format_text.cpp
    launch/launch_sequence.cpp
    launch/launch_state.cpp
    launch/launch_target.cpp
    launch/location_store.cpp
    launch/moved_media.cpp
    launch/path_text.cpp
    launch/run_report.cpp
    launch/tokens.cpp
    launch/volume_identity.cpp
    launch/wide_text.cpp
    prompt/center_window.cpp
    prompt/file_browser.cpp
    prompt/location_dialog.cpp
    script/environment_script.cpp)
