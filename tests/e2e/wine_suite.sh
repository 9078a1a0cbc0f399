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
