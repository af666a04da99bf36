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

# A folder named for an architecture is built and run as that one, whatever
# the machine would choose: configuring build/x64 as x86 would spoil it.
case "$(basename "$build")" in
x86|x64)
    NOVRA_ARCH=$(basename "$build")
    NOVRA_WINE=$(novra_loader_of "$NOVRA_ARCH")
    export NOVRA_ARCH NOVRA_WINE WINELOADER=$NOVRA_WINE ;;
esac
novra_build "$NOVRA_ARCH" "$build" --target "$test" novra probe_savers
if [ "${NOVRA_TWO_MONITORS:-}" = 1 ]; then
    novra_wine_session two-monitors
    "$novra_root/cmake/two-monitor-run.sh" "$NOVRA_ARCH" "$build/bin/$test.exe" "$@"
else
    novra_wine_session
    "$NOVRA_WINE" "$build/bin/$test.exe" "$@"
fi
