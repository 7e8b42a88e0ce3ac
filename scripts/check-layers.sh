#!/usr/bin/env bash
# Fails when a layer includes a header of a layer above it. Each folder may include its own
# headers and those of the folders listed for it; the build's include roots enforce the same
# for what is compiled, and this check also covers headers and the Windows-only sources.
# Also fails when platform/README.md's table of Win32 functions differs from the WINAPI
# functions the stand-in's sources define (a missing function, or one under the wrong file).
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
  [app/files]="unicode"
  [app/mapformat]="app/model unicode"
  [app/outline]="app/mapformat app/files app/model unicode"
  [app/recovery]="app/mapformat app/files app/model unicode"
  [app/mapfile]="app/recovery app/mapformat app/files app/model unicode"
  [app/render]="app/model graphics unicode"
  [app/ui]="app/render app/mapfile app/outline app/recovery app/mapformat app/files app/model graphics unicode"
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

# "file name" for every WINAPI function defined in platform/ (a definition starts a line with
# its return type), and for every function the README's table lists. Win32's names are
# capitalised, but for the lstr family; other WINAPI functions are a file's own (the methods
# of a COM object it hands out).
defined=$(grep -rHE '^[A-Za-z_][A-Za-z_0-9 *]*[ *]WINAPI ([A-Z]|lstr)[A-Za-z_0-9]* *\(' platform --include='*.cpp' |
  sed -E 's#^platform/([^:]+):.*WINAPI ([A-Za-z_0-9]+) *\(.*#\1 \2#' | LC_ALL=C sort -u)
listed=$(sed -nE 's/^\| `([a-z0-9_]+\/[a-z0-9_]+\.cpp)` \| (.*) \|$/\1 \2/p' platform/README.md |
  while read -r file functions; do
    tr ',' '\n' <<<"$functions" | sed -E 's/^ +| +$//g' | grep -v '^$' | sed "s#^#$file #"
  done | LC_ALL=C sort -u)
table_status=0
while read -r file name; do
  [ -n "$name" ] || continue
  echo "platform/README.md: $name is defined in platform/$file but not listed there" >&2
  table_status=1
done < <(LC_ALL=C comm -23 <(echo "$defined") <(echo "$listed"))
while read -r file name; do
  [ -n "$name" ] || continue
  echo "platform/README.md: $name is listed under $file, which does not define it" >&2
  table_status=1
done < <(LC_ALL=C comm -13 <(echo "$defined") <(echo "$listed"))
if [ $table_status -ne 0 ]; then
  echo "the table's rows as the sources define them:" >&2
  awk '{ if ($1 != file) { if (file) print "| `" file "` | " list " |"; file = $1; list = $2 } else list = list ", " $2 }
       END { if (file) print "| `" file "` | " list " |" }' <<<"$defined" >&2
  status=1
else
  echo "platform/README.md: the table lists the $(wc -l <<<"$defined") WINAPI functions where they are defined"
fi
exit $status
