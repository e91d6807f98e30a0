#!/usr/bin/env bash
# Inside an X server without anyone to look at it: starts the program, waits
# for its window to settle, saves the screen, then closes the program.
set -euo pipefail
app=${1:?program}
shot=${2:?screenshot file}
wine "$app" &
pid=$!
sleep "${CALVERIN_DEMO_SECONDS:-8}"
import -window root "$shot" || true
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
