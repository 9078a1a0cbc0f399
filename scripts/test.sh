#!/usr/bin/env bash
# Builds everything and runs every test: the unit tests natively, then the end-to-end
# tests of the real program under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
status=0
(cd build/native && ctest --output-on-failure) || status=1
(cd build/win32 && ctest --output-on-failure -j2) || status=1

# The unit tests once more under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$sanitize" \
      -DCMAKE_EXE_LINKER_FLAGS="$sanitize" >/dev/null
cmake --build build/sanitize -j"$(nproc)" >/dev/null
(cd build/sanitize && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure) || status=1

# Every fuzz target for a bounded time (NRCDROM_FUZZ_SECONDS, default 30 each).
scripts/fuzz.sh || status=1

# Static analysis of the core.
scripts/analyze.sh || status=1

# Line coverage of the core by the unit tests.
scripts/coverage.sh || status=1
exit $status
