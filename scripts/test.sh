#!/usr/bin/env bash
# The test command (.ci/run runs exactly this): installs what is missing, builds everything and
# runs every check, one stage at a time under a heading of its own. A stage's full output goes
# to its log in BUILD_ROOT/logs (BUILD_ROOT is NRCDROM_BUILD_ROOT, default build/); only a
# failing stage shows it, so per-test lines appear only on failure. The closing line counts
# stages, not tests: "N passed, M failed". Exits non-zero when any stage failed.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
export NRCDROM_BUILD_ROOT=${NRCDROM_BUILD_ROOT:-build}
root=$NRCDROM_BUILD_ROOT
jobs=${NRCDROM_JOBS:-2}
logs="$root/logs"
mkdir -p "$logs"

passed=0 failed=0
# Stage NAME SUMMARY COMMAND...: SUMMARY is a grep -E pattern for the lines of the log that
# sum up a passing stage.
Stage() {
    local name=$1 summary=$2 log="$logs/$1.log" start=$SECONDS
    shift 2
    echo "== $name"
    if "$@" >"$log" 2>&1; then
        passed=$((passed + 1))
        grep -E "$summary" "$log" | sed 's/^/   /'
        echo "   passed in $((SECONDS - start)) s"
    else
        failed=$((failed + 1))
        tail -n 60 "$log" | sed 's/^/   /'
        echo "   FAILED in $((SECONDS - start)) s (full output: $log)"
    fi
}

# The flags are the preset's (CMakePresets.json, "sanitize").
Sanitized() {
    cmake --preset sanitize -B "$root/sanitize" &&
        cmake --build "$root/sanitize" -j"$jobs" &&
        (cd "$root/sanitize" && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure)
}
# Where the machine runs no 32-bit programs, the Wine groups run against the 64-bit stand-in
# and the checks of the program file against the 32-bit program, which is what ships.
EndToEnd() {
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then
        (cd "$root/win32" && ctest --output-on-failure -j"$jobs")
    else
        echo "This machine runs no 32-bit programs: the Wine groups run the 64-bit stand-in."
        (cd "$root/win32" && ctest --output-on-failure -j"$jobs" -E '^e2e[.]') &&
            (cd "$root/win64" && ctest --output-on-failure -j"$jobs" -R '^e2e[.]')
    fi
}
Scripts() {
    scripts/install-deps.sh shellcheck &&
        shellcheck -x scripts/*.sh tests/e2e/*.sh .ci/run &&
        echo "shellcheck: the scripts are clean"
}

ctestSummary='tests passed|tests failed'
Stage build 'Built target (nrcdrom|unit_tests|e2e_driver)$' scripts/build.sh
Stage unit "$ctestSummary" bash -c "cd '$root/native' && ctest --output-on-failure"
Stage end-to-end "$ctestSummary|stand-in" EndToEnd
Stage sanitizers "$ctestSummary" Sanitized
# Every fuzz target for a bounded time (NRCDROM_FUZZ_SECONDS, default 30 each).
Stage fuzz '^fuzz ' scripts/fuzz.sh
Stage analysis '^analysis' scripts/analyze.sh
Stage coverage '^(lines|TOTAL|coverage)' scripts/coverage.sh
Stage scripts '^shellcheck' Scripts

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
