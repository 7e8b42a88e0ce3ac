#!/usr/bin/env bash
# Per-case pixel comparison of the Linux stand-in against Windows GDI as Wine 8 draws it.
# Builds pixel_cases.cpp natively against the stand-in (library from the CMake build dir) and
# with MinGW-w64 against the real headers, runs both, and diffs every case. Wine leaves out
# the right and bottom edges of RoundRect in GM_ADVANCED (Windows does not), so its run gets
# corners one pixel further out.
# Usage: bench/gdi/pixel_diff/compare.sh [build-dir] [work-dir] [diff_cases.py options...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
build=$(cd "${1:-$root/build-g}" && pwd)
work=${2:-$root/build-g-mingw/pixel_diff}
shift $(($# < 2 ? $# : 2))
mkdir -p "$work/standin" "$work/wine"
# shellcheck source=../../../scripts/wine-prefix.sh
source "$root/scripts/wine-prefix.sh"
# shellcheck source=../../../scripts/xvfb.sh
source "$root/scripts/xvfb.sh"

cmake --build "$build" --target mm_platform_gdi32 -j 2 >/dev/null
libs=("$build/platform/gdi32/libmm_platform_gdi32.a" "$build/platform/kernel32/libmm_platform_kernel32.a")
# shellcheck disable=SC2046
g++ -std=c++20 -O1 -Wall -Wextra -Werror -I"$root/platform/include" -I"$root" \
  -o "$work/pixel_cases" "$here/pixel_cases.cpp" "${libs[@]}" $(pkg-config --libs cairo pangocairo pango fontconfig) -lpthread
x86_64-w64-mingw32-g++-posix -std=c++20 -O1 -Wall -Wextra -Werror -static -I"$root" \
  -o "$work/pixel_cases.exe" "$here/pixel_cases.cpp" -lgdi32

rm -f "$work"/standin/*.raw "$work"/wine/*.raw
"$work/pixel_cases" "$work/standin" >/dev/null
ensure_display
wine_prefix "$work/prefix"
wine "$work/pixel_cases.exe" "$(winepath -w "$work/wine")" --widen-round >/dev/null
python3 "$here/diff_cases.py" "$work/standin" "$work/wine" "$@"
