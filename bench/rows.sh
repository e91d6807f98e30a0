#!/usr/bin/env bash
# Runs the rows benchmark of one target's build in its Wine prefix inside
# Xvfb and prints its figures:
#   bench/rows.sh BUILD_FOLDER [ROUNDS]   (e.g. build/x86_64)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
build=$(cd "${1:?build folder}" && pwd)
shift
source "$top/scripts/wine.sh"
use_wine_of_build "$build"
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

cmake --build "$build" -j4 --target rows_bench >/dev/null
trap '"$WINESERVER" -k 2>/dev/null || true' EXIT
xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '"$1" "$2" && shift 2 && "$CALVERIN_WINE" "$@"' list \
  "$top/scripts/wineprefix.sh" "$WINEPREFIX" "$build/bench/rows_bench.exe" "$@"
