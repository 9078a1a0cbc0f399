#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) and runs each for a bounded time,
# starting from the seeds in fuzz/corpus. Any finding fails the run; its input is left in the
# build folder to become a regression seed. The build (BUILD_ROOT/fuzz) is configured by the
# preset "fuzz"; NRCDROM_JOBS sets the number of parallel jobs (default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh clang libfuzzer-14-dev
seconds=${NRCDROM_FUZZ_SECONDS:-30}
root=${NRCDROM_BUILD_ROOT:-build}/fuzz
# A folder configured from fuzz/ by itself cannot be configured from the top: it starts afresh.
if grep -qsxF "CMAKE_HOME_DIRECTORY:INTERNAL=$(pwd -P)/fuzz" "$root/CMakeCache.txt"; then
    rm -rf "$root/CMakeCache.txt" "$root/CMakeFiles"
fi
cmake --preset fuzz -B "$root" >/dev/null
cmake --build "$root" -j"${NRCDROM_JOBS:-2}" >/dev/null
status=0
for target in command_tail tokens template path_text script_block launch; do
    work="$root/corpus-$target"
    mkdir -p "$work"
    cp fuzz/corpus/"$target"/* "$work"/ 2>/dev/null || true
    log="$root/$target.log"
    if (cd "$root" && "./fuzz_$target" -max_total_time="$seconds" -max_len=8192 \
            -print_final_stats=1 "corpus-$target" >"$target.log" 2>&1); then
        runs=$(grep -oE 'number_of_executed_units: [0-9]+' "$log" | grep -oE '[0-9]+' || echo '?')
        echo "fuzz $target: $runs executions in ${seconds}s, no finding"
    else
        echo "fuzz $target: FINDING (see $log)"
        grep -m3 -E 'property failed|ERROR|SUMMARY' "$log" || true
        status=1
    fi
done
exit $status
