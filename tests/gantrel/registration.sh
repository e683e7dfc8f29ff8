#!/usr/bin/env bash
# regsvr32 registers exactly the keys of Gantrel's registry script and its
# type library, and "regsvr32 /u" removes exactly those and nothing else.
# Usage: registration.sh <bin folder>; WINEPREFIX and the rest come from script/test.
set -euo pipefail
bin="$1"
: "${WINEPREFIX:?run through script/test}"
: "${TESS_WINE:?run through script/test}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

CLSID='{B3B24BC9-3984-4572-8F93-EDEC6E1D8A08}'
LIBID='{C0620B93-6860-4538-9372-D13114372A88}'
# The type library registers under the platform of the library's own build.
case "$(file -b "$bin/Gantrel.dll")" in
  PE32+*) platform=win64 ;;
  *) platform=win32 ;;
esac
IID='{DF6B3379-1A1D-40F9-A6D6-FAF54B4BF628}'
dll="Z:$(cd "$bin" && pwd | sed 's#/#\\#g')\\Gantrel.dll"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

keys() {   # every key of HKCR, one per line
  "$TESS_WINE" reg export 'HKEY_CLASSES_ROOT' "$work/x.reg" /y >/dev/null 2>&1
  iconv -f utf-16 -t utf-8 "$work/x.reg" | tr -d '\r' | grep '^\[' | sort
}
value() {  # value <key> <name|-> : the data of a REG_SZ value
  local args=(/ve)
  [ "$2" != "-" ] && args=(/v "$2")
  "$TESS_WINE" reg query "$1" "${args[@]}" 2>/dev/null | tr -d '\r' | awk -F'    ' '/REG_SZ/ {print $4}'
}

# Start from an unregistered library, whatever ran before.
"$TESS_WINE" regsvr32 /s /u "$dll" >/dev/null 2>&1 || true

# A key of someone else under CLSID, and a foreign value the script does not name.
"$TESS_WINE" reg add "HKCR\\CLSID\\{00000000-1111-2222-3333-444444444444}" /ve /d foreign /f >/dev/null 2>&1
keys > "$work/before"

"$TESS_WINE" regsvr32 /s "$dll" >/dev/null 2>&1; rc=$?
[ "$rc" = 0 ] || fail "regsvr32 exited $rc"
keys > "$work/registered"
comm -13 "$work/before" "$work/registered" > "$work/added"
comm -23 "$work/before" "$work/registered" > "$work/lost"
[ -s "$work/lost" ] && fail "registration removed keys: $(cat "$work/lost")"

root='HKEY_CLASSES_ROOT'
expected_script="[$root\\CLSID\\$CLSID]
[$root\\CLSID\\$CLSID\\InprocServer32]
[$root\\CLSID\\$CLSID\\ProgID]
[$root\\CLSID\\$CLSID\\Programmable]
[$root\\CLSID\\$CLSID\\TypeLib]
[$root\\CLSID\\$CLSID\\VersionIndependentProgID]
[$root\\Gantrel.Splash.1]
[$root\\Gantrel.Splash.1\\CLSID]
[$root\\Gantrel.Splash]
[$root\\Gantrel.Splash\\CLSID]
[$root\\Gantrel.Splash\\CurVer]"
# The registry script's keys, and otherwise only the type library's own.
diff <(echo "$expected_script" | sort) <(grep -v -i -e "\\\\TypeLib\\\\$LIBID" -e "\\\\Interface\\\\$IID" "$work/added") \
  || fail "registration added other keys than the script's"
grep -qiF "[$root\\TypeLib\\$LIBID\\1.0\\0\\$platform]" "$work/added" || fail "type library not registered"
grep -qiF "[$root\\Interface\\$IID]" "$work/added" || fail "ISplash interface not registered"

check() {  # check <key> <name|-> <expected>
  local got
  got=$(value "$1" "$2")
  [ "$got" = "$3" ] || fail "$1 [$2] is '$got', expected '$3'"
}
check "HKCR\\Gantrel.Splash.1" - "Splash Class"
check "HKCR\\Gantrel.Splash.1\\CLSID" - "$CLSID"
check "HKCR\\Gantrel.Splash" - "Splash Class"
check "HKCR\\Gantrel.Splash\\CLSID" - "$CLSID"
check "HKCR\\Gantrel.Splash\\CurVer" - "Gantrel.Splash.1"
check "HKCR\\CLSID\\$CLSID" - "Splash Class"
check "HKCR\\CLSID\\$CLSID\\ProgID" - "Gantrel.Splash.1"
check "HKCR\\CLSID\\$CLSID\\VersionIndependentProgID" - "Gantrel.Splash"
check "HKCR\\CLSID\\$CLSID\\InprocServer32" - "$dll"
check "HKCR\\CLSID\\$CLSID\\InprocServer32" ThreadingModel "Apartment"
check "HKCR\\CLSID\\$CLSID\\TypeLib" - "$LIBID"
check "HKCR\\TypeLib\\$LIBID\\1.0" - "Gantrel 1.0 Type Library"
check "HKCR\\TypeLib\\$LIBID\\1.0\\0\\$platform" - "$dll"

# Registering twice changes nothing.
"$TESS_WINE" regsvr32 /s "$dll" >/dev/null 2>&1 || fail "second registration failed"
keys > "$work/again"
cmp -s "$work/registered" "$work/again" || fail "a second registration changed the keys"

# Unregistration: back to exactly the keys before.
"$TESS_WINE" regsvr32 /s /u "$dll" >/dev/null 2>&1; rc=$?
[ "$rc" = 0 ] || fail "regsvr32 /u exited $rc"
keys > "$work/after"
diff "$work/before" "$work/after" || fail "unregistration did not restore the keys exactly"

# A value that someone else put into a ProgID key keeps that key (and only it).
"$TESS_WINE" regsvr32 /s "$dll" >/dev/null 2>&1
"$TESS_WINE" reg add "HKCR\\Gantrel.Splash" /v Foreign /d kept /f >/dev/null 2>&1
"$TESS_WINE" regsvr32 /s /u "$dll" >/dev/null 2>&1 || fail "regsvr32 /u with a foreign value failed"
check "HKCR\\Gantrel.Splash" Foreign "kept"
"$TESS_WINE" reg query "HKCR\\Gantrel.Splash\\CurVer" >/dev/null 2>&1 && fail "CurVer survived unregistration"
"$TESS_WINE" reg query "HKCR\\Gantrel.Splash.1" >/dev/null 2>&1 && fail "Gantrel.Splash.1 survived unregistration"
"$TESS_WINE" reg delete "HKCR\\Gantrel.Splash" /f >/dev/null 2>&1
"$TESS_WINE" reg delete "HKCR\\CLSID\\{00000000-1111-2222-3333-444444444444}" /f >/dev/null 2>&1

# A library that does not load: regsvr32's own code 3.
rc=0
"$TESS_WINE" regsvr32 /s 'Z:\nonexistent\Gantrel.dll' >/dev/null 2>&1 || rc=$?
[ "$rc" = 3 ] || fail "regsvr32 of a missing library exited $rc, expected 3"

[ "$failures" = 0 ] && echo "registration: all checks passed"
exit "$failures"
