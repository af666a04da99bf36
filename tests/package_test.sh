#!/usr/bin/env bash
# A release zip holds what it promises (the help page with every picture it
# shows), and its viewer, unpacked into a fresh folder, starts there and
# keeps its settings file beside itself when it is closed.
#   package_test.sh ZIP ARCH
# Exit 77 (skipped) where the zip's architecture cannot run.
set -u
zip=$(cd "$(dirname "$1")" && pwd)/$(basename "$1") arch=$2
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "package_test: $*" >&2; exit 1; }
. "$here/../scripts/xvfb.sh"
. "$here/../scripts/wine-prefix.sh"

[ -f "$zip" ] || fail "$zip is missing; scripts/package.sh makes it"
listing=$(cmake -E tar tf "$zip") || fail "cannot read $zip"
top=$(basename "$zip" .zip)
for f in novra.exe novra_stars.scr novracheck.exe README-en.txt README-ja.txt NOVRA.html; do
    grep -qx "$top/$f" <<<"$listing" || fail "$zip lacks $top/$f"
done
folder=$(mktemp -d /tmp/novra-package.XXXXXX)
own_prefix="" viewer=""
cleanup() {
    [ -n "$viewer" ] && kill "$viewer" 2>/dev/null
    [ -n "$own_prefix" ] && wine_prefix_remove
    xvfb_stop
    rm -rf "$folder"
}
trap cleanup EXIT
trap 'exit 143' TERM INT HUP
(cd "$folder" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
dir=$folder/$top
# Every picture the help page shows stands beside it.
pictures=$(grep -o 'src="[^"]*"' "$dir/NOVRA.html" | sed 's/^src="//; s/"$//')
[ -n "$pictures" ] || fail "the help page in $zip shows no pictures"
for f in $pictures; do
    [ -f "$dir/$f" ] || fail "$zip lacks $top/$f, which its help page shows"
done

loader=/usr/lib/wine/wine
[ "$arch" = x64 ] && loader=/usr/lib/wine/wine64
case " ${NOVRA_ARCHES:-x86 x64} " in
*" $arch "*) ;;
*) echo "package_test: skipped: this machine runs only ${NOVRA_ARCHES} programs, not $arch"; exit 77 ;;
esac
if ! "$loader" --version >/dev/null 2>&1; then
    echo "package_test: skipped: Wine's $arch loader ($loader) cannot run here"
    exit 77
fi
export WINELOADER=$loader WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=ja_JP.UTF-8

if [ -z "${DISPLAY:-}" ]; then xvfb_start || exit 1; fi
if [ -z "${WINEPREFIX:-}" ]; then own_prefix=1; wine_prefix_create; fi

[ ! -e "$dir/novra.ini" ] || fail "the zip carries a settings file"
(cd "$dir" && exec "$loader" novra.exe) &
viewer=$!

# The viewer's Windows process id; it is the only novra.exe of this prefix,
# since all tests that start viewers hold one lock.
pid=""
for _ in $(seq 1 60); do
    pid=$("$loader" wmic process get processid,name 2>/dev/null | iconv -f UTF-16LE -t UTF-8 2>/dev/null |
          tr -d '\r' | awk 'tolower($1) == "novra.exe" { print $2; exit }')
    [ -n "$pid" ] && xwininfo -root -tree 2>/dev/null | grep -q '"NOVRA Ver' && break
    pid=""
    sleep 0.5
done
[ -n "$pid" ] || fail "the viewer from $zip showed no window"

# A polite close (WM_CLOSE, not /f): the viewer writes its settings then.
"$loader" taskkill /pid "$pid" >/dev/null 2>&1 || fail "could not close the viewer"
for _ in $(seq 1 40); do
    kill -0 "$viewer" 2>/dev/null || break
    sleep 0.25
done
kill -0 "$viewer" 2>/dev/null && fail "the viewer did not end after WM_CLOSE"
viewer=""
grep -q '^\[WINDOW\]' "$dir/novra.ini" 2>/dev/null || fail "no settings file beside the unpacked viewer"
echo "package_test: $top starts from its own folder and keeps its settings there"
