#!/usr/bin/env bash
# The smoke test of the Windows build: mindmap.exe of a MinGW-w64 build run by Wine on the X
# display (Xvfb when none is set), driven with XTest by a program of the Linux build. Uses the
# cross build's private Wine prefix (scripts/wine-prefix.sh).
# Usage: scripts/wine-smoke.sh <mingw build dir> <linux build dir>
set -euo pipefail
mingw=$(cd "$1" && pwd)
linux=$(realpath -m "$2")
cd "$(dirname "$0")/.."
if [ ! -f "$linux/CMakeCache.txt" ]; then
  cmake -S . -B "$linux" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi

# shellcheck source=scripts/xvfb.sh
source scripts/xvfb.sh
ensure_display
# shellcheck source=scripts/wine-prefix.sh
source scripts/wine-prefix.sh
wine_prefix "$mingw/wineprefix"

cmake --build "$linux" --target wine_smoke_test -j "$(nproc)" >/dev/null
status=0
MM_WINE_EDITOR="$mingw/app/ui/mindmap.exe" "$linux/tests/wine/wine_smoke_test" --gtest_brief=1 || status=$?
wineserver -k >/dev/null 2>&1 || true
exit $status
