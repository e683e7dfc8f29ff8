#!/usr/bin/env bash
# Fails when Tessellar.exe does not export the bar model's classes (their
# tables of virtual operations, constructors and some operations) or the
# shell's crash-report callback: plug-ins link against these exports.
# Usage: check_model_exports.sh <objdump> <Tessellar.exe>
set -euo pipefail
objdump="$1"
exe="$2"
names=(
  _ZTV17CVellumMenuObject
  _ZTV18CVellumMenuSection
  _ZTV15CVellumMenuItem
  _ZTV26CVellumMenuSection_Default
  _ZTV23CVellumMenuItem_Default
  _ZN17CVellumMenuObjectC1EP6HWND__
  _ZN18CVellumMenuSectionC1EP17CVellumMenuObjectii
  _ZN15CVellumMenuItemC1EPv
  _ZN15CVellumMenuItem13GetPopupDelayEv
  _ZN15CVellumMenuItem12SetItemTitleEPci
  VTSSaveState
)
exports=$("$objdump" -p "$exe" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
status=0
for name in "${names[@]}"; do
  grep -qw -- "$name" <<<"$exports" || { echo "$exe does not export $name"; status=1; }
done
exit $status
