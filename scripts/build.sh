#!/usr/bin/env bash
# Builds the native unit tests (BUILD_ROOT/native) and the Windows program with its end-to-end
# driver (BUILD_ROOT/win32/nrcdrom.exe); BUILD_ROOT is NRCDROM_BUILD_ROOT, default build/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
root=${NRCDROM_BUILD_ROOT:-build}
jobs=${NRCDROM_JOBS:-2}
cmake -S . -B "$root/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/native" -j"$jobs"
cmake -S . -B "$root/win32" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/win32" -j"$jobs"
