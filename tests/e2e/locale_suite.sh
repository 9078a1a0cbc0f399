#!/usr/bin/env bash
# Runs a group of end-to-end tests under the Unix locale NRTEST_LOCALE (ja_JP, de_DE, ...) in
# UTF-8, from which Wine takes its ANSI and OEM code pages. Arguments: those of wine_suite.sh.
# A locale the machine lacks is made with localedef, after installing the locales package when
# its definitions are missing. When it cannot be made, the reason is printed and the group
# still runs with NRTEST_NO_LOCALE set to it, so that each of its tests skips saying why.
set -u
here=$(cd "$(dirname "$0")" && pwd)
locale=${NRTEST_LOCALE:?NRTEST_LOCALE names the locale, e.g. de_DE}
work=$2

Present() { locale -a 2>/dev/null | grep -qixE "$locale\.utf-?8"; }

# Prints why the locale could not be made, or nothing once it is there.
MakeLocale() {
    Present && return 0
    if [ ! -f "/usr/share/i18n/locales/$locale" ] || [ ! -f /usr/share/i18n/charmaps/UTF-8.gz ]; then
        "$here/../../scripts/install-deps.sh" locales >&2 ||
            { echo "installing the locales package failed"; return 0; }
    fi
    if [ ! -f "/usr/share/i18n/locales/$locale" ]; then
        echo "no definition of $locale in /usr/share/i18n/locales"
        return 0
    fi
    # localedef also exits non-zero for mere warnings; whether the locale is there decides.
    localedef -i "$locale" -f UTF-8 "$locale.UTF-8" >&2
    local rc=$?
    Present || echo "localedef -i $locale -f UTF-8 $locale.UTF-8 ended with $rc and made no locale"
}

# Groups run side by side, and the package manager takes one at a time.
mkdir -p "$work"
exec 9>"$work/locales.lock"
flock 9
reason=$(MakeLocale)
exec 9>&-
if [ -n "$reason" ]; then
    echo "locale_suite.sh: $reason; the tests of this group skip" >&2
    export NRTEST_NO_LOCALE="$reason"
    exec "$here/wine_suite.sh" "$@"
fi
# Set for the suite only: this shell read the locale archive before the locale was added.
exec env LC_ALL="$locale.UTF-8" "$here/wine_suite.sh" "$@"
