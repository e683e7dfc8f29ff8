#!/usr/bin/env bash
# Our theme packages against Info-ZIP: the pack tests run and keep their
# archives; unzip tests them, every entry lies below the theme folder "T/",
# and the members that compress are deflated at the maximum level.
# Usage: interop.sh <bin folder>; WINEPREFIX and the rest come from script/test.
set -uo pipefail
bin="$1"
: "${WINEPREFIX:?run through script/test}"
: "${TESS_WINE:?run through script/test}"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
checks="$bin/PackageChecks"
rm -f "$checks/whole.tspack" "$checks/expansion.tspack"
"$TESS_WINE" "$bin/packages_tests.exe" \
  --gtest_filter='PackTheme.WholeThemeWithItsPluginsAndTheFolderUnchanged:PackTheme.ExpansionPackHoldsOnlyTheCheckedStylesAndSkins' \
  >/dev/null 2>&1 || fail "the pack tests failed"
for archive in whole expansion; do
  f="$checks/$archive.tspack"
  [ -f "$f" ] || { fail "$archive: no archive"; continue; }
  unzip -tq "$f" >/dev/null || fail "$archive: unzip -t rejects it"
  names=$(zipinfo -1 "$f")
  bad=$(echo "$names" | grep -v '^T/' || true)
  [ -z "$bad" ] || fail "$archive: entries outside T/: $bad"
  info=$(zipinfo -v "$f")
  echo "$info" | grep -A25 'T/Bars/notes.txt\|T/Night_ss.bmp' | grep -q 'compression method: *deflated' \
    || fail "$archive: the compressible member is not deflated"
  echo "$info" | grep -q 'compression sub-type (deflation): *maximum' || fail "$archive: not at level 9"
done
zipinfo -1 "$checks/whole.tspack" | grep -qx 'T/PackagedPlugins/Foo.dll' || fail "whole: Foo.dll not packaged"
zipinfo -1 "$checks/whole.tspack" | grep -q 'Wayfinch.dll' && fail "whole: Wayfinch.dll packaged"
zipinfo -1 "$checks/whole.tspack" | grep -q 'LumivaneSkins' && fail "whole: window-skinning skins packaged"
zipinfo -1 "$checks/expansion.tspack" | grep -q 'T/Skins/Day' && fail "expansion: an unchosen skin folder packaged"
rm -f "$checks/whole.tspack" "$checks/expansion.tspack"
[ $failures -eq 0 ] && echo "packages interop: all checks passed"
exit $failures
