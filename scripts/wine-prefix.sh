# Sourced: makes a private Wine prefix for one run, and removes it again.
# Wine draws the window frames itself (Managed=N): there is no window
# manager on a virtual display, and the tests need real captions, frames
# and Windows' own sizing behaviour.

wine_prefix_create() {
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    WINEPREFIX=$(mktemp -d /tmp/novra-wine.XXXXXX)
    export WINEPREFIX
    wine wineboot --init >/dev/null 2>&1 || true
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
    wineserver -w
}

wine_prefix_remove() {
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
        rm -rf "$WINEPREFIX"
    fi
}
