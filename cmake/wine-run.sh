#!/usr/bin/env bash
# Runs one Windows program under Wine; CTest uses it as the cross-compiling
# emulator. scripts/test.sh normally provides a display and a private Wine
# prefix for the whole run; when called on its own, this script makes both
# for the one program and removes them afterwards.
set -u
here=$(cd "$(dirname "$0")" && pwd)

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# The viewer's strings are ANSI text of the Japanese code page (932).
export LC_ALL=ja_JP.UTF-8

# shellcheck source=/dev/null
. "$here/../scripts/xvfb.sh"
. "$here/../scripts/wine-prefix.sh"
own_prefix=""
own_display=""
if [ -z "${DISPLAY:-}" ]; then
    xvfb_start
    own_display=1
fi
if [ -z "${WINEPREFIX:-}" ]; then
    wine_prefix_create
    own_prefix=1
fi

wine "$@"
rc=$?

[ -n "$own_prefix" ] && wine_prefix_remove
[ -n "$own_display" ] && xvfb_stop
exit $rc
