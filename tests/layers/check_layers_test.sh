#!/usr/bin/env bash
# Runs check_layers.sh over small source trees, one per case, each with one
# file that includes one header, and compares its verdict with the table.
# Usage: check_layers_test.sh <check_layers.sh>
set -uo pipefail
check="$1"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# verdict | file | include line
cases=(
  "fail|util/helpers.cpp|#include \"skins/skin_record.h\""
  "fail|skins/painting.cpp|#include \"shell/global_settings.h\""
  "fail|skins/painting.cpp|#include \"model/bar_host.h\""
  "fail|model/drawing.cpp|#include \"shell/stats_monitor.h\""
  "fail|model/drawing.cpp|#include \"../shell/stats_monitor.h\""
  "fail|model/drawing.cpp|#include \"model/../shell/stats_monitor.h\""
  "fail|model/types.h|  #  include <shell/stats_monitor.h>"
  "fail|model/drawing.cpp|#include \"lanternfold/tray_protocol.h\""
  "fail|model/drawing.cpp|#include \"tests/support/test_support.h\""
  "fail|util/archive/zip.cpp|#include \"../../model/bar_host.h\""
  "pass|model/drawing.cpp|#include \"skins/skin_record.h\""
  "pass|model/drawing.cpp|#include \"util/text.h\""
  "pass|skins/painting.cpp|#include \"skins/skin_record.h\""
  "pass|util/archive/zip.cpp|#include \"zip_format.h\""
  "pass|util/archive/zip.cpp|#include \"util/archive/zip_format.h\""
  "pass|skins/painting.cpp|#include <windows.h>"
  "pass|shell/theme.cpp|#include \"model/bar_host.h\""
  "pass|model/drawing.cpp|// #include \"shell/stats_monitor.h\""
  "fail|shell/theme.cpp|#include \"types/tray_host.h\""
  "pass|types/tray_host.cpp|#include \"shell/stats_monitor.h\""
)

failures=0
for entry in "${cases[@]}"; do
  IFS='|' read -r want file line <<<"$entry"
  tree="$tmp/tree"
  rm -rf "$tree"
  mkdir -p "$tree"/{util/archive,skins,model,shell,types,lanternfold,tests/support}
  : > "$tree/util/archive/zip_format.h"
  mkdir -p "$tree/$(dirname "$file")"
  printf '// case\n%s\nint x;\n' "$line" > "$tree/$file"
  if output=$(bash "$check" "$tree" 2>&1); then got=pass; else got=fail; fi
  if [ "$got" != "$want" ]; then
    echo "FAILED: $file with '$line': expected $want, got $got"
    [ -z "$output" ] || echo "  $output"
    failures=$((failures + 1))
  elif [ "$got" = fail ] && [[ $output != "$file:2:"* ]]; then
    echo "FAILED: $file with '$line': the report does not name the line: $output"
    failures=$((failures + 1))
  fi
done
[ $failures -eq 0 ] && echo "check_layers.sh: every case as expected"
exit $((failures > 0))
