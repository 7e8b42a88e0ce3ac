#!/usr/bin/env bash
# Runs the Windows test executables of a MinGW-w64 build under Wine, in a private Wine prefix
# inside the build directory, with the editor's Chinese face replaced by WenQuanYi Micro Hei.
# Usage: scripts/wine-tests.sh <mingw build dir> [ctest args...]
set -euo pipefail
build=$(cd "$1" && pwd); shift
cd "$(dirname "$0")/.."

# shellcheck source=scripts/wine-prefix.sh
source scripts/wine-prefix.sh
wine_prefix "$build/wineprefix"

status=0
(cd "$build" && ctest --output-on-failure "$@") || status=$?
wineserver -k >/dev/null 2>&1 || true
exit $status
