#!/usr/bin/env bash
# Builds the viewer, the probe savers and the benchmark, and runs the
# benchmark under Wine on a private virtual display and in a private Wine
# prefix, both removed afterwards. It prints the timing figures.
set -euo pipefail
. "$(dirname "$0")/common.sh"
novra_start bench
build=${NOVRA_BUILD_DIR:-$novra_root/build/$NOVRA_ARCH}

novra_build "$NOVRA_ARCH" "$build" --target novra probe_savers novra_bench
novra_wine_session
"$NOVRA_WINE" "$build/bin/novra_bench.exe"
