#!/usr/bin/env bash
# Builds the native unit tests (BUILD_ROOT/native) and the Windows program with its end-to-end
# driver (BUILD_ROOT/win32/nrcdrom.exe); BUILD_ROOT is NRCDROM_BUILD_ROOT, default build/, and
# NRCDROM_JOBS the number of parallel jobs (default 2). Each folder is configured by the preset
# of its name in CMakePresets.json.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
root=${NRCDROM_BUILD_ROOT:-build}
jobs=${NRCDROM_JOBS:-2}
cmake --preset native -B "$root/native" >/dev/null
cmake --build "$root/native" -j"$jobs"
cmake --preset win32 -B "$root/win32" >/dev/null
cmake --build "$root/win32" -j"$jobs"
# A machine that runs no 32-bit programs runs the end-to-end groups against a 64-bit
# stand-in built from the same sources (BUILD_ROOT/win64); what ships is the 32-bit program.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    cmake --preset win64 -B "$root/win64" >/dev/null
    cmake --build "$root/win64" -j"$jobs" --target nrcdrom recorder e2e_driver
fi
