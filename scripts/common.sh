# Sourced by the scripts: choosing the architecture, building, and a
# private Wine session.

novra_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
novra_wine32=/usr/lib/wine/wine
novra_wine64=/usr/lib/wine/wine64

# True when this Wine loader can start here. The file alone proves nothing:
# wine32 may be installed on a machine that cannot execute 32-bit programs.
novra_loader_runs() {
    [ -x "$1" ] && "$1" --version >/dev/null 2>&1
}

novra_loader_of() {
    if [ "$1" = x86 ]; then echo "$novra_wine32"; else echo "$novra_wine64"; fi
}

novra_other_arch() {
    if [ "$1" = x86 ]; then echo x64; else echo x86; fi
}

# novra_choose_arch SCRIPT_NAME
# Picks the architecture by trying the loaders (32-bit first, the program's
# own), unless NOVRA_ARCH names one. A chosen NOVRA_ARCH stands for a
# machine that runs only that architecture, which is how a machine without
# 32-bit support is simulated; NOVRA_CROSS=1 still adds the other one.
# Exports NOVRA_ARCH, NOVRA_WINE (the loader to call; the `wine` wrapper
# would take the 32-bit one whenever its file exists), WINELOADER, and
# NOVRA_ARCHES, the architectures this machine may run.
novra_choose_arch() {
    local who=$1 forced=${NOVRA_ARCH:-}
    case "$forced" in
    "")
        if novra_loader_runs "$novra_wine32"; then
            NOVRA_ARCH=x86
        elif novra_loader_runs "$novra_wine64"; then
            NOVRA_ARCH=x64
        else
            echo "$who: no architecture: neither Wine loader runs here ($novra_wine32, $novra_wine64); run scripts/setup.sh" >&2
            return 1
        fi ;;
    x86|x64) ;;
    *)
        echo "$who: NOVRA_ARCH must be x86 or x64, not '$forced'" >&2
        return 1 ;;
    esac
    NOVRA_WINE=$(novra_loader_of "$NOVRA_ARCH")
    if ! novra_loader_runs "$NOVRA_WINE"; then
        echo "$who: architecture $NOVRA_ARCH was asked for, but its Wine loader $NOVRA_WINE cannot run here" >&2
        return 1
    fi
    NOVRA_ARCHES=$NOVRA_ARCH
    local other
    other=$(novra_other_arch "$NOVRA_ARCH")
    if { [ -z "$forced" ] || [ "${NOVRA_CROSS:-}" = 1 ]; } && [ "${NOVRA_CROSS:-}" != 0 ] &&
       novra_loader_runs "$(novra_loader_of "$other")"; then
        NOVRA_ARCHES="$NOVRA_ARCH $other"
    fi
    export NOVRA_ARCH NOVRA_WINE NOVRA_ARCHES WINELOADER=$NOVRA_WINE
    echo "$who: architecture $NOVRA_ARCH (Wine loader $NOVRA_WINE; runs: $NOVRA_ARCHES)"
}

# novra_start SCRIPT_NAME
# Installs what is missing, then prints the chosen architecture as the
# script's first line: setup's own output is held back until then, since on
# a fresh machine there is no Wine to try before setup.
novra_start() {
    local out
    if ! out=$(NOVRA_SETUP_QUIET=1 bash "$novra_root/scripts/setup.sh" 2>&1); then
        echo "$1: setup failed:" >&2
        echo "$out" >&2
        return 1
    fi
    novra_choose_arch "$1" || return 1
    echo "$out"
}

# novra_build ARCH BUILD_DIR [cmake --build arguments...]
# Configures the cross build of one architecture once (the preset's
# settings, in a folder of its own), and builds.
novra_build() {
    local arch=$1 build=$2
    shift 2
    if [ ! -f "$build/CMakeCache.txt" ]; then
        (cd "$novra_root" && cmake --preset "$arch" -B "$build" \
              -DNOVRA_PACKAGE_DIR="$novra_root/build/packages" >/dev/null) || return 1
    fi
    cmake --build "$build" -j"$(nproc)" "$@"
}

# novra_wine_session [two-monitors]
# A private virtual display and Wine prefix for the rest of the script,
# all removed when it exits. With "two-monitors", also the display with two
# monitors and a prefix of its own on it (NOVRA_TWO_MONITOR_DISPLAY and
# NOVRA_TWO_MONITOR_PREFIX), or, where Xorg cannot start here, the reason
# in NOVRA_TWO_MONITOR_SKIP.
novra_wine_session() {
    . "$novra_root/scripts/xvfb.sh"
    . "$novra_root/scripts/wine-prefix.sh"
    . "$novra_root/scripts/two-monitors.sh"
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    export LC_ALL=ja_JP.UTF-8    # the ANSI code page 932, as on a Japanese system
    unset NOVRA_TWO_MONITOR_DISPLAY NOVRA_TWO_MONITOR_PREFIX NOVRA_TWO_MONITOR_SKIP
    trap novra_wine_session_end EXIT
    xvfb_start || exit 1
    wine_prefix_create
    if [ "${1:-}" = two-monitors ]; then
        novra_two_monitor_session || exit 1
    fi
    novra_wine_keep_up
}

# Every step runs, whatever an earlier one returned (the scripts run with
# set -e, which an exit trap keeps).
novra_wine_session_end() {
    set +e
    if [ -n "${NOVRA_TWO_MONITOR_PREFIX:-}" ]; then
        wine_prefix_remove "$NOVRA_TWO_MONITOR_PREFIX"
    fi
    two_monitors_stop
    wine_prefix_remove
    xvfb_stop
}

# The second prefix is a copy of the first, taken while no server holds it.
# A prefix keeps the display its server first saw, so the first one, which
# is on Xvfb, cannot be used on the display with two monitors.
novra_two_monitor_session() {
    if ! two_monitors_start 2>/dev/null; then
        export NOVRA_TWO_MONITOR_SKIP=$TWO_MONITORS_REASON
        echo "wine session: the cases with two monitors will be skipped: $TWO_MONITORS_REASON"
        return 0
    fi
    NOVRA_TWO_MONITOR_PREFIX=$(mktemp -d /tmp/novra-wine.XXXXXX) || return 1
    export NOVRA_TWO_MONITOR_PREFIX
    if ! wine_prefix_copy "$WINEPREFIX" "$NOVRA_TWO_MONITOR_PREFIX"; then
        echo "wine session: could not copy the Wine prefix for the display with two monitors" >&2
        return 1
    fi
    (export WINEPREFIX=$NOVRA_TWO_MONITOR_PREFIX DISPLAY=$NOVRA_TWO_MONITOR_DISPLAY
     novra_wine_keep_up)
}

# One Wine server and desktop for the whole run, rather than a new pair for
# each test program (2 to 3 s each). A program's first window starts the
# desktop, which inherits that program's output: started by a test, it would
# hold the test's output pipe open and CTest would wait for it. So a window
# is made here first, with no output to inherit; rundll32 makes one before
# it calls the (harmless) function. wine_prefix_remove ends both.
novra_wine_keep_up() {
    wineserver -p
    "$NOVRA_WINE" rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 || true
}

# novra_package ARCH: builds that architecture's release zip into
# build/packages. Cross-building needs no Wine loader.
novra_package() {
    novra_build "$1" "$novra_root/build/$1" --target novra_zip >/dev/null
}
