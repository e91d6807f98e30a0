#!/usr/bin/env bash
# Screenshots of the main window's item rows, made under Xvfb in a Wine prefix
# of their own against the reference service:
#   scripts/screenshot-rows.sh [TARGET]   (x86_64 by default, or i686)
# writes build/screenshots/rows-games.png (the first tile's game page with a
# list of the shot's own: an installed game, a download running, idle rows),
# rows-plugins.png (its plug-in page) and rows-apps.png (the page of all
# applications with the service's accelerator programs), shot by tests/client/mainwindow/RowsShot as the demo user.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
root=${CALVERIN_BUILD_DIR:-$top/build}
target=${1:-x86_64}
source "$here/targets.sh"
source "$here/wine.sh"
source "$here/service-settings.sh"

build=$(target_build_dir "$root" "$target")
cmake --build "$build" -j3 --target calverinapp rows_shot
# The service listens where this build calls it.
export_service_listeners_of_build "$build"

use_wine "$target"
export WINEPREFIX=$build/screenshot-wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
# The shot names the demo catalogue's icons by their digest, from the source tree.
export CALVERIN_SOURCE_DIR=$top
"$WINESERVER" -k 2>/dev/null || true

scratch=$(mktemp -d)
state=$scratch/service
mkdir -p "$scratch/program" "$scratch/markers" "$state"
"$here/refservice.sh" start "$state"
trap '"$here/refservice.sh" stop "$state"; "$WINESERVER" -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
cp "$build/tests/rows_shot.exe" "$scratch/program/"
archive="Z:$(printf '%s' "$build/client/skin/client.zip" | tr / '\\')"
markers="Z:$(printf '%s' "$scratch/markers" | tr / '\\')"

shots=$root/screenshots
mkdir -p "$shots"
pages=(games plugins apps)
for page in "${pages[@]}"; do rm -f "$shots/rows-$page.png"; done

xvfb-run -a -s "-screen 0 1600x1000x24" bash -s -- "$here" "$WINEPREFIX" "$scratch" "$archive" "$markers" "$shots" \
  "${pages[@]}" <<'SHOTS'
set -euo pipefail
here=$1 prefix=$2 scratch=$3 archive=$4 markers=$5 shots=$6
shift 6
source "$here/wine.sh"
"$here/wineprefix.sh" "$prefix"

client_window() {
  xwininfo -root -tree | awk '/"Calverin"/ {
      for (i = 1; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+$/) print $i }' | head -n 1
}

calverin_wine "$scratch/program/rows_shot.exe" "$archive" "$markers" &
pid=$!
for page in "$@"; do
  for _ in $(seq 1 600); do
    [ -e "$scratch/markers/$page" ] && break
    sleep 0.2
  done
  if [ ! -e "$scratch/markers/$page" ]; then
    echo "screenshot-rows: the $page page never showed" >&2
    break
  fi
  sleep 1.5
  import -window root -crop "$(client_window)" +repage "$shots/rows-$page.png"
done
wait "$pid" 2>/dev/null || true
SHOTS

for page in "${pages[@]}"; do
  if [ ! -s "$shots/rows-$page.png" ]; then
    echo "screenshot-rows: no rows-$page screenshot was written" >&2
    exit 1
  fi
  echo "screenshot: $shots/rows-$page.png"
done
