#!/usr/bin/env bash
# Side-by-side drawFrame benchmark: the Linux build (the Win32 stand-in on Xlib, Cairo and
# Pango) against the Windows build on Wine's GDI. Builds bench/wine/frame_timing natively and
# with MinGW-w64 (RelWithDebInfo both), runs the two alternately, off-screen and on a window
# of the X display (Xvfb when none is set), and prints per map size the best of the rounds'
# median frame times and the ratio Linux / Wine, on the older benchmark maps (N) and on maps
# as people make them (R: distinct captions, nodes beyond the window).
# Usage: bench/wine/compare_frame.sh [linux build] [mingw build] [rounds] [frames]
#   (defaults: build-wine-bench, build-wine-bench-mingw, 3 rounds, at least 20 frames a size)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
linux=$(realpath -m "${1:-$root/build-wine-bench}")
mingw=$(realpath -m "${2:-$root/build-wine-bench-mingw}")
rounds=${3:-3}
frames=${4:-20}
cd "$root"

if [ ! -f "$linux/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$linux" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMM_WITH_TESTS=OFF >/dev/null
fi
if [ ! -f "$mingw/CMakeCache.txt" ]; then
  cmake -S "$root/bench/wine/cross" -B "$mingw" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
fi
cmake --build "$linux" --target frame_timing -j 2 >/dev/null
cmake --build "$mingw" --target frame_timing -j 2 >/dev/null
native=$linux/bench/wine/frame_timing
windows=$mingw/frame_timing/frame_timing.exe

# shellcheck source=scripts/xvfb.sh
source scripts/xvfb.sh
ensure_display
# shellcheck source=scripts/wine-prefix.sh
source scripts/wine-prefix.sh
wine_prefix "$mingw/wineprefix"
trap 'wineserver -k >/dev/null 2>&1 || true; kill "${MM_XVFB_PID:-}" 2>/dev/null || true' EXIT

best() { tr ' ' '\n' | grep -v '^$' | sort -g | head -n 1; }
for mode in off window; do
  declare -A on_linux=() on_wine=()
  for ((r = 1; r <= rounds; r++)); do
    while read -r n ms; do on_linux[$n]+="$ms "; done < <("$native" "$mode" "$frames" |
      sed -n 's/^\([NR]\)=\([0-9]*\) median_ms=/\1\2 /p')
    while read -r n ms; do on_wine[$n]+="$ms "; done < <(wine "$windows" "$mode" "$frames" 2>/dev/null |
      tr -d '\r' | sed -n 's/^\([NR]\)=\([0-9]*\) median_ms=/\1\2 /p')
  done
  [ "$mode" = off ] && echo "drawFrame off-screen (1380 x 750 image)" || echo "drawFrame on the window"
  printf '%-6s %10s %10s %14s\n' map "Linux ms" "Wine ms" "Linux / Wine"
  for n in N50 N200 N1000 N5000 R200 R1000 R5000; do
    l=$(echo "${on_linux[$n]:-}" | best)
    w=$(echo "${on_wine[$n]:-}" | best)
    if [ -z "$l" ] || [ -z "$w" ]; then
      echo "no time for map $n (Linux: '${l}', Wine: '${w}')" >&2
      exit 1
    fi
    printf '%-6s %10.3f %10.3f %14.2f\n' "$n" "$l" "$w" "$(echo "$l / $w" | bc -l)"
  done
  echo
  unset on_linux on_wine
done
