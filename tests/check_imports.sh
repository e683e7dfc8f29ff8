#!/usr/bin/env bash
# Fails when a deliverable is not a Windows file of the build's architecture or
# imports a DLL that Windows itself does not ship, or loads OLE at start.
# Usage: check_imports.sh <bin-dir> <i686|x86_64>
set -euo pipefail
bin="$1"
arch="${2:-i686}"
case "$arch" in
  i686)   want='PE32 executable.*Intel 80386'; objdump=i686-w64-mingw32-objdump ;;
  x86_64) want='PE32\+ executable.*x86-64';    objdump=x86_64-w64-mingw32-objdump ;;
  *) echo "unknown architecture $arch"; exit 2 ;;
esac
allowed='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|comctl32|comdlg32|msimg32|winmm|version|psapi|cabinet|uuid|msvcrt|ws2_32|rpcrt4|powrprof|imm32|winspool\.drv)\.dll$'
status=0
for f in Tessellar.exe Lanternfold.exe Wayfinch.dll Gantrel.dll; do
  if [ ! -f "$bin/$f" ]; then echo "missing output: $f"; status=1; continue; fi
  file "$bin/$f" | grep -Eq "$want" || { echo "$f is not a $arch Windows file: $(file -b "$bin/$f")"; status=1; }
  while read -r dll; do
    if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then
      echo "$f imports non-system DLL $dll"; status=1
    fi
  done < <("$objdump" -p "$bin/$f" | awk '/DLL Name:/ {print $3}')
done
# OLE is loaded at the program's first call into it, not at process start:
# it is linked through a delay-import library, which the link must prefer.
if "$objdump" -p "$bin/Tessellar.exe" | awk '/DLL Name:/ {print tolower($3)}' | grep -qx 'ole32.dll'; then
  echo "Tessellar.exe imports ole32.dll at start instead of at its first call"; status=1
fi
exit $status
