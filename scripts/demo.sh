#!/usr/bin/env bash
# Builds the client, starts the reference web service with its demo catalogue
# and runs the client against it under Wine. Without a display it runs in
# Xvfb and saves a screenshot to build/demo.png.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
build=${CALVERIN_BUILD_DIR:-$top/build}

"$here/build.sh" "$build" --target calverinapp test_installer

export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
# A server left running by an earlier run would keep that run's X screen.
wineserver -k 2>/dev/null || true

state=$build/demo-service
# The launcher games' installer, which the build puts among the test service's files.
mkdir -p "$state/files"
cp -r "$build/refservice/files/installers" "$state/files/"
"$here/refservice.sh" start "$state"
trap '"$here/refservice.sh" stop "$state"; wineserver -k 2>/dev/null || true' EXIT

app="$build/client/calverinapp.exe"
if [ -n "${DISPLAY:-}" ]; then
  "$here/wineprefix.sh" "$WINEPREFIX"
  wine "$app"
else
  # The prefix's server and system processes start inside the same X server
  # as the client: started outside it, they leave the client's windows no screen.
  xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '"$1" "$2" && "$3" "$4" "$5"' demo \
    "$here/wineprefix.sh" "$WINEPREFIX" "$here/run-and-screenshot.sh" "$app" "$build/demo.png"
  echo "screenshot: $build/demo.png"
fi
