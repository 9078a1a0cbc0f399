#!/usr/bin/env bash
# Shows the program doing its main job, under Wine, on this machine:
#   (a) a first run that does not know where the DLL files are and asks for them,
#   (b) the development environment started with the location in front of PATH,
#   (c) a second run that starts it at once, the location being remembered,
#   (d) script mode writing NRVARCD.BAT,
#   (e) the remembered location in the registry.
# With a display the user answers the dialog; without one (or with CI=true, or
# NRCDROM_DEMO_AUTO=1) an X display of the script's own is used and the dialog is answered
# automatically. Everything happens in a Wine prefix of its own under NRCDROM_DEMO_OUT
# (default demo-out/), kept for the next run; the program and the stand-in tool are built in
# NRCDROM_BUILD_ROOT (default build/), and nothing else is built.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top" || exit 1
# shellcheck source=scripts/wine_session.sh
. scripts/wine_session.sh
Say() { printf '%s\n' "$*"; }
Fail() { printf 'FAILED: %s\n' "$*" >&2; exit 1; }

buildRoot=${NRCDROM_BUILD_ROOT:-build}
out=${NRCDROM_DEMO_OUT:-demo-out}
mkdir -p "$out"
out=$(readlink -f "$out")
displayMode=user
if [ -z "${DISPLAY:-}" ] || [ "${CI:-}" = true ] || [ "${NRCDROM_DEMO_AUTO:-}" = 1 ]; then
    displayMode=own
fi
caption='^Locate Marlinth'
runPid=""
buildPid=""

Finish() {
    [ -n "$runPid" ] && kill "$runPid" 2>/dev/null
    [ -n "$buildPid" ] && kill "$buildPid" 2>/dev/null
    WineSessionStop
}
trap Finish EXIT

# Starts nrcdrom.exe in the program directory with the given tail, in the background.
Start() {
    rm -f "$record"
    (cd "$program" && exec wine nrcdrom.exe "$@" </dev/null >>"$out/wine.log" 2>&1) &
    runPid=$!
}

# Waits for the run to end, at most $1 seconds, and sets rc to its exit code. With $2 =
# noprompt, a location dialog appearing meanwhile is a failure.
WaitRun() {
    local limit=$1 watch=${2:-}
    for _ in $(seq $((limit * 10))); do
        if ! kill -0 "$runPid" 2>/dev/null; then
            wait "$runPid"
            rc=$?
            runPid=""
            return 0
        fi
        if [ "$watch" = noprompt ] && xdotool search --name "$caption" >/dev/null 2>&1; then
            Fail "the program asked for the location again, although it had been remembered"
        fi
        sleep 0.1
    done
    Fail "the program did not end within $limit seconds"
}

WaitRecord() {
    for _ in $(seq 300); do [ -f "$record" ] && return 0; sleep 0.1; done
    Fail "diriz.exe was not started (no record of its start after 30 seconds)"
}

ShowRecord() {
    sed -e '/^pathw=/d; s/^cmdline=/command line:      /; s/^path=/PATH:              /' \
        -e 's/^cwd=/current directory: /; s/^errormode=/error mode:        /; s/^/      /' "$record"
}
RecordField() { sed -n "s/^$1=//p" "$record"; }

StoredLocation() {
    wine reg query 'HKLM\SOFTWARE\HalvardWorks\Marlinth\6.6\nrcdrom' /v devshl.dll 2>/dev/null |
        tr -d '\r' | sed -n 's/^ *devshl\.dll *REG_SZ *//p'
}

Say "==> The demonstration's Wine prefix is $out/prefix"
Say "    (about 600 MB, kept for the next run; remove it with: rm -rf $out/prefix)"
scripts/install-deps.sh || Fail "could not install the packages the demonstration needs"

# A machine that runs no 32-bit programs shows the 64-bit stand-in, built from the same
# sources, in a 64-bit prefix.
arch=win32
if ! WineSessionRuns32Bit; then
    arch=win64
    Say "==> This machine runs no 32-bit programs: the demonstration runs the 64-bit stand-in"
    Say "    of nrcdrom.exe, built from the same sources; what ships is the 32-bit program"
fi
# The build runs while Wine starts, so that the first step comes soon.
Say "==> Building nrcdrom.exe and the stand-in tool in $buildRoot/$arch (log: $out/build.log)"
BuildWindows "$arch" "$buildRoot" nrcdrom recorder >"$out/build.log" 2>&1 &
buildPid=$!

if [ "$displayMode" = own ]; then
    Say "==> Starting Wine with an X display of its own (no display at hand, or CI)"
else
    Say "==> Starting Wine on your display $DISPLAY"
fi
[ -f "$out/prefix/system.reg" ] || Say "    creating the prefix (once; this takes a little while)"
WineSessionStart "$out" "$displayMode" "$arch" || Fail "Wine did not start (see $out/*.log)"

wait "$buildPid"
buildRc=$?
buildPid=""
[ "$buildRc" = 0 ] || { tail -n 30 "$out/build.log" >&2; Fail "the build failed (see $out/build.log)"; }

Say "==> Setting up the demonstration in $out"
# The installed program and the medium each keep the product's tree, BIN below its root,
# so the batch file of script mode names two different trees.
program="$out/program/BIN"
media="$out/media/BIN"
rm -rf "${out:?}/program" "${out:?}/media" "$out/wine.log" "$out"/*.png "$out/diriz-record.txt"
mkdir -p "$program" "$media"
cp "$buildRoot/$arch/nrcdrom.exe" "$program/"
# The development environment is a stand-in: the end-to-end tests' tool that writes down how
# it was started.
cp "$buildRoot/$arch/recorder.exe" "$program/diriz.exe"
printf 'Stand-in for the Duzudiziv Eraziz DLL Files.\r\n' >"$media/devshl.dll"
record="$out/diriz-record.txt"
export NRTEST_RECORD
NRTEST_RECORD=$(WinPath "$out")'\diriz-record.txt'
mediaWin=$(WinPath "$media")
Say "    program directory: $(WinPath "$program") (nrcdrom.exe, and diriz.exe beside it)"
Say "    media directory:   $mediaWin (holds devshl.dll)"

wine reg delete 'HKLM\SOFTWARE\HalvardWorks' /f >/dev/null 2>&1
wine reg add 'HKLM\SOFTWARE\HalvardWorks\Marlinth\6.6\nrcdrom' /f >/dev/null 2>&1 ||
    Fail "could not create the product's registry key"
Say "    created the registry key HKLM\\SOFTWARE\\HalvardWorks\\Marlinth\\6.6\\nrcdrom (no location in it yet)"

Say ""
Say "(a) First run: nrcdrom.exe without arguments; devshl.dll is nowhere it looks"
Start
if [ "$displayMode" = own ]; then
    dialog=""
    for _ in $(seq 600); do
        dialog=$(xdotool search --name "$caption" 2>/dev/null | head -n1)
        [ -n "$dialog" ] && break
        kill -0 "$runPid" 2>/dev/null || break
        sleep 0.1
    done
    [ -n "$dialog" ] || Fail "the location dialog did not appear within 60 seconds"
    sleep 0.5   # let it paint before the picture is taken
    shot="$out/first-run-dialog.png"
    import -window root "$shot" 2>/dev/null || Fail "could not take the screenshot"
    Say "    the dialog \"$(xdotool getwindowname "$dialog")\" asks for the location"
    Say "    screenshot: $shot"
    Say "    answering it: typing $mediaWin into the field, then Enter"
    # Focus starts on OK; the tab order is OK, Cancel, the field, Browse. Entering the
    # field by Tab selects its text, so typing replaces it.
    xdotool windowfocus --sync "$dialog" key Tab Tab
    xdotool type --delay 5 "$mediaWin"
    sleep 0.3
    typed="$out/first-run-typed.png"
    import -window root "$typed" 2>/dev/null && Say "    screenshot with the location typed in: $typed"
    xdotool key Return
    WaitRun 60
else
    Say "    The dialog is open on your screen. Type this location into its field and press OK:"
    Say "        $mediaWin"
    Say "    (or use Browse... to pick devshl.dll there). Waiting up to 10 minutes."
    WaitRun 600
fi
case $rc in
    0) Say "    the run ended with exit code 0: the location was accepted and the tool started" ;;
    2) Fail "the dialog was cancelled (exit code 2)" ;;
    *) Fail "the first run ended with exit code $rc, not 0" ;;
esac
location=$(StoredLocation)
[ -n "$location" ] || Fail "no location was remembered in the registry"
if [ "$displayMode" = own ] && [ "$location" != "$mediaWin" ]; then
    Fail "the remembered location is \"$location\", not \"$mediaWin\""
fi

Say ""
Say "(b) diriz.exe was started by it and received:"
WaitRecord
ShowRecord
case "$(RecordField path)" in
    "$location;"*) Say "    the DLL files' location $location is in front of PATH" ;;
    *) Fail "PATH does not begin with the location $location" ;;
esac
case "$(RecordField cmdline)" in
    *'\diriz.exe'*) ;;
    *) Fail "the command line does not name diriz.exe" ;;
esac

Say ""
Say "(c) Second run: the same command; the location is remembered now"
Start
WaitRun 60 noprompt
[ "$rc" = 0 ] || Fail "the second run ended with exit code $rc, not 0"
WaitRecord
Say "    no dialog; exit code 0; diriz.exe started at once with:"
ShowRecord

Say ""
Say "(d) Script mode: nrcdrom.exe devshl.dll Duzudiziv_Eraziz_DLL_Files x P"
rm -f "$program/NRVARCD.BAT"
Start devshl.dll Duzudiziv_Eraziz_DLL_Files x P
WaitRun 60 noprompt
[ "$rc" = 1 ] || Fail "script mode ended with exit code $rc, not 1 (the batch file written)"
[ -f "$program/NRVARCD.BAT" ] || Fail "script mode did not write $program/NRVARCD.BAT"
Say "    exit code 1: it wrote $(WinPath "$program")\\NRVARCD.BAT ($(wc -c <"$program/NRVARCD.BAT") bytes):"
tr -d '\r' <"$program/NRVARCD.BAT" | sed 's/^/      /'
cp "$program/NRVARCD.BAT" "$out/NRVARCD.first"
Start devshl.dll Duzudiziv_Eraziz_DLL_Files x P
WaitRun 60 noprompt
[ "$rc" = 0 ] || Fail "the repeated script-mode run ended with exit code $rc, not 0"
cmp -s "$program/NRVARCD.BAT" "$out/NRVARCD.first" || Fail "the repeated script-mode run changed NRVARCD.BAT"
rm -f "$out/NRVARCD.first"
Say "    run again with nothing changed: exit code 0, and the file is left as it is"

Say ""
Say "(e) The remembered location in the registry (wine reg query):"
wine reg query 'HKLM\SOFTWARE\HalvardWorks\Marlinth\6.6\nrcdrom' 2>/dev/null | tr -d '\r' |
    sed '/^$/d; s/^/      /'

Say ""
Say "All went as expected."
