#!/usr/bin/env bash
# CTest's command for a Windows test program:
#   run-test-program.sh gtest|plain PROGRAM [ARGUMENTS]
# runs it with the target's Wine loader (CALVERIN_WINE). A program that dies
# under Wine can still leave with status 0, so a GoogleTest program passes
# only with status 0, GoogleTest's "[  PASSED  ]" line and no "[  FAILED  ]"
# line; any other program needs status 0.
set -uo pipefail
kind=${1:?gtest or plain}
program=${2:?program}
shift 2
output=$(mktemp "${TMPDIR:-/tmp}/calverin-test.XXXXXX")
trap 'rm -f "$output"' EXIT

# Into a file, not a pipe: a process the program's Wine starts on the way
# (a desktop or service process, a restarted server) inherits the output and
# may live on; a pipe would then stay open after the program has ended.
"${CALVERIN_WINE:?the Wine loader of the target}" "$program" "$@" >"$output" 2>&1
status=$?
cat "$output"
if [ "$status" -ne 0 ]; then
  echo "run-test-program: $(basename "$program") exited with status $status"
  exit 1
fi
if [ "$kind" = gtest ]; then
  if ! grep -q '^\[  PASSED  \]' "$output" || grep -q '^\[  FAILED  \]' "$output"; then
    echo "run-test-program: $(basename "$program") did not end with GoogleTest's passing summary"
    exit 1
  fi
fi
exit 0
