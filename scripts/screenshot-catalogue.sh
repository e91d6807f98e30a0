#!/usr/bin/env bash
# Screenshots of the catalogue as a user goes through it, taken while the
# driver runs the real client program (calverinapp.exe) against the reference
# web service under Xvfb, acting on it only from outside:
#   scripts/screenshot-catalogue.sh [TARGET]   (x86_64 by default, or i686)
# writes build/screenshots/catalogue-road/: 01-overlay (the wait overlay while the
# tile pictures come slowly), 02-tiles, 03-search (for "星海"), 04-game-page
# (星海征途's page) and 05-wide-navigation (after adding 云梦山海).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
root=${CALVERIN_BUILD_DIR:-$top/build}
exec "$here/drive-and-screenshot.sh" "${1:-x86_64}" driver_CatalogueRoad_test "$root/screenshots/catalogue-road"
