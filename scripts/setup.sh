#!/usr/bin/env bash
# Installs what building and testing NOVRA needs from Debian's packages.
# Idempotent: packages already present are skipped, so a second run is quick.
set -euo pipefail

need=(g++-mingw-w64-i686 wine wine32:i386 xvfb xauth cmake make googletest
      imagemagick fonts-ipafont-gothic x11-utils locales)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
    updated=0
fi

missing=()
for p in "${need[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    as_root apt-get update -qq
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Wine maps LC_ALL=ja_JP.UTF-8 to the ANSI code page 932 only when glibc knows
# the locale; generate it once.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf8$'; then
    as_root sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
fi
echo "setup: ready"
