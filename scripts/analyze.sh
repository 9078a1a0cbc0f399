#!/usr/bin/env bash
# Static analysis of the core: clang-tidy (checks in .clang-tidy) and cppcheck. Fails on any
# finding, and when either tool cannot run (a missing tool, a file it cannot compile, a bad
# configuration): a tool that did not run has found nothing only by accident.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
scripts/install-deps.sh clang-tidy cppcheck || exit 1
root=${NRCDROM_BUILD_ROOT:-build}/native
# The preset "native" writes the compile commands that clang-tidy reads.
cmake --preset native -B "$root" >/dev/null || exit 1
status=0

log="$root/clang-tidy.log"
tidy=0
command -v clang-tidy >/dev/null &&
    clang-tidy -p "$root" --quiet base/*.cpp launch/*.cpp prompt/*.cpp script/*.cpp run/*.cpp \
        tests/fake/fake_host.cpp >"$log" 2>&1 || tidy=$?
if ! command -v clang-tidy >/dev/null; then
    echo "clang-tidy: not installed"
    status=1
elif [ $tidy != 0 ]; then
    echo "clang-tidy: did not run cleanly (exit code $tidy):"
    grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' "$log" | head -n 40
    status=1
elif grep -q -i -E 'warning:|error' "$log"; then
    echo "clang-tidy:"
    grep -i -E 'warning:|error' "$log"
    status=1
fi

if ! command -v cppcheck >/dev/null; then
    echo "cppcheck: not installed"
    status=1
elif ! cppcheck --enable=warning,style,performance,portability --inline-suppr \
        --error-exitcode=1 -q --std=c++17 -I . base launch prompt script run; then
    echo "cppcheck: findings above, or it could not run"
    status=1
fi

[ $status = 0 ] && echo "analysis: clang-tidy and cppcheck ran and found nothing"
exit $status
