#!/usr/bin/env bash
# Benchmark (not a test): packs and unpacks a tree of a few hundred files
# (a few MB) with Gantrel's ZipFiles/UnZipFiles and with Info-ZIP's
# "zip -9 -r" / "unzip", and prints the times, their ratio and the sizes.
# Usage: bench.sh <bin folder>   (or: cmake --build build --target gantrel_bench)
# Uses the caller's WINEPREFIX when set, else a throwaway prefix under Xvfb.
set -euo pipefail
bin="$(cd "$1" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
source "$root/script/lib/wine-bench.sh"
wine_bench_attach "$bin"
work=$(mktemp -d)
trap 'rm -rf "$work"; if [ -n "${WINE_BENCH_KEEPER_PID:-}" ]; then wine_bench_stop; fi' EXIT
win() { echo "Z:$(echo "$1" | sed 's#/#\\#g')"; }
now_ms() { date +%s%3N; }

# 400 files in 20 folders: text, INI-like settings and incompressible bitmaps.
python3 - "$work/tree/theme" <<'PY'
import os, random, sys
random.seed(1234)
base = sys.argv[1]
for i in range(400):
    folder = os.path.join(base, "part%02d" % (i % 20))
    os.makedirs(folder, exist_ok=True)
    kind = i % 4
    if kind == 0:
        data = os.urandom(0) + bytes(random.getrandbits(8) for _ in range(random.randint(8000, 32000)))
        name = "image%03d.bmp" % i
    elif kind == 1:
        lines = ["Item%d.%s=%d" % (n, random.choice(["Title", "Icon", "Action", "Width"]), random.randint(0, 99999))
                 for n in range(random.randint(100, 400))]
        data = ("\r\n".join(lines)).encode()
        name = "bar%03d.tsbar" % i
    else:
        words = ["skin", "bar", "section", "item", "popup", "clock", "tray", "theme", "menu", "shortcut"]
        data = (" ".join(random.choice(words) for _ in range(random.randint(1000, 3000)))).encode()
        name = "notes%03d.txt" % i
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)
PY
files=$(find "$work/tree" -type f | wc -l)
bytes=$(du -sb "$work/tree" | cut -f1)

run_ours() {   # prints the milliseconds the export itself took
  "$TESS_WINE" "$bin/gantrel_tool.exe" "$@" 2>/dev/null | tr -d '\r' | awk '{print $4}'
}
"$TESS_WINE" "$bin/gantrel_tool.exe" cab 'Z:\nonexistent.cab' 'Z:\tmp\' >/dev/null 2>&1 || true   # warm Wine up

t0=$(now_ms); ours_pack=$(run_ours zip "$(win "$work/ours.zip")" "$(win "$work/tree")\\theme\\*.*" 1 1); t1=$(now_ms)
ours_pack_wall=$((t1 - t0))
t0=$(now_ms); (cd "$work/tree" && zip -9 -r -q "$work/theirs.zip" theme); t1=$(now_ms)
theirs_pack=$((t1 - t0))
t0=$(now_ms); ours_unpack=$(run_ours unzip "$(win "$work/out_ours")" "$(win "$work/theirs.zip")" - 1 1); t1=$(now_ms)
ours_unpack_wall=$((t1 - t0))
mkdir "$work/out_theirs"
t0=$(now_ms); (cd "$work/out_theirs" && unzip -q "$work/theirs.zip"); t1=$(now_ms)
theirs_unpack=$((t1 - t0))
floor=$(run_ours copytree "$(win "$work/tree/theme")" "$(win "$work/floor")")
diff -r "$work/tree/theme" "$work/out_ours/theme" >/dev/null && same=yes || same=NO
unzip -tq "$work/ours.zip" >/dev/null && tested=yes || tested=NO

ours_size=$(stat -c %s "$work/ours.zip")
theirs_size=$(stat -c %s "$work/theirs.zip")
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
echo "Tree: $files files, $bytes bytes"
printf '%-28s %12s %12s %8s\n' "" "Gantrel" "Info-ZIP" "ratio"
printf '%-28s %10s ms %10s ms %8s\n' "pack (level 9, recursive)" "$ours_pack" "$theirs_pack" "$(ratio "$ours_pack" "$theirs_pack")"
printf '%-28s %10s ms %10s ms %8s\n' "unpack (zip -9 -r archive)" "$ours_unpack" "$theirs_unpack" "$(ratio "$ours_unpack" "$theirs_unpack")"
printf '%-28s %12s %12s %8s\n' "archive size (bytes)" "$ours_size" "$theirs_size" "$(ratio "$ours_size" "$theirs_size")"
echo "Wine floor: reading and writing the same files plainly (no archive) under Wine takes $floor ms"
echo "Gantrel wall times including the Wine process start: pack $ours_pack_wall ms, unpack $ours_unpack_wall ms"
echo "unzip -t on Gantrel's archive: $tested; Gantrel's extraction equals the tree: $same"
