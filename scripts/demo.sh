#!/usr/bin/env bash
# The demo: the driver takes the client along the whole road of a user
# (scripts/screenshot-road.sh) against the reference web service with its
# demo catalogue, under Wine: the i686 client (the one that ships) where this
# machine runs 32-bit programs, the x86_64 client otherwise. On a display the
# road runs there for a person to watch; without one it runs in Xvfb. Either
# way it leaves a screenshot per step in build/screenshots/road/, and the
# signed-in tiles as build/screenshots/demo.png.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
root=${CALVERIN_BUILD_DIR:-$top/build}
source "$here/targets.sh"
source "$here/wine.sh"

if machine_runs_32bit_programs; then
  target=i686
  echo "demo: the i686 client (the one that ships), under the 32-bit Wine"
else
  target=x86_64
  echo "demo: the x86_64 client under the 64-bit Wine: this machine's kernel runs no 32-bit programs"
fi
build=$(target_build_dir "$root" "$target")

# The demo has a prefix of its own, so it never meddles with a test run's.
export CALVERIN_DRIVER_PREFIX=$build/demo-wineprefix
if [ -n "${DISPLAY:-}" ]; then
  export CALVERIN_DRIVE_ON_DISPLAY=1
fi
"$here/screenshot-road.sh" "$target"

shot=$root/screenshots/demo.png
cp "$root"/screenshots/road/[0-9][0-9]-tiles.png "$shot"
echo "screenshot: $shot"
