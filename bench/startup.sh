#!/usr/bin/env bash
# Runs the start-up benchmark of one target's build in its Wine prefix inside
# Xvfb, against the reference web service on the loopback addresses (started
# here; the signed-in start uses its first demo user's token), and prints its
# figures beside a bare Win32 program's (bench/bare_window.cpp); then where the
# client's private bytes go after start and with 1,000 game rows
# (bench/memory_bench.cpp):
#   bench/startup.sh BUILD_FOLDER [ROUNDS]   (e.g. build/x86_64)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
build=$(cd "${1:?build folder}" && pwd)
shift
source "$top/scripts/wine.sh"
source "$top/scripts/service-settings.sh"
use_wine_of_build "$build"
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

rounds=${1:-10}
# The reference service's first demo user.
token=5f0c2a9e7b1d4c38a6e2f9d1b0c7a345
username=13800138000

cmake --build "$build" --target startup_bench bare_window calverinapp memory_bench >/dev/null
# The service listens where this build calls it.
export_service_listeners_of_build "$build"
service_state=$build/refservice-bench
"$top/scripts/refservice.sh" start "$service_state" >/dev/null
trap '"$WINESERVER" -k 2>/dev/null || true; "$top/scripts/refservice.sh" stop "$service_state"' EXIT
xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '"$1" "$2" && shift 2 && "$CALVERIN_WINE" "$@"' startup \
  "$top/scripts/wineprefix.sh" "$WINEPREFIX" "$build/bench/startup_bench.exe" "$build/client/calverinapp.exe" \
  "$rounds" "$token" "$username"
xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '"$1" "$2" && shift 2 && "$CALVERIN_WINE" "$@"' memory \
  "$top/scripts/wineprefix.sh" "$WINEPREFIX" "$build/bench/memory_bench.exe" \
  "https://127.0.0.1:$CALVERIN_SERVICE_PORT/"
