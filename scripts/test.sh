#!/usr/bin/env bash
# Builds everything and runs every test: the unit tests natively, the end-to-end tests of the
# real program under Wine, the unit tests under sanitizers, the fuzz targets, static analysis
# and the coverage report. Ends with one line counting the stages that passed and failed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh

passed=0 failed=0
stage() {
    local name=$1
    shift
    if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "stage failed: $name"; fi
}
sanitized() {
    local flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
    cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$flags" \
          -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null &&
        cmake --build build/sanitize -j"$(nproc)" >/dev/null &&
        (cd build/sanitize && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure)
}

# Line coverage first: it only reports, and the test runners' own closing lines come after it.
stage coverage scripts/coverage.sh
stage analysis scripts/analyze.sh
# Every fuzz target for a bounded time (NRCDROM_FUZZ_SECONDS, default 30 each).
stage fuzz scripts/fuzz.sh
stage sanitizers sanitized
stage unit bash -c 'cd build/native && ctest --output-on-failure'
stage end-to-end bash -c 'cd build/win32 && ctest --output-on-failure -j2'

echo "stages: $passed passed, $failed failed"
[ "$failed" = 0 ]
