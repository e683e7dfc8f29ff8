#!/usr/bin/env bash
# Runs one Windows test program through Wine: run_wine_test.sh <loader> <program> [args]
# A run that ends at once, failing, without a line of output never reached
# the program (seen once in many runs, just after another test program's
# processes wound down): it is started once more. A program that ran and
# failed is never run again. Output goes through as it comes, so a program
# stopped by the test's time limit leaves its log.
loader="$1"
shift
out=$(mktemp)
trap 'rm -f "$out"' EXIT
for attempt in 1 2; do
  start=$SECONDS
  "$loader" "$@" 2>&1 | tee "$out"
  rc=${PIPESTATUS[0]}
  if [ "$rc" -eq 0 ] || [ -s "$out" ] || [ $((SECONDS - start)) -gt 2 ] || [ "$attempt" -eq 2 ]; then
    exit "$rc"
  fi
  echo "(the program did not start: exit code $rc, no output; starting it once more)"
  sleep 2
done
