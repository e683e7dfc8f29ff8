#!/usr/bin/env bash
# Fails when a deliverable imports a DLL that Windows itself does not ship.
set -euo pipefail
bin="$1"
allowed='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|comctl32|comdlg32|msimg32|winmm|version|psapi|cabinet|uuid|msvcrt|ws2_32|rpcrt4|powrprof|imm32|winspool\.drv)\.dll$'
status=0
for f in Tessellar.exe Lanternfold.exe Wayfinch.dll Gantrel.dll; do
  if [ ! -f "$bin/$f" ]; then echo "missing output: $f"; status=1; continue; fi
  file "$bin/$f" | grep -q 'PE32 executable.*Intel 80386' || { echo "$f is not a PE32 i386 file"; status=1; }
  while read -r dll; do
    if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then
      echo "$f imports non-system DLL $dll"; status=1
    fi
  done < <(i686-w64-mingw32-objdump -p "$bin/$f" | awk '/DLL Name:/ {print $3}')
done
exit $status
