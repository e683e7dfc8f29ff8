#!/usr/bin/env bash
# Fails when a file of a lower layer includes a header of a folder above it.
# The layers, lowest first: util, skins, model, shell, types. A file under
# util/, skins/, model/ or shell/ may include its own folder and the layers
# below; any other folder of the source tree (a higher layer, a program, the
# tests) is above it.
# Usage: check_layers.sh <source-dir>
set -euo pipefail
src=$(cd "$1" && pwd)
layers=(util skins model shell types)
status=0

# Removes "." and ".." steps from a relative path; sets $normal ("" when the
# path climbs out of the tree).
normalize() {
  local part out=()
  local IFS=/
  for part in $1; do
    case "$part" in
      ""|.) ;;
      ..) if [ ${#out[@]} -eq 0 ]; then normal=""; return; fi
          unset 'out[${#out[@]}-1]' ;;
      *) out+=("$part") ;;
    esac
  done
  normal="${out[*]}"
}

# The top-level folder an include names, seen from the including file's
# folder: a quoted name that exists beside the file, or that starts with "."
# steps, is taken from there; anything else from the source root. Sets $top
# ("" for a name that names no folder of the tree, such as a system header;
# ".." for one that climbs out of it).
top_folder() {
  local dir="$1" name="$2" quoted="$3"
  if [ "$quoted" = 1 ] && { [ -e "$src/$dir/$name" ] || [[ $name == .* ]]; }; then
    normalize "$dir/$name"
  else
    normalize "$name"
  fi
  if [ -z "$normal" ]; then top=".."; return; fi
  top=${normal%%/*}
  if [ "$top" = "$normal" ] || [ ! -d "$src/$top" ]; then top=""; fi
}

re='^([^:]+):([0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*([<"])([^>"]+)[>"]'
for ((i = 0; i < ${#layers[@]} - 1; i++)); do
  layer=${layers[$i]}
  allowed=" ${layers[*]:0:$((i + 1))} "
  [ -d "$src/$layer" ] || continue
  while IFS= read -r hit; do
    [[ $hit =~ $re ]] || continue
    rel=${BASH_REMATCH[1]}
    quoted=0; [ "${BASH_REMATCH[3]}" = '"' ] && quoted=1
    name=${BASH_REMATCH[4]}
    top_folder "${rel%/*}" "$name" "$quoted"
    [ -n "$top" ] || continue
    if [[ $allowed != *" $top "* ]]; then
      echo "$rel:${BASH_REMATCH[2]}: the $layer layer includes \"$name\" from $top/, above it"
      status=1
    fi
  done < <(cd "$src" && grep -rnE --include='*.h' --include='*.hpp' --include='*.c' \
             --include='*.cpp' --include='*.inl' --include='*.rc' \
             '^[[:space:]]*#[[:space:]]*include' "$layer" | sort -t: -k1,1 -k2,2n)
done
exit $status
