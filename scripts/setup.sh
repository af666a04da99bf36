#!/usr/bin/env bash
# Installs what building and testing NOVRA needs, both architectures, from
# Debian's packages. Idempotent: packages already present are skipped, so a
# second run is quick. The 32-bit Wine (wine32:i386) is wanted where the
# machine offers it; a machine that cannot have it builds and tests the
# 64-bit programs.
#
# Its first line names the architecture the other scripts will choose; as
# that needs Wine, which this script may be installing, the rest of its
# output is held back until then.
set -uo pipefail
. "$(dirname "$0")/common.sh"

# Xorg with the dummy driver, and xrandr, give the two-monitor cases a
# display of two monitors side by side, which Xvfb cannot; xmllint reads
# novracheck's JUnit report in the tests.
need=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 xvfb xauth cmake make
      googletest imagemagick fonts-ipafont-gothic x11-utils locales
      xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils libxml2-utils)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "ok installed"; }

install_all() {
    if [ "$(dpkg --print-architecture)" = amd64 ] &&
       ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386 || echo "setup: no i386 architecture here"
    fi
    local missing=() p
    for p in "${need[@]}"; do
        installed "$p" || missing+=("$p")
    done
    # Package lists are fetched only when something is missing; a machine
    # whose lists offer no wine32 at all is not asked again on every run.
    if [ "${#missing[@]}" -gt 0 ] ||
       { ! installed wine32:i386 && ! apt-cache policy wine32:i386 2>/dev/null | grep -q 'Candidate:'; }; then
        as_root apt-get update -qq || return 1
    fi
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "setup: installing ${missing[*]}"
        DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" || return 1
    fi
    # Wanted, not needed: where it cannot be installed the 64-bit build is used.
    if ! installed wine32:i386 && apt-cache policy wine32:i386 2>/dev/null | grep -q 'Candidate: [0-9]'; then
        echo "setup: installing wine32:i386"
        DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends wine32:i386 ||
            echo "setup: wine32:i386 is not available here; 32-bit programs will not run"
    fi

    # Wine maps LC_ALL=ja_JP.UTF-8 to the ANSI code page 932 only when glibc
    # knows the locale; generate it once.
    if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf8$'; then
        as_root sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
        grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
        as_root locale-gen >/dev/null || return 1
    fi
}

log=$(install_all 2>&1)
status=$?
if [ -z "${NOVRA_SETUP_QUIET:-}" ]; then
    novra_choose_arch setup || true
fi
[ -n "$log" ] && echo "$log"
if [ "$status" -ne 0 ]; then
    echo "setup: failed" >&2
    exit 1
fi
echo "setup: ready"
