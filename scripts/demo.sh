#!/usr/bin/env bash
# Builds the client, starts the reference web service with its demo catalogue
# and runs the client against it under Wine: the i686 client (the one that
# ships) where this machine runs 32-bit programs, the x86_64 client otherwise.
# Without a display it runs in Xvfb and saves a screenshot to
# build/screenshots/demo.png.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
root=${CALVERIN_BUILD_DIR:-$top/build}
source "$here/targets.sh"
source "$here/wine.sh"

if machine_runs_32bit_programs; then
  target=i686
  echo "demo: the i686 client (the one that ships), under the 32-bit Wine"
else
  target=x86_64
  echo "demo: the x86_64 client under the 64-bit Wine: this machine's kernel runs no 32-bit programs"
fi
build=$(target_build_dir "$root" "$target")
"$here/build.sh" "$root" "$target" --target calverinapp test_installer

use_wine "$target"
# The demo has a prefix of its own, so it never meddles with a test run's.
export WINEPREFIX=$build/demo-wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
# A server left running by an earlier demo would keep that run's X screen.
"$WINESERVER" -k 2>/dev/null || true

state=$build/demo-service
# The launcher games' installer, which the build puts among the test service's files.
mkdir -p "$state/files"
cp -r "$build/refservice/files/installers" "$state/files/"
"$here/refservice.sh" start "$state"
trap '"$here/refservice.sh" stop "$state"; "$WINESERVER" -k 2>/dev/null || true' EXIT

app="$build/client/calverinapp.exe"
if [ -n "${DISPLAY:-}" ]; then
  "$here/wineprefix.sh" "$WINEPREFIX"
  calverin_wine "$app"
else
  shot=$root/screenshots/demo.png
  mkdir -p "$(dirname "$shot")"
  rm -f "$shot"
  # The prefix's server and system processes start inside the same X server
  # as the client: started outside it, they leave the client's windows no screen.
  xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '"$1" "$2" && "$3" "$4" "$5"' demo \
    "$here/wineprefix.sh" "$WINEPREFIX" "$here/run-and-screenshot.sh" "$app" "$shot"
  if [ ! -s "$shot" ]; then
    echo "demo: no screenshot was written ($shot)" >&2
    exit 1
  fi
  echo "screenshot: $shot"
fi
