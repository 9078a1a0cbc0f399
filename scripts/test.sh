#!/usr/bin/env bash
# Builds everything and runs every test: the unit tests natively, then the end-to-end
# tests of the real program under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
status=0
(cd build/native && ctest --output-on-failure) || status=1
(cd build/win32 && ctest --output-on-failure -j2) || status=1
exit $status
