#!/usr/bin/env bash
# Side-by-side frame benchmark: the Linux stand-in against Windows GDI as Wine implements it.
# Builds bench/gdi/frame_*.cpp natively (CMake target bench_gdi_frame) and with MinGW-w64,
# runs both alternately in one go from a private Wine prefix in which "微软雅黑" is replaced
# by WenQuanYi Micro Hei, and prints each N's median frame time and the ratio.
# Usage: bench/gdi/compare_wine.sh [build-dir] [frames] [rounds]   (needs wine64, g++-mingw-w64)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build-gdi}" && pwd)
frames=${2:-40}
rounds=${3:-3}
work=$build/wine-bench
mkdir -p "$work"

cmake --build "$build" --target bench_gdi_frame -j 2 >/dev/null
x86_64-w64-mingw32-g++-posix -O2 -std=c++20 -DUNICODE -D_UNICODE -DNOMINMAX -static -I"$root" \
  -o "$work/frame_bench.exe" "$root/bench/gdi/frame_bench.cpp" "$root/bench/gdi/frame_scene.cpp" -lgdi32 -luser32

export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/.mm-fonts" ]; then
  wineboot -i >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v '微软雅黑' /t REG_SZ /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.mm-fonts"
fi

declare -A linux wine
for ((r = 1; r <= rounds; r++)); do
  while read -r n ms; do linux[$n]+="$ms "; done < <("$build/bench/gdi/bench_gdi_frame" "$frames" | sed 's/N=\([0-9]*\) median_ms=/\1 /')
  while read -r n ms; do wine[$n]+="$ms "; done < <(wine "$work/frame_bench.exe" "$frames" 2>/dev/null | tr -d '\r' | sed 's/N=\([0-9]*\) median_ms=/\1 /')
done
best() { tr ' ' '\n' | grep -v '^$' | sort -g | head -n 1; }
printf '%-6s %12s %12s %8s\n' N "stand-in ms" "Wine GDI ms" ratio
for n in 200 1000; do
  l=$(echo "${linux[$n]}" | best)
  w=$(echo "${wine[$n]}" | best)
  printf '%-6s %12.3f %12.3f %8.2f\n' "$n" "$l" "$w" "$(echo "$l / $w" | bc -l)"
done
