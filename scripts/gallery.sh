#!/usr/bin/env bash
# Builds the control gallery (tests/gallery) and shows each of its pages under
# Xvfb in a Wine prefix of its own, saving the screen of each to
# build/screenshots/ (the table below):
#   scripts/gallery.sh [TARGET] [PAGE]   (x86_64 by default, or i686)
# With a display it opens one page there instead (gallery.xml by default),
# until it is closed (Esc).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
root=${CALVERIN_BUILD_DIR:-$top/build}
target=${1:-x86_64}
page=${2:-gallery.xml}

# Page skin file, then the screenshot it gives; a page that moves gives a
# second one 300 ms after the first.
pages=(
  "gallery.xml controls.png"
  "animations.xml animations-1.png animations-2.png"
  "text-fields.xml text-fields.png"
  "lists.xml lists.png"
)
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
export WINEPREFIX=$build/gallery-wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
# A server left running by an earlier run would keep that run's X screen.
"$WINESERVER" -k 2>/dev/null || true
trap '"$WINESERVER" -k 2>/dev/null || true' EXIT

app="$build/tests/gallery/control_gallery.exe"
if [ -n "${DISPLAY:-}" ]; then
  "$here/wineprefix.sh" "$WINEPREFIX"
  calverin_wine "$app" 0 "$page"
else
  mkdir -p "$root/screenshots"
  shots=()
  for entry in "${pages[@]}"; do
    read -r skin shot later <<<"$entry"
    second=-
    if [ -n "${later:-}" ]; then
      second=$root/screenshots/$later
      rm -f "$second"
    fi
    shots+=("$skin" "$root/screenshots/$shot" "$second")
    rm -f "$root/screenshots/$shot"
  done
  # The prefix's server starts inside the same X server as the gallery (see
  # demo.sh); one X server serves every page.
  CALVERIN_DEMO_SECONDS=${CALVERIN_GALLERY_SECONDS:-6} \
    xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '
      set -e
      "$1" "$2"; shift 2
      shoot=$1 app=$2; shift 2
      # Each page closes itself a little after its screenshot: killing the
      # loader leaves the window on the screen, over the next page.
      while [ $# -gt 0 ]; do
        close=$((CALVERIN_DEMO_SECONDS + 2))
        if [ "$3" = - ]; then "$shoot" "$app" "$2" "$close" "$1"
        else CALVERIN_SECOND_SCREENSHOT=$3 "$shoot" "$app" "$2" "$close" "$1"; fi
        shift 3
      done' gallery \
    "$here/wineprefix.sh" "$WINEPREFIX" "$here/run-and-screenshot.sh" "$app" "${shots[@]}"
  for ((i = 1; i < ${#shots[@]}; i += 3)); do
    for shot in "${shots[i]}" "${shots[i + 1]}"; do
      [ "$shot" = - ] && continue
      if [ ! -s "$shot" ]; then
        echo "gallery: no screenshot was written ($shot)" >&2
        exit 1
      fi
      echo "screenshot: $shot"
    done
  done
fi
