#!/usr/bin/env bash
# Runs the uninstaller's removal benchmark of one target's build in its Wine
# prefix and prints its figures:
#   bench/uninstall.sh BUILD_FOLDER [FOLDERS [FILES_PER_FOLDER]]   (e.g. build/x86_64)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
build=$(cd "${1:?build folder}" && pwd)
shift
source "$top/scripts/wine.sh"
use_wine_of_build "$build"
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

cmake --build "$build" --target uninstall_bench >/dev/null
trap '"$WINESERVER" -k 2>/dev/null || true' EXIT
"$top/scripts/wineprefix.sh" "$WINEPREFIX"
"$CALVERIN_WINE" "$build/bench/uninstall_bench.exe" "$@"
