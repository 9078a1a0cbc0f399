# shellcheck shell=bash
# A Wine session of our own, for the demonstration and the benchmark: sourced, not run.
#   BuildProgram BUILD_ROOT      builds BUILD_ROOT/win32/nrcdrom.exe and recorder.exe, the tool
#                                of the end-to-end tests that writes down how it was started
#                                (the default root through scripts/build.sh, any other root
#                                with a Windows build only)
#   StartSession ROOT DISPLAY    a 32-bit prefix in ROOT/prefix with its own persistent server,
#                                and DISPLAY one of: own (an X display of its own), user (the
#                                user's $DISPLAY), none (no display at all)
#   StopSession                  stops what StartSession started, by process id
#   WinPath PATH                 the Windows name (Z:\...) of a Unix path
# Nothing outside ROOT is touched: never the user's ~/.wine, never another prefix's server.

SessionServerPid=""
SessionXvfbPid=""

Say() { printf '%s\n' "$*"; }
Fail() { printf 'FAILED: %s\n' "$*" >&2; exit 1; }

# shellcheck disable=SC1003  # a backslash between single quotes, not an escape
WinPath() { printf 'Z:%s' "$(readlink -f "$1" | tr / '\\')"; }

BuildProgram() {
    local root=$1 top
    top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    if [ "$(readlink -f "$root")" = "$(readlink -f "$top")/build" ]; then
        "$top/scripts/build.sh" || return 1
    else
        "$top/scripts/install-deps.sh" &&
            cmake -S "$top" -B "$root/win32" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
                  -DCMAKE_BUILD_TYPE=Release >/dev/null &&
            cmake --build "$root/win32" -j"$(nproc)" --target nrcdrom recorder || return 1
    fi
    local exe
    for exe in nrcdrom.exe recorder.exe; do
        [ -f "$root/win32/$exe" ] || Fail "the build did not produce $root/win32/$exe"
    done
}

StopSession() {
    if [ -n "$SessionServerPid" ]; then
        wineserver -k >/dev/null 2>&1   # the processes of this prefix only
        kill "$SessionServerPid" 2>/dev/null
        wait "$SessionServerPid" 2>/dev/null
        SessionServerPid=""
    fi
    if [ -n "$SessionXvfbPid" ]; then
        kill "$SessionXvfbPid" 2>/dev/null
        wait "$SessionXvfbPid" 2>/dev/null
        SessionXvfbPid=""
    fi
}

StartSession() {
    local root=$1 display=$2
    mkdir -p "$root/tmp" "$root/prefix"
    export WINEPREFIX="$root/prefix" WINEARCH=win32 WINEDEBUG=-all TMPDIR="$root/tmp"
    export WINEDLLOVERRIDES="mscoree,mshtml="
    unset WINESERVER WINELOADER

    if [ "$display" = none ]; then
        unset DISPLAY
    elif [ "$display" = own ]; then
        # Xvfb picks a free display number and tells it through a descriptor.
        rm -f "$root/display"
        exec 3>"$root/display"
        Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$root/xvfb.log" 2>&1 &
        SessionXvfbPid=$!
        exec 3>&-
        for _ in $(seq 100); do [ -s "$root/display" ] && break; sleep 0.1; done
        [ -s "$root/display" ] || Fail "Xvfb did not start (see $root/xvfb.log)"
        DISPLAY=":$(head -n1 "$root/display")"
        export DISPLAY
    fi

    # The server runs in the foreground as our own child, so its id is the one we stop.
    wineserver -f -p </dev/null >"$root/wineserver.log" 2>&1 &
    SessionServerPid=$!
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        Say "Creating the Wine prefix $WINEPREFIX (once; this takes a little while)..."
    fi
    wineboot -i </dev/null >"$root/wineboot.log" 2>&1 || Fail "wineboot failed (see $root/wineboot.log)"

    # A crash ends the process instead of waiting in a debugger's dialog.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d false /f >/dev/null 2>&1
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f >/dev/null 2>&1
    # Our own display has no window manager: Wine then draws captions itself. On the user's
    # display the window manager does it, as usual.
    if [ "$display" = own ]; then
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    else
        wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1
    fi
    return 0
}
