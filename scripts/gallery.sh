#!/usr/bin/env bash
# Builds the control gallery (tests/gallery) and shows it under Xvfb in a
# Wine prefix of its own, saving the screen to build/screenshots/controls.png:
#   scripts/gallery.sh [TARGET]   (x86_64 by default, or i686)
# With a display it opens the gallery there instead, until it is closed (Esc).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
root=${CALVERIN_BUILD_DIR:-$top/build}
target=${1:-x86_64}
source "$here/targets.sh"
source "$here/wine.sh"

build=$(target_build_dir "$root" "$target")
if [ -f "$build/CMakeCache.txt" ]; then
  cmake --build "$build" -j4 --target control_gallery
else
  "$here/build.sh" "$root" "$target" --target control_gallery
fi

use_wine "$target"
# A prefix of its own, so the gallery never meddles with a test run's.
export WINEPREFIX=$build/gallery-wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
# A server left running by an earlier run would keep that run's X screen.
"$WINESERVER" -k 2>/dev/null || true
trap '"$WINESERVER" -k 2>/dev/null || true' EXIT

app="$build/tests/gallery/control_gallery.exe"
if [ -n "${DISPLAY:-}" ]; then
  "$here/wineprefix.sh" "$WINEPREFIX"
  calverin_wine "$app"
else
  shot=$root/screenshots/controls.png
  mkdir -p "$(dirname "$shot")"
  rm -f "$shot"
  # The prefix's server starts inside the same X server as the gallery (see demo.sh).
  CALVERIN_DEMO_SECONDS=${CALVERIN_GALLERY_SECONDS:-6} \
    xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '"$1" "$2" && "$3" "$4" "$5"' gallery \
    "$here/wineprefix.sh" "$WINEPREFIX" "$here/run-and-screenshot.sh" "$app" "$shot"
  if [ ! -s "$shot" ]; then
    echo "gallery: no screenshot was written ($shot)" >&2
    exit 1
  fi
  echo "screenshot: $shot"
fi
