#!/usr/bin/env bash
# Builds the viewer, the probe savers and the benchmark, and runs the
# benchmark under Wine on a private virtual display and in a private Wine
# prefix, both removed afterwards. It prints the timing figures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${NOVRA_BUILD_DIR:-build}

bash scripts/setup.sh
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-mingw.cmake \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target novra probe_savers novra_bench

. scripts/xvfb.sh
. scripts/wine-prefix.sh
export LC_ALL=ja_JP.UTF-8    # the ANSI code page 932, as on a Japanese system
trap 'wine_prefix_remove; xvfb_stop' EXIT
xvfb_start
wine_prefix_create

wine "$build/bin/novra_bench.exe"
