#!/usr/bin/env bash
# Screenshots of the client's main window and of a message box over it, made
# under Xvfb in a Wine prefix of their own:
#   scripts/screenshot-main.sh [TARGET]   (x86_64 by default, or i686)
# writes build/screenshots/main.png (calverinapp as it starts, without a web
# service) and build/screenshots/msgbox.png (tests/client/dialogs/MsgBoxShot:
# the real main window with the exit question open over it). Each program
# runs from a scratch copy, since the client keeps its log and picture cache
# beside itself.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
root=${CALVERIN_BUILD_DIR:-$top/build}
target=${1:-x86_64}
source "$here/targets.sh"
source "$here/wine.sh"

build=$(target_build_dir "$root" "$target")
if [ -f "$build/CMakeCache.txt" ]; then
  cmake --build "$build" -j4 --target calverinapp msgbox_shot
else
  "$here/build.sh" "$root" "$target" --target calverinapp msgbox_shot
fi

use_wine "$target"
# A prefix of its own, so the shots never meddle with a test run's.
export WINEPREFIX=$build/screenshot-wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
# A server left running by an earlier run would keep that run's X screen.
"$WINESERVER" -k 2>/dev/null || true

scratch=$(mktemp -d)
trap '"$WINESERVER" -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
mkdir -p "$scratch/main" "$scratch/msgbox"
cp "$build/client/calverinapp.exe" "$scratch/main/"
cp "$build/tests/msgbox_shot.exe" "$scratch/msgbox/"
archive="Z:$(printf '%s' "$build/client/skin/client.zip" | tr / '\\')"

shots=$root/screenshots
mkdir -p "$shots"
rm -f "$shots/main.png" "$shots/msgbox.png"

# Runs inside the X server: the prefix's server and system processes start
# there too (see demo.sh). Each shot is cut to the window titled "Calverin".
# Xvfb has no compositor, so a layered window's translucent pixels show
# without blending: the box's mask (black at alpha 0x99) comes out opaque
# black. The box shot therefore lays the mask over the main window as a
# compositing desktop does: where the screen shows the bare mask, the main
# window as shot just before the box opened, darkened by the mask's alpha.
xvfb-run -a -s "-screen 0 1600x1000x24" bash -s -- "$here" "$WINEPREFIX" "$scratch" "$archive" "$shots" <<'SHOTS'
set -euo pipefail
here=$1 prefix=$2 scratch=$3 archive=$4 shots=$5
source "$here/wine.sh"
"$here/wineprefix.sh" "$prefix"

# The geometries (WxH+X+Y) of the shown windows titled "Calverin".
client_windows() {
  xwininfo -root -tree | awk '/"Calverin"/ {
      for (i = 1; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+$/) print $i }'
}

# Waits up to 60 s until that many client windows show, then lets them paint.
wait_for_windows() { # count
  for _ in $(seq 1 300); do
    if [ "$(client_windows | wc -l)" -ge "$1" ]; then
      sleep 2
      return 0
    fi
    sleep 0.2
  done
  echo "screenshot-main: no window showed" >&2
  return 1
}

shoot() { # output file
  local geometry
  geometry=$(client_windows | head -n 1)
  import -window root -crop "$geometry" +repage "$1"
}

calverin_wine "$scratch/main/calverinapp.exe" &
pid=$!
wait_for_windows 1
shoot "$shots/main.png"
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
"$WINESERVER" -k 2>/dev/null || true

# The program opens the box 5 s after its main window and ends by itself.
calverin_wine "$scratch/msgbox/msgbox_shot.exe" "$archive" 10 &
pid=$!
wait_for_windows 1
shoot "$scratch/owner.png"
wait_for_windows 2
shoot "$scratch/box.png"
wait "$pid" 2>/dev/null || true
convert "$scratch/owner.png" -fill black -colorize 60% "$scratch/masked.png"
convert "$scratch/masked.png" \( "$scratch/box.png" -transparent black \) -composite "$shots/msgbox.png"
SHOTS

for shot in main msgbox; do
  if [ ! -s "$shots/$shot.png" ]; then
    echo "screenshot-main: no $shot screenshot was written" >&2
    exit 1
  fi
  echo "screenshot: $shots/$shot.png"
done
