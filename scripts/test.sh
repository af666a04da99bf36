#!/usr/bin/env bash
# Builds NOVRA and runs every test under Wine, on a private virtual display
# and in a private Wine prefix, both removed afterwards. Arguments go to
# ctest (e.g. -R preview_test).
#
# The architecture is the one whose Wine loader runs (x86 first), or
# NOVRA_ARCH. Where the other one runs too, its viewer and probe savers are
# built as well, and the cross-bitness tests use them. Both release zips are
# built and tested. The cases that need two monitors run again on a second
# display, Xorg's, that has them (scripts/two-monitors.sh); Xvfb serves the
# rest.
set -euo pipefail
. "$(dirname "$0")/common.sh"
novra_start test
build=${NOVRA_BUILD_DIR:-$novra_root/build/$NOVRA_ARCH}
other=$(novra_other_arch "$NOVRA_ARCH")

novra_build "$NOVRA_ARCH" "$build"
novra_package x86
novra_package x64
if [[ " $NOVRA_ARCHES " == *" $other "* ]]; then
    novra_build "$other" "$novra_root/build/$other" --target novra probe_savers
fi

novra_wine_session two-monitors
if [[ " $NOVRA_ARCHES " == *" $other "* ]]; then
    NOVRA_OTHER_BIN=$("$NOVRA_WINE" winepath -w "$novra_root/build/$other/bin" | tr -d '\r')
    export NOVRA_OTHER_BIN
else
    unset NOVRA_OTHER_BIN
    export NOVRA_CROSS_SKIP="this machine runs only $NOVRA_ARCH programs"
fi
ctest --test-dir "$build" --output-on-failure "$@"
