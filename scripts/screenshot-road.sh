#!/usr/bin/env bash
# Screenshots of the whole road of a user, taken while the driver runs the
# real client program (calverinapp.exe) against the reference web service,
# acting on it only from outside (tests/driver/WholeRoad_test.cpp):
#   scripts/screenshot-road.sh [TARGET]   (x86_64 by default, or i686)
# writes build/screenshots/road/: 01-sign-in (number and password typed),
# 02-tiles, 03-search, 04-game-page (星海征途), 05-folders, 06-downloading
# (slowed), 07-cancelled, 08-installed (resumed, checked, unpacked, with its
# desktop shortcut), 09-view ("查看"), 10-uninstalled ("我要卸载"),
# 11-accelerator-installed, 12-sign-out (the confirmation), 13-signed-out
# (the sign-in window again) and 14-tray-menu (whose exit entry ends the
# client). See drive-and-screenshot.sh for where it runs.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
root=${CALVERIN_BUILD_DIR:-$top/build}
exec "$here/drive-and-screenshot.sh" "${1:-x86_64}" driver_WholeRoad_test "$root/screenshots/road"
