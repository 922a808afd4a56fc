#!/usr/bin/env bash
# Fails when a source file includes a header of a layer its folder may not use.
# Usage: check-includes.sh SOURCE-ROOT
set -euo pipefail
root=${1:?usage: check-includes.sh SOURCE-ROOT}

# Folder: the include prefixes (folders of our headers) its files may use, its own included.
# The build enforces the same through the libraries each target links; inside driver-korvane,
# whose folders share one target, only this check keeps their order.
declare -A allowed=(
  [src/contract]="contract"
  [src/platform]="platform"
  [src/widgets]="widgets"
  [src/driver]="driver platform contract"
  [driver-korvane/storage]="storage"
  [driver-korvane/canbus]="canbus contract"
  [driver-korvane/sdo]="sdo canbus"
  [driver-korvane/simulator]="simulator sdo canbus storage contract"
  [driver-korvane/config]="config simulator sdo canbus storage contract"
  [driver-korvane/api]="api config simulator sdo canbus storage contract"
  [src/module]="module app driver platform widgets contract"
  [src/viewer]="viewer module platform widgets contract"
  [src/app]="app viewer module driver platform widgets contract"
  [tools/korvane-module-sim]="api canbus config sdo simulator storage contract"
  [tools/led-gallery]="widgets"
)
known=" $(printf '%s ' ${allowed[@]} | tr ' ' '\n' | sort -u | tr '\n' ' ') "

faults=0
fault() { echo "$1" >&2; faults=$((faults + 1)); }

for folder in "${!allowed[@]}"; do
  [ -d "$root/$folder" ] || fault "$folder: folder missing (rename the rule with the folder)"
done

# Every source folder of the product has a rule, so a new folder cannot escape the check.
while IFS= read -r file; do
  rel=${file#"$root"/}
  covered=
  for folder in "${!allowed[@]}"; do
    [[ $rel == "$folder"/* ]] && covered=1
  done
  [ -n "$covered" ] || fault "$rel: no layer rule covers this folder"
done < <(find "$root/src" "$root/driver-korvane" "$root/tools" -type f \( -name '*.cpp' -o -name '*.h' \) | sort)

for folder in "${!allowed[@]}"; do
  [ -d "$root/$folder" ] || continue
  may=" ${allowed[$folder]} "
  while IFS=: read -r file line text; do
    [[ $text =~ include[[:space:]]*[\"\<]([^\">]*) ]] || continue
    header=${BASH_REMATCH[1]}
    if [[ $header == *../* ]]; then
      fault "${file#"$root"/}:$line: includes $header: name a header by its folder, not by a relative path"
      continue
    fi
    [[ $header == */* ]] || continue
    prefix=${header%%/*}
    if [[ $known == *" $prefix "* && $may != *" $prefix "* ]]; then
      fault "${file#"$root"/}:$line: includes $header, but $folder may use only:${may% }"
    fi
  done < <(grep -rnE --include='*.cpp' --include='*.h' '^[[:space:]]*#[[:space:]]*include' "$root/$folder" || true)
done

if [ "$faults" -gt 0 ]; then
  echo "$faults include fault(s)" >&2
  exit 1
fi
echo "Every include keeps to its layer."
