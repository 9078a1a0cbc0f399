#!/usr/bin/env bash
# Installs what building and testing need, from Debian's packages, when it is missing.
set -euo pipefail

packages=()
need() { command -v "$1" >/dev/null 2>&1 || packages+=("${@:2}"); }
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
if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'ok installed'; then
    packages+=(wine32:i386)
fi
for extra in "$@"; do
    dpkg-query -W -f='${Status}' "$extra" 2>/dev/null | grep -q 'ok installed' || packages+=("$extra")
done

if [ ${#packages[@]} -gt 0 ]; then
    echo "Installing: ${packages[*]}"
    export DEBIAN_FRONTEND=noninteractive
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${packages[@]}" </dev/null
fi
