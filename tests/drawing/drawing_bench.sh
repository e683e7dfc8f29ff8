#!/usr/bin/env bash
# Benchmark (not a test): runs drawing_bench.exe once under Wine and Xvfb and
# prints its figures. Usage: drawing_bench.sh <bin folder>
# (or: cmake --build build --target drawing_bench_run)
set -euo pipefail
bin="$(cd "$1" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
source "$root/script/lib/wine-bench.sh"
wine_bench_attach "$bin"
"$TESS_WINE" "$bin/drawing_bench.exe"
