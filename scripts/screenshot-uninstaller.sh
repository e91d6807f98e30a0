#!/usr/bin/env bash
# Screenshots of the uninstaller's three pages, made under Xvfb in a Wine
# prefix of their own against an installation laid out in a scratch folder:
#   scripts/screenshot-uninstaller.sh [TARGET]   (x86_64 by default, or i686)
# writes build/screenshots/uninstaller-confirm.png, uninstaller-progress.png
# (the bar held part way while a tree of many files goes) and
# uninstaller-done.png.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
root=${CALVERIN_BUILD_DIR:-$top/build}
target=${1:-x86_64}
source "$here/targets.sh"
source "$here/wine.sh"

build=$(target_build_dir "$root" "$target")
if [ -f "$build/CMakeCache.txt" ]; then
  cmake --build "$build" -j3 --target uninstall uninstaller_click
else
  "$here/build.sh" "$root" "$target" --target uninstall uninstaller_click
fi

use_wine "$target"
export WINEPREFIX=$build/screenshot-wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
"$WINESERVER" -k 2>/dev/null || true

scratch=$(mktemp -d)
trap '"$WINESERVER" -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
install=$scratch/Calverin
mkdir -p "$install" "$scratch/temp"
cp "$build/uninstaller/uninstall.exe" "$build/tests/uninstaller_click.exe" "$install/"
# A tree of many files holds the bar at its first pause long enough to shoot.
python3 - "$install" <<'TREE'
import os, sys
for f in range(400):
    folder = os.path.join(sys.argv[1], "data", "f%03d" % f)
    os.makedirs(folder)
    for i in range(50):
        with open(os.path.join(folder, "%d.dat" % i), "w") as out:
            out.write("x")
TREE
printf '[{"name":"data"},{"name":"uninstall.exe"}]' > "$install/uninstall.dat"
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

shots=$root/screenshots
mkdir -p "$shots"
rm -f "$shots"/uninstaller-*.png

xvfb-run -a -s "-screen 0 1600x1000x24" bash -s -- "$here" "$WINEPREFIX" "$install" "$scratch" "$shots" \
  "$(winpath "$install")" "$(winpath "$scratch/temp")" <<'SHOTS'
set -euo pipefail
here=$1 prefix=$2 install=$3 scratch=$4 shots=$5 wininstall=$6 wintemp=$7
source "$here/wine.sh"
"$here/wineprefix.sh" "$prefix"
calverin_wine reg add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\calverin' \
  /v UninstallString /t REG_SZ /d "$wininstall\\uninstall.exe" /f >/dev/null 2>&1

window_geometry() {
  xwininfo -root -tree | awk '/"Calverin-卸载"/ {
      for (i = 1; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+$/) print $i }' | head -n 1
}
shoot() { # output file
  import -window root -crop "$(window_geometry)" +repage "$1"
}
click() { # x y
  calverin_wine "$install/uninstaller_click.exe" "$1" "$2"
}

TEMP=$wintemp calverin_wine "$install/uninstall.exe"
for _ in $(seq 1 300); do [ -n "$(window_geometry)" ] && break; sleep 0.2; done
sleep 2
shoot "$shots/uninstaller-confirm.png"
click 209 272
sleep 0.3
# A window that has just come up may take its first click only to come
# forward; nothing lies at that point on the later pages.
click 209 272
sleep 1.5
shoot "$shots/uninstaller-progress.png"
for _ in $(seq 1 600); do [ ! -e "$install/data" ] && break; sleep 0.2; done
sleep 2
shoot "$shots/uninstaller-done.png"
click 273 272
SHOTS

for shot in confirm progress done; do
  if [ ! -s "$shots/uninstaller-$shot.png" ]; then
    echo "screenshot-uninstaller: no $shot screenshot was written" >&2
    exit 1
  fi
  echo "screenshot: $shots/uninstaller-$shot.png"
done
