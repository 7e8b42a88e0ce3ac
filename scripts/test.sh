#!/usr/bin/env bash
# Builds and runs every test: the normal build, AddressSanitizer + UndefinedBehaviorSanitizer,
# ThreadSanitizer for the threaded graphics tests, the fuzz targets for a short run, and the
# Windows cross build. Installs missing Debian packages first and starts Xvfb when no X
# display is set. Usage: scripts/test.sh [stage...]   (stages: normal asan tsan fuzz mingw;
# default all). FUZZ_SECONDS sets the fuzz run per target (default 20).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
stages=("$@")
[ ${#stages[@]} -eq 0 ] && stages=(normal asan tsan fuzz mingw)
jobs=$(nproc)

bash scripts/deps.sh test

echo "== layering"
bash scripts/check-layers.sh

# shellcheck source=scripts/xvfb.sh
source scripts/xvfb.sh
ensure_display

has_stage() { local s; for s in "${stages[@]}"; do [ "$s" = "$1" ] && return 0; done; return 1; }

build_quietly() {  # dir, cmake --build args...: shows the log only when the build fails
  local dir=$1; shift
  if ! cmake --build "$dir" -j "$jobs" "$@" >"$dir/build.log" 2>&1; then
    grep -E -v '^\[ *[0-9]+%\]|^(Consolidate|Scanning|Built target)' "$dir/build.log" | tail -n 80
    echo "build failed in $dir" >&2
    return 1
  fi
}

configure_and_build() {  # dir, extra cmake args...
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  build_quietly "$dir"
}

run_ctest() {  # dir, ctest args...
  local dir=$1; shift
  (cd "$dir" && ctest --output-on-failure -j "$jobs" "$@")
}

if has_stage normal; then
  echo "== normal build"
  configure_and_build build
  run_ctest build
fi

if has_stage asan; then
  echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
  configure_and_build build-asan -DMM_SANITIZE=address,undefined -DMM_WITH_BENCH=OFF
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_ctest build-asan
fi

if has_stage tsan; then
  echo "== ThreadSanitizer (threaded graphics tests)"
  cmake -S "$root" -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMM_SANITIZE=thread \
    -DMM_WITH_BENCH=OFF >/dev/null
  # Only the suites labelled threaded run here, so only they are built.
  mapfile -t threaded < <(cd build-tsan && ctest -N -L threaded | awk '/Test +#/ {print $3}')
  for t in "${threaded[@]}"; do build_quietly build-tsan --target "$t"; done
  TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$root/tests/tsan-suppressions.txt \
    run_ctest build-tsan -L threaded
fi

if has_stage fuzz; then
  echo "== fuzz targets, ${FUZZ_SECONDS:-20} s each"
  bash scripts/fuzz.sh "${FUZZ_SECONDS:-20}"
fi

if has_stage mingw; then
  echo "== Windows cross build (MinGW-w64)"
  configure_and_build build-mingw -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DMM_WITH_BENCH=OFF
  echo "== Windows tests under Wine"
  bash scripts/wine-tests.sh build-mingw -LE display -j "$jobs"
  echo "== mindmap.exe under Wine: right-click, Ctrl+S, typed path, OK, Escape"
  bash scripts/wine-smoke.sh build-mingw build
fi

echo "== all stages passed: ${stages[*]}"
