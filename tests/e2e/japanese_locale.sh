#!/usr/bin/env bash
# Runs a group of end-to-end tests under a Japanese locale, in which Wine's ANSI code page
# is 932 (Shift-JIS). Makes the locale when the machine lacks it; when it cannot be made, the
# group still runs and its tests skip, saying why. Arguments: those of wine_suite.sh.
here=$(cd "$(dirname "$0")" && pwd)
if ! locale -a 2>/dev/null | grep -qiE '^ja_JP\.utf-?8$'; then
    "$here/../../scripts/install-deps.sh" locales >/dev/null 2>&1
    if ! localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 >/dev/null 2>&1; then
        export NRTEST_NO_JAPANESE="localedef could not make ja_JP.UTF-8"
    fi
fi
export LC_ALL=ja_JP.UTF-8
exec "$here/wine_suite.sh" "$@"
