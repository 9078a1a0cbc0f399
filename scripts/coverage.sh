#!/usr/bin/env bash
# Line coverage of launch/, prompt/ and script/ by the unit tests (gcc --coverage and gcov).
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
root=${NRCDROM_BUILD_ROOT:-build}/coverage
cmake -S . -B "$root" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="--coverage -O0" \
      -DCMAKE_EXE_LINKER_FLAGS="--coverage" >/dev/null
cmake --build "$root" -j"$(nproc)" >/dev/null
find "$root" -name '*.gcda' -delete
"$root/tests/unit/unit_tests" --gtest_brief=1 >/dev/null
objects=$(find "$(readlink -f "$root")/CMakeFiles/nrcdrom_core.dir" -name '*.gcno')
cd "$root"
total=0 covered=0
printf '%-36s %6s %6s\n' "file" "lines" "cover"
for gcno in $objects; do
    line=$(gcov -n -o "$(dirname "$gcno")" "$gcno" 2>/dev/null |
           awk -v top="$top/" '/^File /{f=$2; gsub(sprintf("%c",39),"",f)} /^Lines executed/{if (index(f, top)==1 && f !~ /\.h$/) {print f, $0; exit}}')
    [ -n "$line" ] || continue
    file=${line%% *}; file=${file#"$top/"}
    pct=$(sed -E 's/.*executed:([0-9.]+)% of ([0-9]+).*/\1/' <<<"$line")
    n=$(sed -E 's/.*executed:([0-9.]+)% of ([0-9]+).*/\2/' <<<"$line")
    hit=$(awk -v p="$pct" -v n="$n" 'BEGIN{printf "%d", p*n/100+0.5}')
    total=$((total + n)); covered=$((covered + hit))
    printf '%-36s %6d %5.1f%%\n' "$file" "$n" "$pct"
done
awk -v c="$covered" -v t="$total" 'BEGIN{printf "%-36s %6d %5.1f%%\n", "total", t, 100*c/t}'
