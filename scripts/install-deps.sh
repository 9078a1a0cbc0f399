#!/usr/bin/env bash
# Installs what building and testing need, from Debian's packages, when it is missing; the
# arguments name further packages that one script needs (scripts/analyze.sh: clang-tidy, ...).
set -euo pipefail

packages=()
need() { command -v "$1" >/dev/null 2>&1 || packages+=("${@:2}"); }
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'ok installed'; }
need cmake cmake
need g++ g++
need i686-w64-mingw32-g++-posix mingw-w64
need i686-w64-mingw32-windres mingw-w64
need wine wine wine32:i386 wine64
need Xvfb xvfb
need xdotool xdotool
need import imagemagick
need xwininfo x11-utils
need python3 python3
[ -f /usr/src/googletest/CMakeLists.txt ] || packages+=(googletest)
[ -f /usr/include/gtest/gtest.h ] || packages+=(libgtest-dev)
installed wine32:i386 || packages+=(wine32:i386)
# A 64-bit prefix (WINE_SUITE_ARCH=win64) needs the 64-bit loader beside the 32-bit one.
[ -x /usr/lib/wine/wine64 ] || packages+=(wine64)
# The resource checks read the built program file with pefile.
installed python3-pefile || packages+=(python3-pefile)
# The end-to-end groups under other locales make them from the definitions in locales.
installed locales || packages+=(locales)
for extra in "$@"; do
    installed "$extra" || packages+=("$extra")
done

if [ ${#packages[@]} -gt 0 ]; then
    echo "Installing: ${packages[*]}"
    export DEBIAN_FRONTEND=noninteractive
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${packages[@]}" </dev/null
fi
