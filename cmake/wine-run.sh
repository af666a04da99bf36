#!/usr/bin/env bash
# Runs one Windows program under Wine; CTest uses it as the cross-compiling
# emulator, with the program's architecture first:
#   wine-run.sh x86|x64 PROGRAM [ARGUMENTS...]
# It calls that architecture's Wine loader itself: the `wine` wrapper takes
# the 32-bit loader whenever its file exists, even where it cannot run.
# scripts/test.sh normally provides a display and a private Wine prefix for
# the whole run; when called on its own, this script makes both for the one
# program and removes them on every exit, also when CTest ends it at a
# time-out.
set -u
here=$(cd "$(dirname "$0")" && pwd)
arch=$1
shift

case "$arch" in
x86) loader=/usr/lib/wine/wine ;;
x64) loader=/usr/lib/wine/wine64 ;;
*) echo "wine-run: unknown architecture '$arch' (x86 or x64)" >&2; exit 2 ;;
esac
if ! "$loader" --version >/dev/null 2>&1; then
    echo "wine-run: $1 is an $arch program, but Wine's loader for it ($loader) cannot run here;" \
         "build the other architecture (NOVRA_ARCH=x64 scripts/test.sh)" >&2
    exit 1
fi
export WINELOADER=$loader
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# The viewer's strings are ANSI text of the Japanese code page (932).
export LC_ALL=ja_JP.UTF-8

# shellcheck source=/dev/null
. "$here/../scripts/xvfb.sh"
. "$here/../scripts/wine-prefix.sh"
own_prefix=""
child=""
cleanup() {
    [ -n "$child" ] && kill "$child" 2>/dev/null
    [ -n "$own_prefix" ] && wine_prefix_remove
    xvfb_stop
}
trap cleanup EXIT
trap 'exit 143' TERM INT HUP

if [ -z "${DISPLAY:-}" ]; then
    xvfb_start || exit 1
fi
if [ -z "${WINEPREFIX:-}" ]; then
    own_prefix=1
    wine_prefix_create
fi

# In the background, so that a signal reaches the trap at once.
"$loader" "$@" &
child=$!
wait "$child"
rc=$?
child=""
exit $rc
