#!/usr/bin/env bash
# Runs the Windows test executables of a MinGW-w64 build under Wine, in a private Wine prefix
# inside the build directory, with the editor's Chinese face replaced by WenQuanYi Micro Hei.
# Usage: scripts/wine-tests.sh <mingw build dir> [ctest args...]
set -euo pipefail
build=$(cd "$1" && pwd); shift
cd "$(dirname "$0")/.."

export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer prompts
export WINEARCH=win64

if [ ! -f "$WINEPREFIX/.mm-ready" ]; then
  echo "-- making a Wine prefix in $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  # Registry files of version 5 are UTF-16LE with a byte-order mark.
  python3 - "$build/wine-fonts.reg" <<'PY'
import sys
text = ('Windows Registry Editor Version 5.00\r\n\r\n'
        '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
        '"\u5fae\u8f6f\u96c5\u9ed1"="WenQuanYi Micro Hei"\r\n')
open(sys.argv[1], 'wb').write(b'\xff\xfe' + text.encode('utf-16-le'))
PY
  wine regedit /S "$build/wine-fonts.reg" >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.mm-ready"
fi

status=0
(cd "$build" && ctest --output-on-failure "$@") || status=$?
wineserver -k >/dev/null 2>&1 || true
exit $status
