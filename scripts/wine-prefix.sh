# Sourced: makes a private Wine prefix for one run, and removes it again.
# Wine draws the window frames itself (Managed=N): there is no window
# manager on a virtual display, and the tests need real captions, frames
# and Windows' own sizing behaviour.
#
# Where the 64-bit loader runs, the prefix is a 64-bit one made by that
# loader: only such a prefix runs 32- and 64-bit programs side by side, so
# that either kind of viewer can start either kind of saver. Elsewhere it is
# a 32-bit prefix.

wine_prefix_loader() {
    if [ -x /usr/lib/wine/wine64 ] && /usr/lib/wine/wine64 --version >/dev/null 2>&1; then
        echo /usr/lib/wine/wine64
    else
        echo /usr/lib/wine/wine
    fi
}

# wine_prefix_init: fills the (new or empty) folder $WINEPREFIX.
wine_prefix_init() {
    local loader arch=win32
    loader=$(wine_prefix_loader)
    [ "$loader" = /usr/lib/wine/wine64 ] && arch=win64
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    WINEARCH=$arch WINELOADER=$loader "$loader" wineboot --init >/dev/null 2>&1 || true
    WINELOADER=$loader "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
    # Windows ends a crashed program at once, with the exception's code as
    # its exit code, when the error mode asks for no crash dialog (as the
    # viewer and novracheck ask for their savers); Wine 8 starts its
    # debugger regardless, which waits on a dialog. A debugger that cannot
    # start gives Windows' behaviour, in the registry views of both widths.
    local view
    for view in 32 64; do
        WINELOADER=$loader "$loader" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
            /v Debugger /d novra-no-debugger /f /reg:$view >/dev/null 2>&1 || true
    done
    wineserver -w
}

wine_prefix_create() {
    WINEPREFIX=$(mktemp -d /tmp/novra-wine.XXXXXX)
    export WINEPREFIX
    wine_prefix_init
}

# wine_prefix_copy FROM TO: a second prefix, made from a finished one (its
# server ended) in a fraction of a second rather than another wineboot.
# The copies of Wine's own DLLs and programs in system32 and syswow64 (nine
# tenths of the prefix) are hard links, as nothing writes them; every other
# file is a copy of its own, since the registry and the ini files change
# while programs run. Debian's Wine keeps the name of its server's folder in
# the prefix's file "wineserver"; the copy makes its own.
wine_prefix_copy() {
    local from=$1 to=$2 file
    mkdir -p "$to" && cp -a --link "$from/." "$to/" || return 1
    rm -f "$to/wineserver"
    while IFS= read -r -d '' file; do
        cp -p --remove-destination "$from/$file" "$to/$file" || return 1
    done < <(cd "$from" && find . -type f ! -name wineserver \
                 ! -path './drive_c/windows/system32/*' ! -path './drive_c/windows/syswow64/*' -print0)
}

# wine_prefix_remove [PREFIX]: ends the prefix's server and all its programs,
# then removes it (by default $WINEPREFIX).
wine_prefix_remove() {
    local prefix=${1:-${WINEPREFIX:-}} server=""
    if [ -n "$prefix" ] && [ -d "$prefix" ]; then
        WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
        WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
        # Debian's server folder, named in the prefix, outlives the server.
        if [ -f "$prefix/wineserver" ]; then
            server=$(cat "$prefix/wineserver" 2>/dev/null)
        fi
        case "$server" in
        wine-??????) rm -rf "/tmp/$server" ;;
        esac
        rm -rf "$prefix"
    fi
}
