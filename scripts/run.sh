#!/usr/bin/env bash
# Builds NOVRA and starts it with the demo saver. On a machine without a
# display it starts a virtual one, saves a screenshot of the window to
# build/screenshot.png and ends the viewer again.
set -euo pipefail
. "$(dirname "$0")/common.sh"
root=$novra_root
bin=$root/build/bin

novra_build "$root/build" --target novra novra_stars

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=ja_JP.UTF-8
export WINEPREFIX=${NOVRA_WINEPREFIX:-$root/build/wineprefix}

# The display comes first: Wine's desktop takes whatever display the first
# Wine process of a session finds, and keeps it.
headless=""
if [ -z "${DISPLAY:-}" ]; then
    . "$root/scripts/xvfb.sh"
    xvfb_start
    headless=1
    trap 'wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; xvfb_stop' EXIT
fi

if [ ! -d "$WINEPREFIX" ]; then
    wine wineboot --init >/dev/null 2>&1 || true
    # Wine draws the frames itself where no window manager would.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
fi

# A first run previews the demo saver at once.
if [ ! -e "$bin/novra.ini" ]; then
    saver=$(wine winepath -w "$bin/novra_stars.scr" 2>/dev/null | tr -d '\r')
    printf '[SYSTEM]\r\nSCREENSAVER_1=%s\r\n' "$saver" > "$bin/novra.ini"
fi

if [ -z "$headless" ]; then
    exec wine "$bin/novra.exe"
fi

wine "$bin/novra.exe" &
for _ in $(seq 1 120); do
    xwininfo -root -tree 2>/dev/null | grep -q '"NOVRA Ver' && break
    sleep 0.5
done
sleep 3     # let the saver start and draw
geometry=$(xwininfo -root -tree | awk '/"NOVRA Ver/ { print $(NF-1); exit }')
import -window root ${geometry:+-crop "$geometry"} "$root/build/screenshot.png"
echo "run: no display here; the viewer ran on a virtual one: build/screenshot.png"
