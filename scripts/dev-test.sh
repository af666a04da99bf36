#!/usr/bin/env bash
# For development: builds one test program in its own build folder and runs
# it under Wine on a private display and prefix.
#   scripts/dev-test.sh BUILD_DIR TEST_NAME [gtest arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1 test=$2
shift 2
cd "$root"
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" \
    -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-mingw.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target "$test" novra

. scripts/xvfb.sh
. scripts/wine-prefix.sh
export LC_ALL=ja_JP.UTF-8
trap 'wine_prefix_remove; xvfb_stop' EXIT
xvfb_start
wine_prefix_create
wine "$build/bin/$test.exe" "$@"
