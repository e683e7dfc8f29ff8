#!/usr/bin/env bash
# Fails when a shipped file still carries debug sections (which the loader
# would map) or lacks its separate symbol file and the link to it.
# Usage: check_stripped.sh <bin-dir> <i686|x86_64>
set -euo pipefail
bin="$1"
case "${2:-i686}" in
  i686)   objdump=i686-w64-mingw32-objdump ;;
  x86_64) objdump=x86_64-w64-mingw32-objdump ;;
  *) echo "unknown architecture $2"; exit 2 ;;
esac
status=0
for f in Tessellar.exe Lanternfold.exe Wayfinch.dll Gantrel.dll; do
  if [ ! -f "$bin/$f" ]; then echo "missing output: $f"; status=1; continue; fi
  sections=$("$objdump" -h "$bin/$f" | awk '$2 ~ /^\./ {print $2}')
  if echo "$sections" | grep -q '^\.debug_'; then
    echo "$f carries debug sections: $(echo "$sections" | grep '^\.debug_' | tr '\n' ' ')"; status=1
  fi
  echo "$sections" | grep -qx '\.gnu_debuglink' || { echo "$f has no debug link"; status=1; }
  if [ ! -f "$bin/$f.debug" ]; then
    echo "missing symbol file: $f.debug"; status=1
  elif ! "$objdump" -h "$bin/$f.debug" | grep -q '\.debug_info'; then
    echo "$f.debug holds no debug information"; status=1
  fi
done
exit $status
