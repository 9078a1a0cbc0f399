#!/usr/bin/env bash
# Runs one group of end-to-end tests in a Wine prefix and X display of its own:
#   wine_suite.sh NAME WORKDIR DRIVER.exe PROGRAM.exe RECORDER.exe [gtest arguments...]
# The session (scripts/wine_session.sh) is a 32-bit prefix, or with WINE_SUITE_ARCH=win64 a
# 64-bit one in which the 32-bit program and driver run under WoW64; the group's folder is
# then WORKDIR/NAME.win64, so that both kinds of a group can run side by side. Stops exactly
# the processes it started, by their ids, and removes the folder unless NRTEST_KEEP=1.
set -u
name=$1 work=$2 driver=$3 program=$4 recorder=$5
shift 5
arch=${WINE_SUITE_ARCH:-win32}
# shellcheck source=scripts/wine_session.sh
. "$(dirname "$(readlink -f "$0")")/../../scripts/wine_session.sh"

root="$work/$name"
[ "$arch" = win32 ] || root="$work/$name.$arch"
rm -rf "$root"
mkdir -p "$root"
root=$(readlink -f "$root")
# shellcheck disable=SC2317  # run by the trap
cleanup() {
    WineSessionStop
    [ "${NRTEST_KEEP:-}" = 1 ] || rm -rf "$root"
}
trap cleanup EXIT

# Drive D: is a scratch folder of this run, for locations at a drive's root.
WineSessionStart "$root" own "$arch" "$root/drive_d" || exit 1

# Drives of the group's own, NRTEST_DRIVES="e:cdrom:1a2b3c4d:LABEL,...": each a folder of this
# run, with Wine's type (cdrom, floppy, network, ramdisk; hd when empty) and the serial and
# label Wine reads at its root. Wine takes drives in only as its server starts, so the session
# is started anew once they are there.
if [ -n "${NRTEST_DRIVES:-}" ]; then
    IFS=, read -ra drives <<<"$NRTEST_DRIVES"
    for drive in "${drives[@]}"; do
        IFS=: read -r letter type serial label <<<"$drive"
        dir="$root/drive_$letter"
        mkdir -p "$dir" && ln -sfn "$dir" "$WINEPREFIX/dosdevices/$letter:" || exit 1
        [ -z "$serial" ] || printf '%s\n' "$serial" >"$dir/.windows-serial" || exit 1
        [ -z "$label" ] || printf '%s' "$label" >"$dir/.windows-label" || exit 1
        [ -z "$type" ] || wine reg add 'HKLM\Software\Wine\Drives' /v "$letter:" /d "$type" /f \
            >>"$root/drives.log" 2>&1 || { cat "$root/drives.log" >&2; exit 1; }
    done
    # SIGINT makes the server end every process of the prefix, write the registry out and exit.
    # Waited for without a limit: wineserver -k sends SIGKILL after ten seconds, which on a
    # busy machine can come before the fresh prefix's registry is written.
    kill -INT "$WineSessionServerPid" && wait "$WineSessionServerPid"
    WineSessionStop
    WineSessionStart "$root" own "$arch" "$root/drive_d" || exit 1
fi

export NRTEST_PROGRAM NRTEST_RECORDER NRTEST_ROOT NRTEST_DRIVE_D NRTEST_SHOTS NRTEST_STDERR
NRTEST_PROGRAM=$(WinPath "$program")
NRTEST_RECORDER=$(WinPath "$recorder")
NRTEST_ROOT=$root
NRTEST_DRIVE_D=$(WinPath "$root/drive_d")
mkdir -p "$work/screenshots"
NRTEST_SHOTS=$(WinPath "$work/screenshots")

# The driver's standard error is kept in a file it can read back: with WINEDEBUG=warn+process
# a program started from it shows there the flags it passed to process creation.
: >"$root/driver.stderr"
NRTEST_STDERR=$(WinPath "$root/driver.stderr")
timeout 1500 wine "$driver" "$@" </dev/null 2>>"$root/driver.stderr"
rc=$?
grep -a -v -E 'fixme:|^$' "$root/driver.stderr" | grep -a -v 'ignoring some flags' | tail -n 50 >&2
exit $rc
