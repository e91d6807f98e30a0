#!/usr/bin/env bash
# Screenshots of the client's main window and of its dialogs over it, made
# under Xvfb in a Wine prefix of their own:
#   scripts/screenshot-main.sh [TARGET]   (x86_64 by default, or i686)
# writes build/screenshots/main.png (calverinapp as it starts, without a web
# service) and, each laid over that shot of the main window, the dialogs of
# tests/client/dialogs/DialogShot: msgbox.png (the exit question, two
# buttons), msgbox1.png (one button), login0.png to login2.png (the sign-in
# window's pages), setpsd.png, logout.png, selpath.png (the folder
# selection), viewpath.png (the folder view), bindjsq.png (the binding
# window after a code was sent) and bindjsq_bound.png (a bound account).
# Each program runs from a
# scratch copy, since the client keeps its log and picture cache beside
# itself.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
root=${CALVERIN_BUILD_DIR:-$top/build}
target=${1:-x86_64}
source "$here/targets.sh"
source "$here/wine.sh"

build=$(target_build_dir "$root" "$target")
if [ -f "$build/CMakeCache.txt" ]; then
  cmake --build "$build" -j4 --target calverinapp dialog_shot
else
  "$here/build.sh" "$root" "$target" --target calverinapp dialog_shot
fi

use_wine "$target"
# A prefix of its own, so the shots never meddle with a test run's.
export WINEPREFIX=$build/screenshot-wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
# A server left running by an earlier run would keep that run's X screen.
"$WINESERVER" -k 2>/dev/null || true

scratch=$(mktemp -d)
trap '"$WINESERVER" -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
mkdir -p "$scratch/main" "$scratch/dialog"
cp "$build/client/calverinapp.exe" "$scratch/main/"
cp "$build/tests/dialog_shot.exe" "$scratch/dialog/"
archive="Z:$(printf '%s' "$build/client/skin/client.zip" | tr / '\\')"

shots=$root/screenshots
mkdir -p "$shots"
# Each dialog kind of dialog_shot and the file its shot goes to.
dialogs=("msgbox2 msgbox" "msgbox1 msgbox1" "login0 login0" "login1 login1" "login2 login2" "setpsd setpsd"
  "logout logout" "selpath selpath" "viewpath viewpath" "bindjsq bindjsq" "bindjsq_bound bindjsq_bound")
rm -f "$shots/main.png"
for row in "${dialogs[@]}"; do rm -f "$shots/${row#* }.png"; done

# Runs inside the X server: the prefix's server and system processes start
# there too (see demo.sh). Each shot is cut to the window titled "Calverin".
# Xvfb has no compositor, so a layered window's translucent pixels show
# without blending: the box's mask (black at alpha 0x99) comes out opaque
# black. The box shot therefore lays the mask over the main window as a
# compositing desktop does: where the screen shows the bare mask, the main
# window as shot just before the box opened, darkened by the mask's alpha.
xvfb-run -a -s "-screen 0 1600x1000x24" bash -s -- "$here" "$WINEPREFIX" "$scratch" "$archive" "$shots" \
  "${dialogs[@]}" <<'SHOTS'
set -euo pipefail
here=$1 prefix=$2 scratch=$3 archive=$4 shots=$5
shift 5
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

# Each dialog comes up over a stand-in owner at the main window's place and
# ends by itself; its shot goes over the main window's, darkened.
convert "$shots/main.png" -fill black -colorize 60% "$scratch/masked.png"
for row in "$@"; do
  kind=${row% *} name=${row#* }
  calverin_wine "$scratch/dialog/dialog_shot.exe" "$archive" "$kind" 6 &
  pid=$!
  wait_for_windows 1
  shoot "$scratch/dialog.png"
  wait "$pid" 2>/dev/null || true
  convert "$scratch/masked.png" \( "$scratch/dialog.png" -transparent black \) -composite "$shots/$name.png"
done
SHOTS

for shot in main "${dialogs[@]#* }"; do
  if [ ! -s "$shots/$shot.png" ]; then
    echo "screenshot-main: no $shot screenshot was written" >&2
    exit 1
  fi
  echo "screenshot: $shots/$shot.png"
done
