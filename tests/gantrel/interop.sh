#!/usr/bin/env bash
# Gantrel's archives against the Linux tools: Info-ZIP's unzip tests and
# extracts what ZipFiles writes, UnZipFiles extracts what "zip -r -9" writes,
# and ExtractFile unpacks cabinets made by gcab (stored and MSZIP) byte-exact.
# Usage: interop.sh <bin folder>; WINEPREFIX and the rest come from script/test.
set -uo pipefail
bin="$1"
: "${WINEPREFIX:?run through script/test}"
: "${TESS_WINE:?run through script/test}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
win() { echo "Z:$(echo "$1" | sed 's#/#\\#g')"; }
tool() { "$TESS_WINE" "$bin/gantrel_tool.exe" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }

# A small theme-like tree: text, random binary, an empty file, nested folders.
src="$work/src"
mkdir -p "$src/theme/sub/deep" "$src/theme/empty folder"
printf 'line one\r\nline two\r\n%.0s' $(seq 1 200) > "$src/theme/theme.tstheme"
head -c 150000 /dev/urandom > "$src/theme/sub/skin.bmp"
seq 1 5000 > "$src/theme/sub/deep/numbers.txt"
: > "$src/theme/empty.txt"

# ---- ours -> Info-ZIP ---------------------------------------------------------
ours="$work/ours.zip"
out=$(tool zip "$(win "$ours")" "$(win "$src/theme")\\*.*" 1 1) || fail "ZipFiles: $out"
unzip -tq "$ours" >/dev/null || fail "unzip -t rejects our archive"
names=$(zipinfo -1 "$ours")
echo "$names" | grep -q '^/' && fail "absolute names stored: $names"
echo "$names" | grep -q ':' && fail "drive letters stored: $names"
echo "$names" | grep -q 'src/theme/sub/deep/numbers.txt$' || fail "folder names not kept: $names"
zipinfo -v "$ours" | grep -A1 'numbers.txt' >/dev/null
info=$(zipinfo -v "$ours")
echo "$info" | grep -q 'compression method: *deflated' || fail "no deflated member"
echo "$info" | grep -q 'compression sub-type (deflation): *maximum' || fail "maximum-compression flag missing"
mkdir "$work/linux_out"
(cd "$work/linux_out" && unzip -q "$ours") || fail "unzip of our archive failed"
diff -r "$src/theme" "$work/linux_out/${src#/}/theme" >/dev/null || fail "unzip of our archive differs from the source"

flat="$work/flat.zip"
tool zip "$(win "$flat")" "$(win "$src/theme")\\*.*" 0 1 >/dev/null || fail "ZipFiles without folders"
unzip -tq "$flat" >/dev/null || fail "unzip -t rejects our flat archive"
[ "$(zipinfo -1 "$flat" | sort | tr '\n' ' ')" = "empty.txt numbers.txt skin.bmp theme.tstheme " ] \
  || fail "flat names: $(zipinfo -1 "$flat" | tr '\n' ' ')"

# ---- Info-ZIP -> ours ----------------------------------------------------------------
theirs="$work/theirs.zip"
(cd "$src" && zip -r -9 -q "$theirs" theme) || fail "zip -r -9 failed"
d1="$work/d1"
tool unzip "$(win "$d1")" "$(win "$theirs")" - 1 1 >/dev/null || fail "UnZipFiles of zip -r -9 output"
diff -r "$src/theme" "$d1/theme" >/dev/null || fail "UnZipFiles output differs from the source"
[ -d "$d1/theme/empty folder" ] || fail "empty folder member not created"

d2="$work/d2"
tool unzip "$(win "$d2")" "$(win "$theirs")" - 0 1 >/dev/null || fail "UnZipFiles without folder names"
[ "$(cd "$d2" && ls | sort | tr '\n' ' ')" = "empty.txt numbers.txt skin.bmp theme.tstheme " ] \
  || fail "junked names: $(cd "$d2" && ls | tr '\n' ' ')"
cmp -s "$d2/skin.bmp" "$src/theme/sub/skin.bmp" || fail "junked binary differs"

d3="$work/d3"
tool unzip "$(win "$d3")" "$(win "$theirs")" 'theme/sub/*' 1 1 >/dev/null || fail "UnZipFiles by pattern"
[ "$(cd "$d3" && find . -type f | sort | tr '\n' ' ')" = "./theme/sub/deep/numbers.txt ./theme/sub/skin.bmp " ] \
  || fail "pattern extracted: $(cd "$d3" && find . -type f | tr '\n' ' ')"
cmp -s "$d3/theme/sub/skin.bmp" "$src/theme/sub/skin.bmp" || fail "pattern binary differs"

# ---- gcab -> ExtractFile --------------------------------------------------------------------
for mode in stored mszip; do
  cab="$work/$mode.cab"
  flags=()
  [ "$mode" = mszip ] && flags=(-z)
  (cd "$src/theme" && gcab -c "${flags[@]}" "$cab" theme.tstheme sub/skin.bmp sub/deep/numbers.txt empty.txt) \
    || fail "gcab $mode"
  dest="$work/cab_$mode"
  mkdir "$dest"
  tool cab "$(win "$cab")" "$(win "$dest")\\" >/dev/null || fail "ExtractFile $mode"
  for f in theme.tstheme sub/skin.bmp sub/deep/numbers.txt empty.txt; do
    cmp -s "$src/theme/$f" "$dest/$f" || fail "$mode cabinet: $f differs"
  done
done
# A destination without a trailing backslash is a prefix of the names.
mkdir "$work/pre"
(cd "$src/theme" && gcab -c "$work/one.cab" theme.tstheme) || fail "gcab one"
tool cab "$(win "$work/one.cab")" "$(win "$work/pre")" >/dev/null || fail "ExtractFile without backslash"
cmp -s "$src/theme/theme.tstheme" "$work/pretheme.tstheme" || fail "prefix rule: pretheme.tstheme missing"
[ -z "$(ls -A "$work/pre")" ] || fail "prefix rule: files went into the folder"
# Not a cabinet: false.
tool cab "$(win "$theirs")" "$(win "$work/pre")\\" >/dev/null && fail "a zip file was taken for a cabinet"

[ "$failures" = 0 ] && echo "interop: all checks passed"
exit "$failures"
