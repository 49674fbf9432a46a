#!/usr/bin/env bash
# scripts/run-problem refuses, before building anything, a folder that does
# not exist and a folder without its answers (status 1, one line), and a
# call without a folder (status 2).
#   run_problem_test.sh <scripts/run-problem> <work dir>
set -u
script=$1
work=$2
rm -rf "$work"
mkdir -p "$work/empty"
fail() { echo "FAIL: $*"; exit 1; }

expect() {  # expect STATUS TEXT ARGS...
  local status=$1 text=$2
  shift 2
  local err
  err=$("$script" "$@" 2>&1 >/dev/null)
  local got=$?
  [ "$got" -eq "$status" ] || fail "run-problem $*: status $got, expected $status ($err)"
  [[ "$err" == *"$text"* ]] || fail "run-problem $*: no '$text' in: $err"
  [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || fail "run-problem $*: more than one line: $err"
}

expect 1 "run-problem: no folder $work/nowhere" "$work/nowhere"
expect 1 "run-problem: no answers file $work/empty/answers.txt" "$work/empty"
expect 1 "no answers file $work/empty/mine.txt" "$work/empty" --answers "$work/empty/mine.txt" --polish
expect 2 "usage: scripts/run-problem DIR" "$work/empty" --answers
expect 2 "usage:"
[ ! -e "$(dirname "$script")/../build-problem-empty" ] || fail "a build folder was made"
echo "ok"
