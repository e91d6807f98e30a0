#!/usr/bin/env bash
# Screenshots of a game page's tasks as a user goes through them, taken while
# the driver runs the real client program (calverinapp.exe) against the
# reference web service under Xvfb, acting on it only from outside:
#   scripts/screenshot-tasks.sh [TARGET]   (x86_64 by default, or i686)
# writes build/screenshots/tasks-road/: 01-binding (the accelerator account
# with its code typed), 02-folders (the folder window's proposal), 03-queued,
# 04-downloading (星海征途 slowed), 05-cancelled, 06-folders-stored (the
# second start's folders), 07-installed, 08-reopened (the page again),
# 09-plugin-installed, 10-check-failed (a test game's box) and
# 11-applications (the accelerators' page).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
root=${CALVERIN_BUILD_DIR:-$top/build}
exec "$here/drive-and-screenshot.sh" "${1:-x86_64}" driver_TasksRoad_test "$root/screenshots/tasks-road"
