#!/usr/bin/env bash
# CTest's command for a Windows test program:
#   run-test-program.sh gtest|plain PROGRAM [ARGUMENTS]
# runs it with the target's Wine loader (CALVERIN_WINE). A program that dies
# under Wine can still leave with status 0, so a GoogleTest program passes
# only with status 0, GoogleTest's "[  PASSED  ]" line and no "[  FAILED  ]"
# line; any other program needs status 0.
#
# The GoogleTest programs drive real windows, workers and the reference
# service, and a loaded machine now and then loses a race that no user would
# meet twice in a row. A program that fails runs its failed tests once more:
# it passes only when all of them pass then, and every such second run is
# written to CALVERIN_SECOND_RUNS (when set) for the run's summary, so that
# none goes unseen. A test that fails twice fails. A program whose summary
# said that every test passed and which then crashed or left with another
# status is not run again: no race of a test did that, the program did.
set -uo pipefail
kind=${1:?gtest or plain}
program=${2:?program}
shift 2
output=$(mktemp "${TMPDIR:-/tmp}/calverin-test.XXXXXX")
trap 'rm -f "$output"' EXIT

# Into a file, not a pipe: a process the program's Wine starts on the way
# (a desktop or service process, a restarted server) inherits the output and
# may live on; a pipe would then stay open after the program has ended.
run_once() {
  "${CALVERIN_WINE:?the Wine loader of the target}" "$program" "$@" >"$output" 2>&1
  status=$?
  cat "$output"
  if [ "$status" -ne 0 ]; then
    echo "run-test-program: $(basename "$program") exited with status $status"
    if [ "$kind" = gtest ] && grep -q '^\[  PASSED  \]' "$output" && ! grep -q '^\[  FAILED  \]' "$output"; then
      echo "run-test-program: $(basename "$program") failed after its summary said it passed: not run again"
      failed_after_passing=1
    fi
    return 1
  fi
  if [ "$kind" = gtest ]; then
    if ! grep -q '^\[  PASSED  \]' "$output" || grep -q '^\[  FAILED  \]' "$output"; then
      echo "run-test-program: $(basename "$program") did not end with GoogleTest's passing summary"
      return 1
    fi
    # A second run's filter that names no test would run none and "pass".
    if [ -n "${second_run:-}" ] && grep -q '^\[  PASSED  \] 0 tests' "$output"; then
      echo "run-test-program: $(basename "$program") ran no test"
      return 1
    fi
  fi
  return 0
}

# The failed tests as a GoogleTest filter, from the summary's list; empty
# when the program ended before its summary.
failed_tests_filter() {
  sed -n '/^\[  FAILED  \] [0-9]* tests\?, listed below:/,/^$/p' "$output" |
    tr -d '\r' | sed -n 's/^\[  FAILED  \] \([^ ,]*\).*/\1/p' | grep -v '^[0-9]*$' | paste -sd: -
}

# What the first run said of its failures, for the summary: a test that
# passes on its second run prints nothing else. (Lines from Wine end in CR LF.)
failure_lines() {
  grep -A8 -E ': Failure|^run-test-program:' "$output" | head -40 | sed 's/^/     /'
}

run_once "$@" && exit 0
[ "$kind" = gtest ] && [ -z "${failed_after_passing:-}" ] || exit 1
filter=$(failed_tests_filter)
first_failures=$(failure_lines)
what=${filter:-the whole program}
echo "run-test-program: running $(basename "$program") again for: $what"
if [ -n "$filter" ]; then
  export GTEST_FILTER=$filter
fi
second_run=1
if run_once "$@"; then
  verdict="passed"
else
  verdict="failed again"
fi
if [ -n "${CALVERIN_SECOND_RUNS:-}" ]; then
  {
    echo "$(basename "$program"): $what: $verdict on its second run; the first run said:"
    echo "$first_failures"
  } >>"$CALVERIN_SECOND_RUNS"
fi
[ "$verdict" = passed ]
