#!/usr/bin/env bash
# Static analysis of the core: clang-tidy (checks in .clang-tidy) and cppcheck. Fails on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh clang-tidy cppcheck
root=${NRCDROM_BUILD_ROOT:-build}/native
cmake -S . -B "$root" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
status=0
findings=$(clang-tidy -p "$root" --quiet launch/*.cpp prompt/*.cpp script/*.cpp \
    tests/fake/fake_host.cpp 2>/dev/null | grep -E 'warning:|error:' || true)
if [ -n "$findings" ]; then
    echo "$findings"
    status=1
fi
cppcheck --enable=warning,style,performance,portability --inline-suppr --error-exitcode=1 -q \
    --std=c++17 -I . launch prompt script || status=1
[ $status = 0 ] && echo "analysis: clang-tidy and cppcheck found nothing"
exit $status
