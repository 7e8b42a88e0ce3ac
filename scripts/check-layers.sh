#!/usr/bin/env bash
# Fails when a layer includes a header of a layer above it. Each folder may include its own
# headers and those of the folders listed for it; the build's include roots enforce the same
# for what is compiled, and this check also covers headers and the Windows-only sources.
set -euo pipefail
cd "$(dirname "$0")/.."

# folder: the folders whose headers it may include besides its own
declare -A allowed=(
  [unicode]=""
  [dib]=""
  [platform/kernel32]="unicode"
  [platform/gdi32]="platform/kernel32 unicode"
  [platform/x11]="platform/user32 platform/gdi32 platform/kernel32 unicode"
  [platform/user32]="platform/x11 platform/gdi32 platform/kernel32 unicode"
  [graphics]="dib"
  [app/model]=""
  [app/storage]="app/model unicode"
  [app/render]="app/model graphics unicode"
  [app/ui]="app/render app/storage app/model graphics unicode"
)

status=0
for folder in "${!allowed[@]}"; do
  while IFS=: read -r file line include; do
    header=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$include")
    [[ $header == */* ]] || continue  # a header beside the file itself
    ok=0
    for permitted in "$folder" ${allowed[$folder]}; do
      [[ $header == "$permitted"/* ]] && ok=1
    done
    if [ $ok -eq 0 ]; then
      echo "$file:$line: $folder may not include \"$header\"" >&2
      status=1
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include "' "$folder"/*.h "$folder"/*.cpp 2>/dev/null | sed 's/:/:/2')
done
[ $status -eq 0 ] && echo "layers: every include points down"
exit $status
