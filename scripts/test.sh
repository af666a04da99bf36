#!/usr/bin/env bash
# Builds NOVRA and runs every test under Wine, on a private virtual display
# and in a private Wine prefix, both removed afterwards. Arguments go to
# ctest (e.g. -R preview_test).
set -euo pipefail
. "$(dirname "$0")/common.sh"
build=${NOVRA_BUILD_DIR:-$novra_root/build}

novra_build "$build"
novra_wine_session
ctest --test-dir "$build" --output-on-failure "$@"
