#!/usr/bin/env bash
# Inside an X server without anyone to look at it: starts the program with the
# Wine loader of use_wine (CALVERIN_WINE), waits for its window to settle,
# saves the screen, then closes the program:
#   run-and-screenshot.sh PROGRAM SCREENSHOT [ARGUMENTS...]
# With CALVERIN_SECOND_SCREENSHOT set, the screen is saved there too, 300 ms
# after the first, to show what moves.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine.sh"
app=${1:?program}
shot=${2:?screenshot file}
shift 2
calverin_wine "$app" "$@" &
pid=$!
sleep "${CALVERIN_DEMO_SECONDS:-8}"
import -window root "$shot" || true
if [ -n "${CALVERIN_SECOND_SCREENSHOT:-}" ]; then
  sleep 0.3
  import -window root "$CALVERIN_SECOND_SCREENSHOT" || true
fi
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
