#!/usr/bin/env bash
# Builds NOVRA and starts it with the demo saver. On a machine without a
# display it starts a virtual one, saves a screenshot of the window to
# build/<arch>/screenshot.png and ends the viewer again; it fails when no
# viewer window appeared.
set -euo pipefail
. "$(dirname "$0")/common.sh"
novra_start run
build=$novra_root/build/$NOVRA_ARCH
bin=$build/bin

novra_build "$NOVRA_ARCH" "$build" --target novra novra_stars

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=ja_JP.UTF-8
# One prefix per architecture, so that switching never mixes them.
export WINEPREFIX=${NOVRA_WINEPREFIX:-$build/wineprefix}
. "$novra_root/scripts/wine-prefix.sh"

# The display comes first: Wine's desktop takes whatever display the first
# Wine process of a session finds, and keeps it.
headless=""
if [ -z "${DISPLAY:-}" ]; then
    . "$novra_root/scripts/xvfb.sh"
    xvfb_start
    headless=1
    trap 'wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; xvfb_stop' EXIT
fi

if [ ! -d "$WINEPREFIX" ]; then
    mkdir -p "$WINEPREFIX"
    wine_prefix_init
fi

# A first run previews the demo saver at once.
if [ ! -e "$bin/novra.ini" ]; then
    saver=$("$NOVRA_WINE" winepath -w "$bin/novra_stars.scr" 2>/dev/null | tr -d '\r')
    printf '[SYSTEM]\r\nSCREENSAVER_1=%s\r\n' "$saver" > "$bin/novra.ini"
fi

if [ -z "$headless" ]; then
    exec "$NOVRA_WINE" "$bin/novra.exe"
fi

"$NOVRA_WINE" "$bin/novra.exe" &
viewer=$!
shown=""
for _ in $(seq 1 120); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"NOVRA Ver'; then shown=1; break; fi
    kill -0 "$viewer" 2>/dev/null || break
    sleep 0.5
done
if [ -z "$shown" ]; then
    echo "run: the viewer showed no window" >&2
    exit 1
fi
sleep 3     # let the saver start and draw
geometry=$(xwininfo -root -tree | awk '/"NOVRA Ver/ { print $(NF-1); exit }')
import -window root ${geometry:+-crop "$geometry"} "$build/screenshot.png"
echo "run: no display here; the viewer ran on a virtual one: ${build#"$novra_root"/}/screenshot.png"
