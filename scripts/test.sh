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
  jobs -p | xargs -r kill 2>/dev/null || true
  for target in $CALVERIN_TARGETS; do
    build=$(target_build_dir "$root" "$target")
    "$here/refservice.sh" stop "$build/refservice" >/dev/null 2>&1 || true
    WINEPREFIX=$build/wineprefix "$(wine_server)" -k 2>/dev/null || true
  done
}
trap stop_leftovers EXIT

run_suite() { # target, jobs, first X server number to try, ctest arguments
  local target=$1 jobs=$2 server_num=$3 build
  shift 3
  build=$(target_build_dir "$root" "$target")
  echo "== running the $target test programs under $(wine_loader_for "$target")"
  # A server left running by an earlier run would keep that run's X screen.
  WINEPREFIX=$build/wineprefix "$(wine_server)" -k 2>/dev/null || true
  local second_runs suite_status=0
  second_runs=$(second_runs_log "$target")
  : >"$second_runs"
  CALVERIN_SECOND_RUNS=$second_runs xvfb-run -a -n "$server_num" -s "-screen 0 1600x1000x24" \
    ctest --test-dir "$build" --output-on-failure --no-tests=error -j"$jobs" "$@" || suite_status=1
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

second_runs_log() { # target
  echo "$(target_build_dir "$root" "$1")/second-runs.log"
}
for target in $CALVERIN_TARGETS; do
  rm -f "$(second_runs_log "$target")"
done

status=0
if machine_runs_32bit_programs; then
  # Side by side: each target has its own service (service-settings.sh), Wine
  # prefix and X screen. The i686 suite's output follows the x86_64 suite's.
  jobs=$(($(nproc) / 2 > 2 ? $(nproc) / 2 : 2))
  i686_output=$(target_build_dir "$root" i686)/suite-output.log
  run_suite i686 "$jobs" 199 "$@" >"$i686_output" 2>&1 &
  i686_suite=$!
  run_suite x86_64 "$jobs" 99 "$@" || status=1
  wait "$i686_suite" || status=1
  cat "$i686_output"
else
  run_suite x86_64 "$(nproc)" 99 "$@" || status=1
  echo "== the i686 build was compiled but not run: this machine's kernel runs no 32-bit programs (Exec format error), so the 32-bit Wine cannot start"
fi
# Last, where it is seen: a second run is a race that a change must mend.
second_runs=0
for target in $CALVERIN_TARGETS; do
  log=$(second_runs_log "$target")
  [ -f "$log" ] && second_runs=$((second_runs + $(grep -c '^[^ ]' "$log" || true)))
done
echo "== second runs: $second_runs"
exit $status
