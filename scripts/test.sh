#!/usr/bin/env bash
# Installs what is missing, builds both targets with every test, and runs the
# whole suite under Wine inside Xvfb: always on the x86_64 build under the
# 64-bit Wine, and on the i686 build (the programs that ship) under the 32-bit
# Wine where this machine runs 32-bit programs. Extra arguments go to ctest.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
root=${CALVERIN_BUILD_DIR:-$top/build}
source "$here/targets.sh"
source "$here/wine.sh"

"$here/setup.sh"
export CALVERIN_SETUP_DONE=1
for target in $CALVERIN_TARGETS; do
  echo "== building $target"
  "$here/build.sh" "$root" "$target"
done

# Only this run's own servers and services are stopped, also when the run is
# interrupted.
stop_leftovers() {
  local target build
  for target in $CALVERIN_TARGETS; do
    build=$(target_build_dir "$root" "$target")
    "$here/refservice.sh" stop "$build/refservice" >/dev/null 2>&1 || true
    WINEPREFIX=$build/wineprefix "$(wine_server)" -k 2>/dev/null || true
  done
}
trap stop_leftovers EXIT

run_suite() { # target, ctest arguments
  local target=$1 build
  shift
  build=$(target_build_dir "$root" "$target")
  echo "== running the $target test programs under $(wine_loader_for "$target")"
  # A server left running by an earlier run would keep that run's X screen.
  WINEPREFIX=$build/wineprefix "$(wine_server)" -k 2>/dev/null || true
  local second_runs=$build/second-runs.log suite_status=0
  : >"$second_runs"
  CALVERIN_SECOND_RUNS=$second_runs xvfb-run -a -s "-screen 0 1600x1000x24" \
    ctest --test-dir "$build" --output-on-failure --no-tests=error -j"$(nproc)" "$@" || suite_status=1
  report_second_runs "$second_runs"
  return $suite_status
}

# Tests that failed once are named whatever their second run gave.
report_second_runs() { # log
  if [ -s "$1" ]; then
    echo "== tests that failed and were run a second time:"
    sed 's/^/   /' "$1"
  fi
}

status=0
run_suite x86_64 "$@" || status=1
if machine_runs_32bit_programs; then
  run_suite i686 "$@" || status=1
else
  echo "== the i686 build was compiled but not run: this machine's kernel runs no 32-bit programs (Exec format error), so the 32-bit Wine cannot start"
fi
exit $status
