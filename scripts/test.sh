#!/usr/bin/env bash
# Builds and runs every test: the normal build, AddressSanitizer + UndefinedBehaviorSanitizer,
# ThreadSanitizer for the threaded graphics tests, the fuzz targets for a short run, and the
# Windows cross build. Each standard build type compiles the whole tree (tests and benchmarks)
# once: the normal build is RelWithDebInfo, the AddressSanitizer build Debug and the
# ThreadSanitizer build Release. Installs missing Debian packages first and starts Xvfb when no X
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

configure_and_build() {  # dir, build type, extra cmake args...
  local dir=$1 type=$2; shift 2
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
  build_quietly "$dir"
}

run_ctest() {  # dir, ctest args...
  local dir=$1; shift
  (cd "$dir" && ctest --output-on-failure -j "$jobs" "$@")
}

if has_stage normal; then
  echo "== normal build"
  configure_and_build build RelWithDebInfo
  run_ctest build
fi

if has_stage asan; then
  echo "== AddressSanitizer + UndefinedBehaviorSanitizer (Debug)"
  configure_and_build build-asan Debug -DMM_SANITIZE=address,undefined
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_ctest build-asan
fi

if has_stage tsan; then
  echo "== ThreadSanitizer (Release; the threaded graphics tests run)"
  # The whole tree is built, so that Release compiles warning-free too; only the suites
  # labelled threaded run.
  configure_and_build build-tsan Release -DMM_SANITIZE=thread
  TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$root/tests/tsan-suppressions.txt \
    run_ctest build-tsan -L threaded
fi

if has_stage fuzz; then
  echo "== fuzz targets, ${FUZZ_SECONDS:-20} s each"
  bash scripts/fuzz.sh "${FUZZ_SECONDS:-20}"
fi

if has_stage mingw; then
  echo "== Windows cross build (MinGW-w64)"
  configure_and_build build-mingw RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DMM_WITH_BENCH=OFF
  echo "== Windows tests under Wine"
  bash scripts/wine-tests.sh build-mingw -LE display -j "$jobs"
  echo "== mindmap.exe under Wine: right-click, Ctrl+S, typed path, OK, Escape"
  bash scripts/wine-smoke.sh build-mingw build
fi

echo "== all stages passed: ${stages[*]}"
