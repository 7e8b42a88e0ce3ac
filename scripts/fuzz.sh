#!/usr/bin/env bash
# Builds the fuzz targets (clang, AddressSanitizer + UndefinedBehaviorSanitizer, coverage) and
# runs one or all of them for a chosen time, each from its seed corpus (fuzz/seeds/TARGET), its
# dictionary (fuzz/TARGET.dict) and a corpus kept in the build folder between runs. A finding
# stops the run with its input saved as crash-* in the current folder and a non-zero exit; so
# does an editor run in which no open or no save succeeded (its dialogs no longer reach files).
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]   (default 20 s each; targets: map_file_fuzz
#        import_fuzz editor_fuzz; default all three)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(map_file_fuzz import_fuzz editor_fuzz)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMM_WITH_FUZZ=ON \
  -DMM_WITH_TESTS=OFF -DMM_WITH_BENCH=OFF -DMM_WITH_GRAPHICS=ON -DMM_SANITIZE=address,undefined >/dev/null
if ! cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]}" >build-fuzz/build.log 2>&1; then
  grep -E -v '^\[ *[0-9]+%\]|^(Consolidate|Scanning|Built target)' build-fuzz/build.log | tail -n 80
  echo "fuzz build failed" >&2
  exit 1
fi

for name in "${targets[@]}"; do
  corpus=build-fuzz/corpus-$name
  mkdir -p "$corpus"
  seeds=() options=()
  [ -d "fuzz/seeds/$name" ] && seeds=("fuzz/seeds/$name")
  [ -f "fuzz/$name.dict" ] && options+=("-dict=fuzz/$name.dict")
  # The file readers get room for captions of thousands of characters; the editor's records
  # are short (its long captions come from the files it opens).
  if [ "$name" = editor_fuzz ]; then options+=(-max_len=2048); else options+=(-max_len=16384); fi
  echo "== $name for $seconds s"
  # The editor fuzzer needs no display: frames are drawn off-screen.
  env -u DISPLAY "build-fuzz/fuzz/$name" -max_total_time="$seconds" "${options[@]}" -rss_limit_mb=3072 \
    -print_final_stats=1 "$corpus" "${seeds[@]}" >"build-fuzz/$name.log" 2>&1 || {
    tail -n 60 "build-fuzz/$name.log"
    echo "$name found a fault (input saved as crash-* here)" >&2
    exit 1
  }
  grep -E '^stat::number_of_executed_units|DONE' "build-fuzz/$name.log" | tail -n 2
  if [ "$name" = editor_fuzz ]; then
    grep -E '^stat::editor_' "build-fuzz/$name.log" | tr '\n' ' '
    echo
    # The pool's own paths, typed whole: a run where none of them opens or saves has dialogs
    # that no longer reach the files (names typed at random may still hit by chance).
    opened=$(awk '/^stat::editor_pool_opens_ok:/ {print $2}' "build-fuzz/$name.log")
    saved=$(awk '/^stat::editor_pool_saves_ok:/ {print $2}' "build-fuzz/$name.log")
    if [ "${opened:-0}" -eq 0 ] || [ "${saved:-0}" -eq 0 ]; then
      echo "$name: no open or no save of the pool's files succeeded (opens ${opened:-?}, saves ${saved:-?})" >&2
      exit 1
    fi
  fi
done
