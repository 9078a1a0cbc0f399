#!/usr/bin/env bash
# Runs one group of end-to-end tests in a Wine prefix and X display of its own:
#   wine_suite.sh NAME WORKDIR DRIVER.exe PROGRAM.exe RECORDER.exe [gtest arguments...]
# Starts Xvfb and a persistent wineserver, runs the driver under Wine, then stops exactly
# the processes it started, by their ids, and removes the prefix.
set -u
name=$1 work=$2 driver=$3 program=$4 recorder=$5
shift 5

root="$work/$name"
rm -rf "$root"
mkdir -p "$root/tmp"
export WINEPREFIX="$root/prefix" WINEARCH=win32 WINEDEBUG=-all TMPDIR="$root/tmp"
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WINESERVER

xvfb_pid=""
server_pid=""
cleanup() {
    if [ -n "$server_pid" ]; then
        wineserver -k >/dev/null 2>&1   # the processes of this prefix only
        kill "$server_pid" 2>/dev/null
        wait "$server_pid" 2>/dev/null
    fi
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    [ "${NRTEST_KEEP:-}" = 1 ] || rm -rf "$root"
}
trap cleanup EXIT

# An X display of our own; Xvfb picks a free number and tells it through a descriptor.
exec 3>"$root/display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp >"$root/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$root/display" ] && break; sleep 0.1; done
[ -s "$root/display" ] || { echo "Xvfb did not start"; cat "$root/xvfb.log"; exit 1; }
export DISPLAY=":$(head -n1 "$root/display")"

# The server stays in the foreground as our own child, so that its id is the one we stop.
mkdir -p "$WINEPREFIX"
wineserver -f -p </dev/null >"$root/wineserver.log" 2>&1 &
server_pid=$!
wineboot -i </dev/null >"$root/wineboot.log" 2>&1 || { echo "wineboot failed"; cat "$root/wineboot.log"; exit 1; }

# A crash must end the process with its exception code, not wait in a dialog or debugger;
# with no window manager, Wine draws the caption and close box itself.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d 'false' /f >/dev/null 2>&1
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1

# Drive D: is a scratch folder of this run, for locations at a drive's root.
mkdir -p "$root/drive_d"
ln -s "$root/drive_d" "$WINEPREFIX/dosdevices/d:"

winpath() { printf 'Z:%s' "$(readlink -f "$1" | tr / '\\')"; }
export NRTEST_PROGRAM="$(winpath "$program")"
export NRTEST_RECORDER="$(winpath "$recorder")"
export NRTEST_ROOT="$root"
export NRTEST_DRIVE_D="$(winpath "$root/drive_d")"
export NRTEST_SHOTS="$(winpath "$work/screenshots")"
mkdir -p "$work/screenshots"

# The driver's standard error is kept in a file it can read back: with WINEDEBUG=warn+process
# a program started from it shows there the flags it passed to process creation.
: >"$root/driver.stderr"
export NRTEST_STDERR="$(winpath "$root/driver.stderr")"
timeout 1500 wine "$driver" "$@" </dev/null 2>>"$root/driver.stderr"
rc=$?
grep -v -E 'fixme:|^$' "$root/driver.stderr" | grep -v 'ignoring some flags' | tail -n 50 >&2
exit $rc
