#!/usr/bin/env bash
# Runs one Windows test program through Wine: run_wine_test.sh <loader> <program> [args]
# A run that ends at once, failing, without a line of output never reached
# the program (seen once in many runs, just after another test program's
# processes wound down): it is started once more. A program that ran and
# failed is never run again.
loader="$1"
shift
out=$(mktemp)
trap 'rm -f "$out"' EXIT
for attempt in 1 2; do
  start=$SECONDS
  "$loader" "$@" > "$out" 2>&1
  rc=$?
  if [ "$rc" -eq 0 ] || [ -s "$out" ] || [ $((SECONDS - start)) -gt 2 ] || [ "$attempt" -eq 2 ]; then
    cat "$out"
    exit "$rc"
  fi
  echo "(the program did not start: exit code $rc, no output; starting it once more)"
  sleep 2
done
