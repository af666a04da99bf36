#!/usr/bin/env bash
# For development: builds one test program in its own build folder and runs
# it under Wine on a private display and prefix.
#   scripts/dev-test.sh BUILD_DIR TEST_NAME [gtest arguments...]
# With NOVRA_TWO_MONITORS=1 the program runs on the display with two
# monitors instead, as the CTest entries *_two_monitors do.
set -euo pipefail
. "$(dirname "$0")/common.sh"
novra_start dev-test
build=$1 test=$2
shift 2

novra_build "$NOVRA_ARCH" "$build" --target "$test" novra probe_savers
if [ "${NOVRA_TWO_MONITORS:-}" = 1 ]; then
    novra_wine_session two-monitors
    "$novra_root/cmake/two-monitor-run.sh" "$NOVRA_ARCH" "$build/bin/$test.exe" "$@"
else
    novra_wine_session
    "$NOVRA_WINE" "$build/bin/$test.exe" "$@"
fi
