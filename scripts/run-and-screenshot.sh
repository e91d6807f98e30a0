#!/usr/bin/env bash
# Inside an X server without anyone to look at it: starts the program with the
# Wine loader of use_wine (CALVERIN_WINE), waits for its window to settle,
# saves the screen, then closes the program:
#   run-and-screenshot.sh PROGRAM SCREENSHOT [ARGUMENTS...]
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
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
