#!/usr/bin/env bash
# Puts deliberate faults into a copy of the program, one at a time, and checks that the tests
# catch each: first the unit tests, then, when they miss it, the end-to-end groups it names.
#   bash scripts/faults.sh [FAULTS-FILE] [COMMIT]    (default scripts/faults.txt and HEAD)
# The copy is the commit's tree, unpacked under NRCDROM_FAULTS_DIR (default
# ${TMPDIR:-/tmp}/nrcdrom-faults); the working tree is never touched. NRCDROM_FAULTS_ONLY, a
# pattern of names (grep -E), runs only some faults. Prints one line per fault and a count;
# exits non-zero when a fault's original text is not in the tree, when a fault does not build,
# or when one is not caught.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
list=$(readlink -f "${1:-$top/scripts/faults.txt}")
rev=$(git -C "$top" rev-parse --short "${2:-HEAD}") || exit 2
work=${NRCDROM_FAULTS_DIR:-${TMPDIR:-/tmp}/nrcdrom-faults}
tree="$work/tree"
jobs=${NRCDROM_JOBS:-2}

# The fault file's blocks, checked against the tree (scripts/faults.py); "apply NAME" writes
# one fault in.
Faults() { python3 "$top/scripts/faults.py" "$list" "$tree" "$@"; }

echo "Faults from ${list#"$top/"}, applied to a copy of commit $rev in $tree"
rm -rf "$tree"
mkdir -p "$tree"
git -C "$top" archive "$rev" | tar -x -C "$tree" || exit 2
# Everything unpacked is newer than any build of an earlier run, so nothing stale is reused.
find "$tree" -exec touch {} +
faultList=$(Faults list) || { echo "FAILED: the fault list does not apply to commit $rev"; exit 2; }
if [ -n "${NRCDROM_FAULTS_ONLY:-}" ]; then
    faultList=$(grep -E "^(${NRCDROM_FAULTS_ONLY})"$'\t' <<<"$faultList")
fi

# Configured by the copy's own presets (CMakePresets.json), as scripts/build.sh does.
native="$work/native"
windows=win32
# Where no 32-bit program runs, the end-to-end groups run the 64-bit stand-in.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    windows=win64
fi
win32="$work/$windows"
cmake -S "$tree" --preset native -B "$native" >"$work/native-configure.log" 2>&1 ||
    { echo "FAILED: the native configure (see $work/native-configure.log)"; exit 2; }
UnitTests() {
    cmake --build "$native" --target unit_tests -j"$jobs" >"$work/build.log" 2>&1 || return 2
    # The braces take the shell's own word on a crash into the log as well.
    { timeout 300 "$native/tests/unit/unit_tests" --gtest_brief=1 --gtest_fail_fast \
        >"$work/unit.log" 2>&1; } \
        2>>"$work/unit.log"
}
win32Ready=no
E2eGroups() {
    local groups=$1
    if [ "$win32Ready" = no ]; then
        cmake -S "$tree" --preset "$windows" -B "$win32" >"$work/win32-configure.log" 2>&1 ||
            return 2
        win32Ready=yes
    fi
    cmake --build "$win32" --target e2e_driver -j"$jobs" >"$work/build.log" 2>&1 || return 2
    # The first failing case ends its group, and the first failing group the run: a fault
    # that breaks every run costs one wait, not one per case.
    (cd "$win32" && GTEST_FAIL_FAST=1 ctest -j"$jobs" -R "^e2e\\.(${groups// /|})\$" \
        --stop-on-failure --output-on-failure) \
        >"$work/e2e.log" 2>&1
}
FirstFailure() { grep -m1 -oE "$1" "$2" | sed -E 's/^\[ *FAILED *\] *//'; }

echo "Checking that the unmodified copy passes the unit tests..."
UnitTests || { echo "FAILED: the unmodified copy does not pass (see $work/unit.log, $work/build.log)"; exit 2; }

total=0 unit=0 e2e=0 missed=0 broken=0
while IFS=$'\t' read -r name file groups; do
    total=$((total + 1))
    cp "$tree/$file" "$work/original"
    Faults apply "$name" || { echo "FAILED: could not apply $name"; exit 2; }
    UnitTests
    rc=$?
    if [ $rc = 2 ]; then
        result="DOES NOT BUILD  "; broken=$((broken + 1))
        detail=$(grep -m1 -E 'error:' "$work/build.log")
        cp "$work/build.log" "$work/$name.build.log"
    elif [ $rc != 0 ]; then
        result="caught by unit  "; unit=$((unit + 1))
        detail=$(FirstFailure '^\[  FAILED  \] [A-Za-z0-9_.]+' "$work/unit.log")
        [ -n "$detail" ] || detail="the unit tests ended with code $rc"
    elif [ -z "$groups" ]; then
        result="NOT CAUGHT      "; detail="unit tests pass; no end-to-end group named"
        missed=$((missed + 1))
    else
        E2eGroups "$groups"
        rc=$?
        if [ $rc = 2 ]; then
            result="DOES NOT BUILD  "; broken=$((broken + 1))
            detail="Windows build: $(grep -m1 -E 'error:' "$work/build.log")"
            cp "$work/build.log" "$work/$name.build.log"
        elif [ $rc != 0 ]; then
            result="caught by e2e   "; e2e=$((e2e + 1))
            detail=$(FirstFailure '^\[  FAILED  \] [A-Za-z0-9_.]+' "$work/e2e.log")
            detail="e2e ${groups}${detail:+: $detail}"
            cp "$work/e2e.log" "$work/$name.e2e.log"
        else
            result="NOT CAUGHT      "; detail="unit tests and e2e $groups pass"
            missed=$((missed + 1))
        fi
    fi
    # Written, not copied with its old time, so the next build compiles the file again.
    cat "$work/original" >"$tree/$file"
    printf '%s %-44s %-30s %s\n' "$result" "$name" "$file" "$detail"
done <<<"$faultList"
# The last fault's objects must not outlive it either.
cmake --build "$native" --target unit_tests -j"$jobs" >"$work/build.log" 2>&1

echo "$total faults: $unit caught by unit, $e2e caught by e2e, $missed NOT CAUGHT, $broken do not build"
[ $missed = 0 ] && [ $broken = 0 ]
