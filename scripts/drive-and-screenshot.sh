#!/usr/bin/env bash
# Runs one driven run of the client (a test program of tests/driver) under
# Xvfb, against a reference web service of its own, and saves a screenshot
# at every step that the run marks:
#   scripts/drive-and-screenshot.sh TARGET PROGRAM SHOT_FOLDER [PROGRAM ARGUMENTS...]
# PROGRAM is a target name of the build (driver_CatalogueRoad_test). Each
# step's shot is SHOT_FOLDER/NN-name.png, cut to the window the step names.
# The run hands its steps over through a folder (tests/driver/StepMarks.h):
# it waits while this script takes the shot. Fails when the run fails or
# marks no step. The run goes under Xvfb, or on the display for a person to
# watch with CALVERIN_DRIVE_ON_DISPLAY=1 where DISPLAY names one; its Wine
# prefix is build/<target>/driver-wineprefix unless CALVERIN_DRIVER_PREFIX
# names another.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
root=${CALVERIN_BUILD_DIR:-$top/build}
target=${1:?target (x86_64 or i686)}
program=${2:?test program target}
shots=${3:?screenshot folder}
shift 3
source "$here/targets.sh"
source "$here/wine.sh"
source "$here/service-settings.sh"

build=$(target_build_dir "$root" "$target")
if [ -f "$build/CMakeCache.txt" ]; then
  cmake --build "$build" -j3 --target calverinapp "$program"
else
  "$here/build.sh" "$root" "$target" --target calverinapp "$program"
fi

# The service listens where this build calls it.
export_service_listeners_of_build "$build"

use_wine "$target"
# A prefix of its own, so the run never meddles with a test run's; the menu
# builder stays off, so the games' desktop shortcuts never reach the host's
# desktop.
export WINEPREFIX=${CALVERIN_DRIVER_PREFIX:-$build/driver-wineprefix} WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export CALVERIN_SOURCE_DIR=$top CALVERIN_BINARY_DIR=$build
# A server left running by an earlier run would keep that run's X screen.
"$WINESERVER" -k 2>/dev/null || true

state=$build/driver-service
mkdir -p "$state/files"
if [ -d "$build/refservice/files/installers" ]; then cp -r "$build/refservice/files/installers" "$state/files/"; fi
"$here/refservice.sh" start "$state"
handover=$(mktemp -d)
trap '"$here/refservice.sh" stop "$state"; "$WINESERVER" -k 2>/dev/null || true; rm -rf "$handover"' EXIT

mkdir -p "$shots"
rm -f "$shots"/[0-9][0-9]-*.png
exe=$(find "$build/tests" -name "$program.exe" | head -n 1)
[ -n "$exe" ] || { echo "drive-and-screenshot: no $program.exe in $build/tests" >&2; exit 1; }
export CALVERIN_DRIVER_SHOTS="Z:$(printf '%s' "$handover" | tr / '\\')"

# Runs inside the X server: the prefix's server and system processes start
# there too (see demo.sh). Xvfb keeps every window's content (backing
# store), so each window is shot whole even where another covers it.
x_server=(xvfb-run -a -s "-screen 0 1600x1000x24 +bs")
if [ "${CALVERIN_DRIVE_ON_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
  x_server=()
fi
"${x_server[@]}" bash -s -- "$here" "$WINEPREFIX" "$handover" "$shots" "$exe" "$@" <<'RUN'
set -uo pipefail
here=$1 prefix=$2 handover=$3 shots=$4 exe=$5
shift 5
source "$here/wine.sh"
"$here/wineprefix.sh" "$prefix"

# The client's windows that cover exactly that geometry (WxH+X+Y), lowest
# first.
windows_at() {
  xwininfo -root -tree | awk -v at="$1" '/"Calverin"/ && index($0, " " at " ") { print $1 }' | tac
}

# Xvfb has no compositor, so a layered window's translucent pixels show
# without blending: a mask (black at alpha 0x99) comes out opaque black. A
# window over another of the same place is therefore laid over the lower
# one as a compositing desktop shows it: where it shows bare mask, the lower
# window darkened by the mask's alpha.
shoot() { # geometry, output file
  local id layer=$handover/layer.png first=1
  for id in $(windows_at "$1"); do
    import -window "$id" "$layer"
    if ((first)); then
      cp "$layer" "$2"
      first=0
    else
      convert "$2" -fill black -colorize 60% \( "$layer" -transparent black \) -composite "$2"
    fi
  done
  if ((first)); then
    import -window root -crop "$1" +repage "$2"
  fi
}

calverin_wine "$exe" "$@" &
pid=$!
request=$handover/step.request
while kill -0 "$pid" 2>/dev/null; do
  if [ -f "$request" ]; then
    read -r name left top right bottom <"$request"
    # Let the window finish painting what the step shows.
    sleep 0.5
    shoot "$((right - left))x$((bottom - top))+$left+$top" "$shots/$name.png"
    echo "screenshot: $shots/$name.png"
    rm -f "$request"
  fi
  sleep 0.1
done
wait "$pid"
RUN

if ! ls "$shots"/[0-9][0-9]-*.png >/dev/null 2>&1; then
  echo "drive-and-screenshot: the run marked no step" >&2
  exit 1
fi
