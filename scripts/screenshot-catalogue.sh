#!/usr/bin/env bash
# Screenshots of the main window's catalogue pages, made under Xvfb in a Wine
# prefix of their own against a reference service of their own:
#   scripts/screenshot-catalogue.sh [TARGET]   (x86_64 by default, or i686)
# writes build/screenshots/catalogue-overlay.png (the wait overlay over slow
# tile pictures, laid over the tiles as a compositing desktop shows it),
# catalogue-tiles.png, catalogue-search.png ("星海" searched),
# catalogue-gamepage.png (星海征途's page) and catalogue-widenav.png (the wide
# navigation after adding 云梦山海). tests/client/mainwindow/CatalogueShot
# runs the real main window and saves each page; the service listens where
# the build calls it (CALVERIN_SERVICE_PORT and CALVERIN_SERVICE_FALLBACK_IP
# as for the build).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
root=${CALVERIN_BUILD_DIR:-$top/build}
target=${1:-x86_64}
source "$here/targets.sh"
source "$here/wine.sh"

build=$(target_build_dir "$root" "$target")
if [ -f "$build/CMakeCache.txt" ]; then
  cmake --build "$build" -j3 --target calverinapp catalogue_shot
else
  "$here/build.sh" "$root" "$target" --target calverinapp catalogue_shot
fi

use_wine "$target"
export WINEPREFIX=$build/screenshot-wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
"$WINESERVER" -k 2>/dev/null || true

scratch=$(mktemp -d)
service_state=$scratch/refservice
trap '"$WINESERVER" -k 2>/dev/null || true; "$here/refservice.sh" stop "$service_state" || true; rm -rf "$scratch"' EXIT
"$here/refservice.sh" start "$service_state"
mkdir -p "$scratch/program" "$scratch/shots"
cp "$build/tests/catalogue_shot.exe" "$scratch/program/"
to_windows() { printf 'Z:%s' "$1" | tr / '\\'; }
archive=$(to_windows "$build/client/skin/client.zip")
out=$(to_windows "$scratch/shots")
# The tile pictures as the service serves them: under the digest of their content.
slow=()
for picture in "$top"/tests/refservice/files/category/*_big.png; do
  slow+=("/files/category/$(md5sum "$picture" | cut -d' ' -f1).png")
done

shots=$root/screenshots
mkdir -p "$shots"
xvfb-run -a -s "-screen 0 1600x1000x24" bash -s -- "$here" "$WINEPREFIX" "$scratch" "$archive" "$out" "${slow[@]}" <<'SHOTS'
set -euo pipefail
here=$1 prefix=$2 scratch=$3 archive=$4 out=$5
shift 5
source "$here/wine.sh"
"$here/wineprefix.sh" "$prefix"
calverin_wine "$scratch/program/catalogue_shot.exe" "$archive" "$out" "$@"
SHOTS

# Xvfb has no compositor: the overlay's translucent mask comes out black, so
# it is laid over the tiles darkened, as a compositing desktop shows it.
convert "$scratch/shots/tiles.bmp" -fill black -colorize 60% "$scratch/masked.png"
convert "$scratch/masked.png" \( "$scratch/shots/overlay.bmp" -transparent black \) -composite \
  "$shots/catalogue-overlay.png"
for name in tiles search gamepage widenav; do
  convert "$scratch/shots/$name.bmp" "$shots/catalogue-$name.png"
done
for name in overlay tiles search gamepage widenav; do
  if [ ! -s "$shots/catalogue-$name.png" ]; then
    echo "screenshot-catalogue: no $name screenshot was written" >&2
    exit 1
  fi
  echo "screenshot: $shots/catalogue-$name.png"
done
