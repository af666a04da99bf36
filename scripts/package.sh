#!/usr/bin/env bash
# Builds both release zips, build/packages/novra-<version>-x86.zip and
# novra-<version>-x64.zip, each in its own build folder (build/x86,
# build/x64). Cross-building runs no Windows program, so it works on any
# machine, whichever Wine loader runs there.
set -euo pipefail
. "$(dirname "$0")/common.sh"

out=$(NOVRA_SETUP_QUIET=1 bash "$novra_root/scripts/setup.sh" 2>&1) || { echo "package: setup failed:" >&2; echo "$out" >&2; exit 1; }
echo "package: architectures x86 x64 (cross-built, no Wine needed)"
echo "$out"
for arch in x86 x64; do
    novra_package "$arch"
done
ls -l "$novra_root"/build/packages/novra-*.zip
