#!/usr/bin/env bash
# Start-up benchmark (not a test): Tessellar on the bundled default theme
# against a bare Win32 program, and its resources after 100 theme reloads.
# Usage: bench.sh <bin folder>   (or: cmake --build build --target themes_bench)
# Uses the caller's WINEPREFIX when set, else a throwaway prefix under Xvfb.
set -euo pipefail
bin="$(cd "$1" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
source "$root/script/lib/wine-bench.sh"
wine_bench_attach "$bin"
theme="$root/themes/Default/Default.tstheme"
# The program folder's INI is put back afterwards.
ini="$bin/Tessellar.ini"
saved=""
[ -f "$ini" ] && saved="$(cat "$ini")"
sync=$(mktemp -d)
export BENCH_SYNC_DIR="Z:${sync//\//\\}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-}"
"$TESS_WINE" "$bin/startup_bench.exe" "Z:${theme//\//\\}" &
bench=$!
# Answer the measuring requests with the named program's memory as Linux
# sees it (the bare program first, then Tessellar twice).
for n in 1 2 3; do
  while [ ! -f "$sync/measure-$n.req" ] && kill -0 $bench 2>/dev/null; do sleep 0.1; done
  [ -f "$sync/measure-$n.req" ] || break
  program=$(tr -cd 'A-Za-z0-9_.' < "$sync/measure-$n.req")
  # Its Windows path (a backslash before the name), not a build step naming it.
  pid=$(pgrep -n -f "\\\\${program//./\\.}" || true)
  if [ -n "$pid" ]; then
    anon=$(awk '/^RssAnon/ {print $2}' /proc/$pid/status)
    private=$(awk '/^Private_(Clean|Dirty)/ {s += $2} END {print s}' /proc/$pid/smaps_rollup 2>/dev/null || echo 0)
    echo "private memory ${private} KB, anonymous resident ${anon} KB (Linux, the Wine process)" > "$sync/measure-$n.tmp"
  else
    echo "process not found" > "$sync/measure-$n.tmp"
  fi
  mv "$sync/measure-$n.tmp" "$sync/measure-$n.txt"
done
wait $bench
rm -rf "$sync"
if [ -n "$saved" ]; then printf '%s' "$saved" > "$ini"; else rm -f "$ini"; fi
