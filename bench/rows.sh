#!/usr/bin/env bash
# Runs the rows benchmark of one target's build in its Wine prefix inside
# Xvfb and prints its figures:
#   bench/rows.sh BUILD_FOLDER [ROUNDS]   (e.g. build/x86_64)
# For the figures under 50 downloads it starts a reference web service of its
# own (ports of its own, state in BUILD_FOLDER/bench-cache/rows), serves a
# 4 MB package there and throttles every transfer of it to 64 KB/s.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
build=$(cd "${1:?build folder}" && pwd)
shift
rounds=${1:-3}
source "$top/scripts/wine.sh"
use_wine_of_build "$build"
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

export CALVERIN_SERVICE_PORT=${ROWS_BENCH_PORT:-48571} CALVERIN_SERVICE_FALLBACK_IP=127.0.0.71
state=$build/bench-cache/rows
service=https://127.0.0.1:$CALVERIN_SERVICE_PORT

cmake --build "$build" -j4 --target rows_bench >/dev/null
trap '"$WINESERVER" -k 2>/dev/null || true; "$top/scripts/refservice.sh" stop "$state" || true' EXIT
"$top/scripts/refservice.sh" start "$state" >/dev/null
head -c $((4 * 1024 * 1024)) /dev/urandom >"$state/bench-package.bin"
url=$(curl -sk --data-binary @"$state/bench-package.bin" "$service/__control/file?name=rows-bench.bin" |
  python3 -c 'import json, sys; print(json.load(sys.stdin)["url"])')
curl -sk -d '{"path": "/files/rows-bench.bin", "kind": "throttle", "rate": 65536}' "$service/__control/fault" >/dev/null

xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '"$1" "$2" && shift 2 && "$CALVERIN_WINE" "$@"' list \
  "$top/scripts/wineprefix.sh" "$WINEPREFIX" "$build/bench/rows_bench.exe" "$rounds" "$url"
