#!/usr/bin/env bash
# Line coverage of the core (base/, launch/, prompt/, script/, run/) by the unit tests (gcc --coverage, gcovr).
# Fails when the lines covered fall below NRCDROM_COVERAGE_FLOOR per cent (default 95). The
# build (BUILD_ROOT/coverage) is configured by the preset "coverage".
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh gcovr
top=$PWD
floor=${NRCDROM_COVERAGE_FLOOR:-95}
root=${NRCDROM_BUILD_ROOT:-build}/coverage
cmake --preset coverage -B "$root" >/dev/null
cmake --build "$root" -j"${NRCDROM_JOBS:-2}" --target unit_tests >/dev/null
find "$root" -name '*.gcda' -delete
"$root/tests/unit/unit_tests" --gtest_brief=1 >/dev/null
gcovr --root "$top" --object-directory "$root" \
      --filter "$top/base/" --filter "$top/launch/" --filter "$top/prompt/" \
      --filter "$top/script/" --filter "$top/run/" \
      --print-summary --fail-under-line "$floor"
echo "coverage: floor $floor% of lines"
