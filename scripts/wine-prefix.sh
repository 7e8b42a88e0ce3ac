# shellcheck shell=bash
# Sourced by the Wine scripts: wine_prefix <dir> exports a private 64-bit Wine prefix in <dir>
# (made on first use) in which the editor's Chinese face "微软雅黑" is replaced by WenQuanYi
# Micro Hei, with Wine's debug output and its Mono and Gecko installer prompts off.
wine_prefix() {
  mkdir -p "$1"
  WINEPREFIX=$(cd "$1" && pwd)  # Wine wants an absolute path
  export WINEPREFIX
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  [ -f "$WINEPREFIX/.mm-ready" ] && return 0
  echo "-- making a Wine prefix in $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  # Registry files of version 5 are UTF-16LE with a byte-order mark.
  local reg="$WINEPREFIX/mm-fonts.reg"
  python3 - "$reg" <<'PY'
import sys
text = ('Windows Registry Editor Version 5.00\r\n\r\n'
        '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
        '"\u5fae\u8f6f\u96c5\u9ed1"="WenQuanYi Micro Hei"\r\n')
open(sys.argv[1], 'wb').write(b'\xff\xfe' + text.encode('utf-16-le'))
PY
  wine regedit /S "$reg" >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.mm-ready"
}
