#!/usr/bin/env bash
# For development: builds one test program in its own build folder and runs
# it under Wine on a private display and prefix.
#   scripts/dev-test.sh BUILD_DIR TEST_NAME [gtest arguments...]
set -euo pipefail
. "$(dirname "$0")/common.sh"
build=$1 test=$2
shift 2

novra_build "$build" --target "$test" novra
novra_wine_session
wine "$build/bin/$test.exe" "$@"
