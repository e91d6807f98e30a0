#!/usr/bin/env bash
# Installs what is missing, builds both programs and every test, and runs the
# tests under Wine inside one Xvfb. Extra arguments go to ctest.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
build=${CALVERIN_BUILD_DIR:-$top/build}

"$here/build.sh" "$build"

export WINEPREFIX=$build/wineprefix
# A server left running by an earlier run would keep that run's X screen.
wineserver -k 2>/dev/null || true
status=0
xvfb-run -a -s "-screen 0 1600x1000x24" ctest --test-dir "$build" --output-on-failure -j"$(nproc)" "$@" || status=$?
wineserver -k 2>/dev/null || true
exit $status
