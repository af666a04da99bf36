#!/usr/bin/env bash
# Runs one Windows program as wine-run.sh does, but on the display with two
# monitors and in its Wine prefix, both of which scripts/test.sh provides:
#   two-monitor-run.sh x86|x64 PROGRAM [ARGUMENTS...]
# A prefix keeps the display its server first saw, so these programs cannot
# share the run's main prefix. Exit 77 (skipped), with the reason, where
# there is no such display: Xorg could not start, or ctest was run on its
# own.
set -u
here=$(cd "$(dirname "$0")" && pwd)

if [ -z "${NOVRA_TWO_MONITOR_DISPLAY:-}" ] || [ -z "${NOVRA_TWO_MONITOR_PREFIX:-}" ]; then
    echo "two-monitor-run: skipped: ${NOVRA_TWO_MONITOR_SKIP:-no display with two monitors; scripts/test.sh starts one}"
    exit 77
fi
DISPLAY=$NOVRA_TWO_MONITOR_DISPLAY WINEPREFIX=$NOVRA_TWO_MONITOR_PREFIX exec "$here/wine-run.sh" "$@"
