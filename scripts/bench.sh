#!/usr/bin/env bash
# Measures the built program and writes the report to BUILD_ROOT/bench/report.txt:
#   - the size of nrcdrom.exe and the DLLs it imports, against their limits;
#   - under Wine, the time of two runs against a baseline launcher that does only the
#     unavoidable part of the first: one that finds its target at the remembered location and
#     starts it, and one whose target moved to another drive letter and is found there by its
#     volume; and the time of a run with W, which waits for the tool, against the baseline
#     that also waits for it (at most 1.05 times); on a machine that runs no 32-bit programs,
#     the 64-bit stand-in is timed;
#   - under Wine, the time of a cmd /c that calls NRVARCD.BAT once, as script mode writes it,
#     against one that calls a file of the earlier format (three bare set lines) for the same
#     folders: at most twice as long;
#   - natively, the instructions of one whole run over the fake host, counted by callgrind.
# BUILD_ROOT is NRCDROM_BUILD_ROOT (default build/); NRCDROM_BENCH_PAIRS sets the number of
# timed rounds (default 100). Exits non-zero when a limit is exceeded or a measurement fails.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top" || exit 1
# shellcheck source=scripts/wine_session.sh
. scripts/wine_session.sh
Fail() { printf 'FAILED: %s\n' "$*" >&2; exit 1; }

root=${NRCDROM_BUILD_ROOT:-build}
pairs=${NRCDROM_BENCH_PAIRS:-100}
warmup=3
sizeLimit=49152
waitLimit=1.05
allowedDlls="ADVAPI32.DLL COMDLG32.DLL KERNEL32.DLL MSVCRT.DLL USER32.DLL"

# The launch is timed on the program itself where this machine runs 32-bit programs, else on
# its 64-bit stand-in (the same sources, BUILD_ROOT/win64) in a 64-bit prefix; the size and
# the imports are always those of the 32-bit program, which is what ships.
benchTargets=(bench_baseline bench_baseline_wait bench_idle bench_driver)
if WineSessionRuns32Bit; then
    arch=win32
    BuildWindows win32 "$root" nrcdrom "${benchTargets[@]}" >/dev/null || Fail "the Windows build failed"
    wineVersion=$(wine --version)
    timed="the 32-bit program itself"
else
    arch=win64
    BuildWindows win32 "$root" nrcdrom >/dev/null || Fail "the Windows build failed"
    BuildWindows win64 "$root" nrcdrom "${benchTargets[@]}" >/dev/null ||
        Fail "the 64-bit Windows build failed"
    wineVersion=$("$WineSessionLoader64" --version)
    timed="the 64-bit stand-in, since this machine runs no 32-bit programs"
fi
if ! { cmake --preset native -B "$root/native" >/dev/null &&
       cmake --build "$root/native" -j"${NRCDROM_JOBS:-2}" --target bench_native_run >/dev/null; }; then
    Fail "the native run did not build"
fi
scripts/install-deps.sh valgrind || Fail "could not install valgrind"
exe=$(readlink -f "$root/win32/nrcdrom.exe")
timedExe=$(readlink -f "$root/$arch/nrcdrom.exe")
out="$root/bench"
rm -rf "$out/programs" "$out/tool" "$out/drives"
mkdir -p "$out/programs" "$out/tool" "$out/drives"
out=$(readlink -f "$out")
report="$out/report.txt"
: >"$report"
verdict=0
Put() { printf '%s\n' "$*" | tee -a "$report"; }
# Judge STATUS: sets judged to what the report says of a limit, and verdict when it is not met
# (not in a command substitution, whose subshell would lose verdict).
Judge() { if [ "$1" = 0 ]; then judged=met; else judged="NOT MET"; verdict=1; fi; }

Put "nrcdrom benchmark, $(date -u '+%Y-%m-%d %H:%M UTC'), $wineVersion, $(nproc) cores"
Put "Program: $exe"
Put "Timed:   $timed ($timedExe)"
Put ""

# Size and imports.
bytes=$(stat -c %s "$exe")
[ "$bytes" -le "$sizeLimit" ]
Judge $?
tenths=$(((bytes * 10 + 512) / 1024))
Put "$(printf 'Size:    %d bytes (%d.%d KiB); limit %d KiB (%d bytes): %s' "$bytes" \
    $((tenths / 10)) $((tenths % 10)) $((sizeLimit / 1024)) "$sizeLimit" "$judged")"
imports=$(i686-w64-mingw32-objdump -p "$exe" | awk -f scripts/bench_imports.awk | sort -u)
[ -n "$imports" ] || Fail "no import table found in $exe"
foreign=""
listed=""
while read -r dll functions; do
    listed="$listed${listed:+, }$dll ($functions functions)"
    case " $allowedDlls " in
        *" $(printf '%s' "$dll" | tr '[:lower:]' '[:upper:]') "*) ;;
        *) foreign="$foreign $dll" ;;
    esac
done <<<"$imports"
[ -z "$foreign" ]
Judge $?
Put "Imports: $listed;" \
    "allowed KERNEL32, USER32, COMDLG32, ADVAPI32, msvcrt: $judged${foreign:+ (also:$foreign)}"
Put ""

cp "$timedExe" "$out/programs/nrcdrom.exe"
cp "$root/$arch/bench/baseline.exe" "$root/$arch/bench/baseline_wait.exe" "$out/programs/"
cp "$root/$arch/bench/idle.exe" "$out/tool/"
cp "$root/$arch/bench/driver.exe" "$out/"

# The moved run: the location stored for moved.exe is X:\tool, and X: is no drive at all; D:
# is an empty CD-ROM drive, E: a fixed drive with a moved.exe of another volume, and F:, the
# fourth drive with C:, the CD-ROM whose volume is the one stored with the location. The
# program passes over E: and takes F:\tool.
movedFrom='X:\tool'
movedTo='F:\tool'
movedSerial=1A2B3C4D
movedLabel=MARLINTH
movedIdentity="${movedSerial:0:4}-${movedSerial:4:4} $movedLabel"
MapDrives() {
    local drives=$out/drives letter
    mkdir -p "$drives/d" "$drives/e/tool" "$drives/f/tool" || return 1
    cp "$out/tool/idle.exe" "$drives/e/tool/moved.exe" &&
        cp "$out/tool/idle.exe" "$drives/f/tool/moved.exe" || return 1
    printf '0badf00d\n' >"$drives/e/.windows-serial" && printf 'OTHER\n' >"$drives/e/.windows-label" &&
        printf '%s\n' "$movedSerial" >"$drives/f/.windows-serial" &&
        printf '%s\n' "$movedLabel" >"$drives/f/.windows-label" || return 1
    for letter in d e f; do
        ln -sfn "$drives/$letter" "$WINEPREFIX/dosdevices/$letter:" || return 1
    done
    rm -f "$WINEPREFIX/dosdevices/x:"
    wine reg add 'HKLM\Software\Wine\Drives' /v d: /d cdrom /f >/dev/null 2>&1 &&
        wine reg add 'HKLM\Software\Wine\Drives' /v f: /d cdrom /f >/dev/null 2>&1 || return 1
    wine reg delete 'HKLM\Software\Wine\Drives' /v e: /f >/dev/null 2>&1
    return 0
}

# The launch under Wine, in a prefix of its own with one persistent server, so that no
# server start is measured; no display is needed, since no window opens. Wine learns its
# drives when its server starts: the drives are mapped, then the session starts again.
trap WineSessionStop EXIT
WineSessionStart "$out/wine" none "$arch" || Fail "the Wine session did not start"
MapDrives || Fail "could not map the drives"
WineSessionStop
WineSessionStart "$out/wine" none "$arch" || Fail "the Wine session did not start again"
key='HKLM\SOFTWARE\HalvardWorks\Marlinth\6.6\nrcdrom'
if ! { wine reg add "$key" /v idle.exe /t REG_SZ /d "$(WinPath "$out/tool")" /f &&
       wine reg add "$key" /v moved.exe /t REG_SZ /d "$movedFrom" /f &&
       wine reg add "$key" /v 'moved.exe|volume' /t REG_SZ /d "$movedIdentity" /f; } \
       >/dev/null 2>&1; then
    Fail "could not create the registry values"
fi
programsWin=$(WinPath "$out/programs")
export BENCH_FOUND="$programsWin\\nrcdrom.exe idle.exe Bench_Idle_Tool \$s"
export BENCH_MOVED="$programsWin\\nrcdrom.exe moved.exe Bench_Moved_Tool \$s"
export BENCH_MOVED_BEFORE="moved.exe=$movedFrom" BENCH_MOVED_AFTER="moved.exe=$movedTo"
export BENCH_BASELINE="$programsWin\\baseline.exe"
export BENCH_WAITED="$programsWin\\nrcdrom.exe idle.exe Bench_Idle_Tool \$s W"
export BENCH_WAITBASE="$programsWin\\baseline_wait.exe"
# NRVARCD.BAT as script mode writes it for the programs and tool folders (both below $out,
# the root of both), and beside it the earlier format for the same root: the first block as
# it still is, then bare set lines that put %PATH% and the others in place unquoted.
callRoot=$(WinPath "$out")
rm -f "$out/programs/NRVARCD.BAT"
(cd "$out" && wine programs/nrcdrom.exe idle.exe Bench_Idle_Tool x P </dev/null >/dev/null 2>&1)
[ -f "$out/programs/NRVARCD.BAT" ] || Fail "script mode wrote no NRVARCD.BAT"
{
    printf 'rem NRVARCD.BAT generated by running NRVARS.BAT\r\n'
    printf 'if "%%OS%%" == "Windows_NT" goto ntvars\r\n'
    for pair in PATH:BIN INCLUDE:INCLUDE LIB:LIB; do
        printf 'set %s=%s\\%s;%s\\%s;"%%%s%%"\r\n' "${pair%:*}" "$callRoot" "${pair#*:}" "$callRoot" "${pair#*:}" "${pair%:*}"
    done
    printf 'goto done\r\n:ntvars\r\n'
    for pair in PATH:BIN INCLUDE:INCLUDE LIB:LIB; do
        printf 'set %s=%s\\%s;%s\\%s;%%%s%%\r\n' "${pair%:*}" "$callRoot" "${pair#*:}" "$callRoot" "${pair#*:}" "${pair%:*}"
    done
    printf ':done\r\n'
} >"$out/programs/EARLIER.BAT"
export BENCH_CALL="C:\\windows\\system32\\cmd.exe /q /c call \"$programsWin\\NRVARCD.BAT\""
export BENCH_EARLIER="C:\\windows\\system32\\cmd.exe /q /c call \"$programsWin\\EARLIER.BAT\""
export BENCH_CALL_PROCESSES=1 BENCH_EARLIER_PROCESSES=1
rm -f "$out/times.txt"
loadBefore=$(cut -d' ' -f1-3 /proc/loadavg)
(cd "$out" && timeout $((600 + 10 * (pairs + warmup))) \
    wine driver.exe "$pairs" "$warmup" times.txt found baseline moved waited waitbase call \
    earlier </dev/null) ||
    Fail "the timed runs did not complete"
WineSessionStop
launch=$(python3 scripts/bench_summary.py "$out/times.txt" baseline \
    found="nrcdrom.exe, found" moved="nrcdrom.exe, moved" baseline=baseline.exe) ||
    Fail "could not read the timings"
waited=$(python3 scripts/bench_summary.py "$out/times.txt" waitbase \
    waited="nrcdrom.exe, W" waitbase=baseline_wait.exe) || Fail "could not read the timings"
waitRatio=$(sed -n 's/^  ratio waited\/waitbase, per round: median \([0-9.]*\).*/\1/p' <<<"$waited")
[ -n "$waitRatio" ] || Fail "no ratio for the run with W"
awk -v r="$waitRatio" -v l="$waitLimit" 'BEGIN { exit !(r <= l) }'
Judge $?
Put "Launch under Wine: $pairs rounds after $warmup warm-up rounds, each one run of each command"
Put "below, in an order that changes from round to round; each run timed from its creation to"
Put "its exit, the started tool (which does nothing) awaited outside the timing."
Put "  found:    nrcdrom.exe idle.exe Bench_Idle_Tool \$s  (target found at the remembered location)"
Put "  moved:    nrcdrom.exe moved.exe Bench_Moved_Tool \$s  (remembered at $movedFrom, on no"
Put "            drive; found on F:, the fourth drive, by its volume $movedIdentity, E: before it"
Put "            holding moved.exe on another volume; $movedFrom stored again before each run,"
Put "            outside the timing, and $movedTo found stored after it)"
Put "  baseline: baseline.exe  (reads the location of idle.exe, probes the target there, starts it)"
Put "$launch"
Put "The same rounds, the runs that wait for the tool (timed up to the launcher's exit, which"
Put "follows the tool's):"
Put "  W:        nrcdrom.exe idle.exe Bench_Idle_Tool \$s W  (the tool held in a job, awaited, its"
Put "            exit code handed on)"
Put "  baseline_wait: baseline_wait.exe  (as baseline.exe, then waits for the tool and ends with its"
Put "            exit code)"
Put "$waited"
Put "  median ratio W/baseline_wait $waitRatio; limit $waitLimit: $judged"
calls=$(python3 scripts/bench_summary.py "$out/times.txt" earlier \
    call="NRVARCD.BAT" earlier="EARLIER.BAT") || Fail "could not read the timings of the calls"
callRatio=$(sed -n 's|.*ratio call/earlier, per round: median \([0-9.]*\).*|\1|p' <<<"$calls")
awk -v r="$callRatio" 'BEGIN { exit !(r != "" && r <= 2) }'
Judge $?
Put "A cmd /c that calls NRVARCD.BAT once, in the same rounds, against one that calls a file of"
Put "the earlier format (the first block, then three bare set lines) for the same folders:"
Put "$calls"
Put "  limit: a median ratio of at most 2: $judged"
Put "  load average before and after the timed runs: $loadBefore / $(cut -d' ' -f1-3 /proc/loadavg)"
Put "  (other work on the machine widens the spread; the rounds keep the ratios fair)"
Put ""

# Instructions, natively: each whole run over the fake host, and the core alone with the fake
# host's calls left out. Counts of instructions do not depend on the machine's load.
cp "$root/native/bench/native_run" "$out/native_run"
for run in found moved; do
    "$out/native_run" "$run" >/dev/null ||
        Fail "the native $run run did not go as expected: $("$out/native_run" "$run")"
done
Count() {
    local file=$1 run=$2
    shift 2
    valgrind --tool=callgrind --callgrind-out-file="$file" --toggle-collect='RunLauncher*' "$@" \
        "$out/native_run" "$run" >/dev/null 2>"$file.log" || Fail "callgrind failed (see $file.log)"
    sed -n 's/^totals: *//p' "$file" | awk '{ print $1 }'
}
Put "Instructions of one whole run (RunLauncher, the same runs as above), native, callgrind:"
for run in found moved; do
    whole=$(Count "$out/callgrind.$run.whole" "$run")
    again=$(Count "$out/callgrind.$run.again" "$run")
    core=$(Count "$out/callgrind.$run.core" "$run" --toggle-collect='Host*')
    { [ -n "$whole" ] && [ -n "$core" ]; } || Fail "callgrind gave no count"
    Put "  $run, with the fake host:          $whole"
    Put "  $run, core alone (Host* left out): $core"
    if [ "$whole" = "$again" ]; then
        Put "  $run, a second count gives the same figure"
    else
        Put "  $run, a second count gives $again"
    fi
done
Put ""
if [ "$verdict" = 0 ]; then Put "All limits met."; else Put "A limit is NOT met."; fi
echo "Report written to $report"
exit $verdict
