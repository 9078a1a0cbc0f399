# shellcheck shell=bash
# One Wine session of our own, for the end-to-end tests, the demonstration and the benchmark:
# sourced, not run.
#   WineSessionStart ROOT [DISPLAY [ARCH [DRIVE_D]]]
#       ROOT     the session's folder: the prefix in ROOT/prefix (kept when it exists), TMPDIR
#                in ROOT/tmp, the logs of Xvfb, the server and wineboot
#       DISPLAY  own (default: an Xvfb display of its own, number picked by Xvfb), user (the
#                user's $DISPLAY, with their window manager) or none (no display at all)
#       ARCH     win32 (default) or win64, where the 32-bit program runs under WoW64
#       DRIVE_D  a folder that the prefix sees as drive D: (optional)
#     Exports WINEPREFIX, WINEARCH, TMPDIR, DISPLAY and the rest for the wine commands that
#     follow; returns non-zero, with the reason on standard error, when the session did not
#     come up. WINE_SESSION_SCREEN sets the size of an own display (default 1024x768x24).
#   WineSessionStop     stops what WineSessionStart started, by process id
#   WineSessionRuns32Bit    true when this machine runs 32-bit programs (and Wine's)
#   WinPath PATH        the Windows name (Z:\...) of a Unix path
#   BuildWindows PRESET BUILD_ROOT TARGET...   builds only these targets of the Windows build
#                  of PRESET (win32, or win64 for the 64-bit stand-in) in BUILD_ROOT/PRESET,
#                  installing missing packages first; NRCDROM_JOBS parallel jobs
# Nothing outside ROOT is touched: never the user's ~/.wine, never another prefix's server.

WineSessionServerPid=""
WineSessionXvfbPid=""
WineSessionPrefix=""
WineSessionTop=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

WineSessionLoader32=/usr/lib/wine/wine
WineSessionLoader64=/usr/lib/wine/wine64

# True when this machine runs 32-bit programs, the 32-bit Wine among them; some kernels and
# sandboxes run none, and there only a 64-bit program runs, in a win64 session.
WineSessionRuns32Bit() { "$WineSessionLoader32" --version >/dev/null 2>&1; }

# shellcheck disable=SC1003  # a backslash between single quotes, not an escape
WinPath() { printf 'Z:%s' "$(readlink -f "$1" | tr / '\\')"; }

BuildWindows() {
    local preset=$1 root=$2
    shift 2
    "$WineSessionTop/scripts/install-deps.sh" &&
        cmake -S "$WineSessionTop" --preset "$preset" -B "$root/$preset" >/dev/null &&
        cmake --build "$root/$preset" -j"${NRCDROM_JOBS:-2}" --target "$@"
}

WineSessionStop() {
    if [ -n "$WineSessionServerPid" ]; then
        # The processes of our prefix only; then our server itself, by its id.
        WINEPREFIX=$WineSessionPrefix wineserver -k >/dev/null 2>&1
        kill "$WineSessionServerPid" 2>/dev/null
        wait "$WineSessionServerPid" 2>/dev/null
        WineSessionServerPid=""
    fi
    if [ -n "$WineSessionXvfbPid" ]; then
        kill "$WineSessionXvfbPid" 2>/dev/null
        wait "$WineSessionXvfbPid" 2>/dev/null
        WineSessionXvfbPid=""
    fi
    return 0
}

# Adds a value to the registry, in both views of a 64-bit prefix, so that 32-bit programs
# under WoW64 see it too.
WineSessionReg() {
    wine reg add "$@" /f >/dev/null 2>&1 || return 1
    [ "$WINEARCH" = win64 ] && { wine reg add "$@" /f /reg:32 >/dev/null 2>&1 || return 1; }
    return 0
}

WineSessionStart() {
    local root=$1 display=${2:-own} arch=${3:-win32} driveD=${4:-}
    case $arch in win32|win64) ;; *) echo "unknown Wine architecture: $arch" >&2; return 1 ;; esac
    case $display in own|user|none) ;; *) echo "unknown display mode: $display" >&2; return 1 ;; esac
    mkdir -p "$root/tmp" "$root/prefix" || return 1
    root=$(readlink -f "$root")
    WineSessionPrefix="$root/prefix"
    export WINEPREFIX="$WineSessionPrefix" WINEARCH=$arch WINEDEBUG=-all TMPDIR="$root/tmp"
    export WINEDLLOVERRIDES="mscoree,mshtml="
    unset WINESERVER WINELOADER
    if ! WineSessionRuns32Bit; then
        if [ "$arch" = win32 ]; then
            echo "this machine runs no 32-bit programs, and so no 32-bit Wine (a win64 session with a 64-bit program still can)" >&2
            return 1
        fi
        # wine and wineboot would start the 32-bit loader first: the session and every
        # command it starts get the 64-bit one instead.
        mkdir -p "$root/bin" || return 1
        printf '#!/bin/sh\nexec %s "$@"\n' "$WineSessionLoader64" >"$root/bin/wine"
        printf '#!/bin/sh\nexec %s wineboot "$@"\n' "$WineSessionLoader64" >"$root/bin/wineboot"
        chmod +x "$root/bin/wine" "$root/bin/wineboot" || return 1
        export PATH="$root/bin:$PATH" WINELOADER=$WineSessionLoader64
    fi

    if [ "$display" = none ]; then
        unset DISPLAY
    elif [ "$display" = own ]; then
        # Xvfb picks a free display number and tells it through a descriptor.
        rm -f "$root/display"
        exec 3>"$root/display"
        Xvfb -displayfd 3 -screen 0 "${WINE_SESSION_SCREEN:-1024x768x24}" -nolisten tcp \
            >"$root/xvfb.log" 2>&1 &
        WineSessionXvfbPid=$!
        exec 3>&-
        for _ in $(seq 100); do [ -s "$root/display" ] && break; sleep 0.1; done
        [ -s "$root/display" ] || { echo "Xvfb did not start (see $root/xvfb.log)" >&2; return 1; }
        DISPLAY=":$(head -n1 "$root/display")"
        export DISPLAY
    elif [ -z "${DISPLAY:-}" ]; then
        echo "no display at hand (DISPLAY is not set)" >&2
        return 1
    fi

    # The server runs in the foreground as our own child, so its id is the one we stop.
    wineserver -f -p </dev/null >"$root/wineserver.log" 2>&1 &
    WineSessionServerPid=$!
    # Two sessions coming up at once can race for Wine's shared server folder in /tmp; Wine
    # then repairs it and asks for the command to be run again, which is what a retry does.
    local try
    for try in 1 2 3; do
        wineboot -i </dev/null >"$root/wineboot.log" 2>&1 && break
        if [ "$try" = 3 ] || ! grep -q 'try running the same command again' "$root/wineboot.log"; then
            echo "wineboot failed (see $root/wineboot.log)" >&2
            return 1
        fi
    done

    # A crash ends the process with its exception code instead of waiting in a dialog.
    if ! { WineSessionReg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 &&
           WineSessionReg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d false &&
           WineSessionReg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1; }; then
        echo "could not set up the prefix's registry" >&2
        return 1
    fi
    # An own display has no window manager: Wine then draws captions and close boxes itself.
    # On the user's display their window manager does it, as usual.
    if [ "$display" = own ]; then
        if ! { WineSessionReg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N &&
               WineSessionReg 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N; }; then
            echo "could not set up the prefix's registry" >&2
            return 1
        fi
    else
        wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1
        wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Decorated /f >/dev/null 2>&1
    fi

    if [ -n "$driveD" ]; then
        if ! { mkdir -p "$driveD" && ln -sfn "$(readlink -f "$driveD")" "$WINEPREFIX/dosdevices/d:"; }; then
            echo "could not map drive D: to $driveD" >&2
            return 1
        fi
    fi
    return 0
}
