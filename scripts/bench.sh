#!/usr/bin/env bash
# Measures the built program and writes the report to BUILD_ROOT/bench/report.txt:
#   - the size of nrcdrom.exe and the DLLs it imports, against their limits;
#   - under Wine, the time of a run that finds its target at the remembered location and
#     starts it, against a baseline launcher that does only the unavoidable part of that work;
#   - natively, the instructions of one whole run over the fake host, counted by callgrind.
# BUILD_ROOT is NRCDROM_BUILD_ROOT (default build/); NRCDROM_BENCH_PAIRS sets the number of
# timed pairs (default 100). Exits non-zero when a limit is exceeded or a measurement fails.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top" || exit 1
# shellcheck source=scripts/wine_session.sh
. scripts/wine_session.sh
Fail() { printf 'FAILED: %s\n' "$*" >&2; exit 1; }

root=${NRCDROM_BUILD_ROOT:-build}
pairs=${NRCDROM_BENCH_PAIRS:-100}
warmup=3
sizeLimit=40960
allowedDlls="ADVAPI32.DLL COMDLG32.DLL KERNEL32.DLL MSVCRT.DLL USER32.DLL"

# The program and the benchmark's own programs (bench/CMakeLists.txt), nothing else.
BuildWin32 "$root" nrcdrom bench_baseline bench_idle bench_driver >/dev/null ||
    Fail "the Windows build failed"
if ! { cmake -S . -B "$root/native" >/dev/null &&
       cmake --build "$root/native" -j2 --target bench_native_run >/dev/null; }; then
    Fail "the native run did not build"
fi
scripts/install-deps.sh valgrind || Fail "could not install valgrind"
exe=$(readlink -f "$root/win32/nrcdrom.exe")
out="$root/bench"
rm -rf "$out/programs" "$out/tool"
mkdir -p "$out/programs" "$out/tool"
out=$(readlink -f "$out")
report="$out/report.txt"
: >"$report"
verdict=0
Put() { printf '%s\n' "$*" | tee -a "$report"; }
Verdict() { if [ "$1" = 0 ]; then printf 'met'; else printf 'NOT MET'; verdict=1; fi; }

Put "nrcdrom benchmark, $(date -u '+%Y-%m-%d %H:%M UTC'), $(wine --version), $(nproc) cores"
Put "Program: $exe"
Put ""

# Size and imports.
bytes=$(stat -c %s "$exe")
[ "$bytes" -le "$sizeLimit" ]
Put "$(printf 'Size:    %d bytes (%s KiB); limit 40 KiB (%d bytes): %s' "$bytes" \
    "$(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 1024 }')" "$sizeLimit" "$(Verdict $?)")"
imports=$(i686-w64-mingw32-objdump -p "$exe" | awk '
    /DLL Name:/ { dll = $3; order[++n] = dll; next }
    dll != "" && /^\t[0-9a-f]+\t/ { count[dll]++ }
    /^$/ && dll != "" && count[dll] > 0 { dll = "" }
    END { for (i = 1; i <= n; i++) printf "%s %d\n", order[i], count[order[i]] }' | sort -u)
[ -n "$imports" ] || Fail "no import table found in $exe"
foreign=""
while read -r dll _; do
    case " $allowedDlls " in
        *" $(printf '%s' "$dll" | tr '[:lower:]' '[:upper:]') "*) ;;
        *) foreign="$foreign $dll" ;;
    esac
done <<<"$imports"
[ -z "$foreign" ]
Put "Imports: $(awk '{ printf "%s%s (%d functions)", (NR > 1 ? ", " : ""), $1, $2 }' <<<"$imports");" \
    "allowed KERNEL32, USER32, COMDLG32, ADVAPI32, msvcrt: $(Verdict $?)${foreign:+ (also:$foreign)}"
Put ""

cp "$exe" "$out/programs/nrcdrom.exe"
cp "$root/win32/bench/baseline.exe" "$out/programs/"
cp "$root/win32/bench/idle.exe" "$out/tool/"
cp "$root/win32/bench/driver.exe" "$out/"

# The launch under Wine, in a prefix of its own with one persistent server, so that no
# server start is measured; no display is needed, since no window opens.
trap WineSessionStop EXIT
WineSessionStart "$out/wine" none || Fail "the Wine session did not start"
wine reg add 'HKLM\SOFTWARE\HalvardWorks\Marlinth\6.6\nrcdrom' /v idle.exe /t REG_SZ \
    /d "$(WinPath "$out/tool")" /f >/dev/null 2>&1 || Fail "could not create the registry value"
programsWin=$(WinPath "$out/programs")
export BENCH_LAUNCHER="$programsWin\\nrcdrom.exe idle.exe Bench_Idle_Tool \$s"
export BENCH_BASELINE="$programsWin\\baseline.exe"
rm -f "$out/times.txt"
loadBefore=$(cut -d' ' -f1-3 /proc/loadavg)
(cd "$out" && timeout 900 wine driver.exe "$pairs" "$warmup" times.txt </dev/null) ||
    Fail "the timed runs did not complete"
WineSessionStop
launch=$(python3 - "$out/times.txt" <<'EOF'
import statistics, sys
rows = [tuple(map(float, line.split())) for line in open(sys.argv[1]) if line.strip()]
a = [r[0] for r in rows]; b = [r[1] for r in rows]
ratio = [x / y for x, y in rows]; diff = [x - y for x, y in rows]
def q(v):
    q1, q2, q3 = statistics.quantiles(v, n=4, method="inclusive")
    return q1, q2, q3
def ms(v):
    q1, q2, q3 = q(v)
    return "median %.2f ms (IQR %.2f to %.2f)" % (q2 / 1000, q1 / 1000, q3 / 1000)
r1, r2, r3 = q(ratio)
d1, d2, d3 = q(diff)
print("  nrcdrom.exe:  %s" % ms(a))
print("  baseline.exe: %s" % ms(b))
print("  ratio nrcdrom/baseline, per pair: median %.3f (IQR %.3f to %.3f, spread %.3f)"
      % (r2, r1, r3, r3 - r1))
print("  difference, per pair: median %+.2f ms (IQR %+.2f to %+.2f)" % (d2 / 1000, d1 / 1000, d3 / 1000))
EOF
) || Fail "could not read the timings"
Put "Launch under Wine: $pairs interleaved pairs after $warmup warm-up pairs; each run timed from"
Put "its creation to its exit, the started tool (which does nothing) awaited outside the timing."
Put "  run: nrcdrom.exe idle.exe Bench_Idle_Tool \$s  (target found at the remembered location)"
Put "$launch"
Put "  load average before and after the timed runs: $loadBefore / $(cut -d' ' -f1-3 /proc/loadavg)"
Put "  (other work on the machine widens the spread; the pairs keep the ratio fair)"
Put ""

# Instructions, natively: the whole run over the fake host, and the core alone with the fake
# host's calls left out. Counts of instructions do not depend on the machine's load.
cp "$root/native/bench/native_run" "$out/native_run"
"$out/native_run" >/dev/null || Fail "the native run did not go as expected: $("$out/native_run")"
Count() {
    local file=$1
    shift
    valgrind --tool=callgrind --callgrind-out-file="$file" --toggle-collect='RunLauncher*' "$@" \
        "$out/native_run" >/dev/null 2>"$file.log" || Fail "callgrind failed (see $file.log)"
    sed -n 's/^totals: *//p' "$file" | awk '{ print $1 }'
}
whole=$(Count "$out/callgrind.whole")
again=$(Count "$out/callgrind.again")
core=$(Count "$out/callgrind.core" --toggle-collect='Host*')
{ [ -n "$whole" ] && [ -n "$core" ]; } || Fail "callgrind gave no count"
Put "Instructions of one whole run (RunLauncher, same run as above), native, callgrind:"
Put "  with the fake host:          $whole"
Put "  core alone (Host* left out): $core"
if [ "$whole" = "$again" ]; then
    Put "  a second count gives the same figure"
else
    Put "  a second count gives $again"
fi
Put ""
if [ "$verdict" = 0 ]; then Put "All limits met."; else Put "A limit is NOT met."; fi
echo "Report written to $report"
exit $verdict
