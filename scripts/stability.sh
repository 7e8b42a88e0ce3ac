#!/usr/bin/env bash
# Runs every display and threaded test suite many times, in the normal build and under
# ThreadSanitizer, while stress-ng keeps every core busy, and reports each suite's failures.
# A suite that fails one run in twenty fails CI one day in twenty: zero is the bar.
# Usage: scripts/stability.sh [runs]   (default 30 per suite and build). Not part of the
# README's test command; the logs of failed runs are kept in build-stability/failed/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${1:-30}
jobs=$(nproc)

bash scripts/deps.sh stability
# shellcheck source=scripts/xvfb.sh
source scripts/xvfb.sh
ensure_display

# Builds of its own, so that a run can go on beside other work in the tree.
work=$root/build-stability
logs=$work/failed
rm -rf "$logs"
mkdir -p "$logs"

build() {  # dir, cmake args...: builds the display and threaded suites (and the editor they start)
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMM_WITH_BENCH=OFF "$@" >/dev/null
  local targets=(mindmap)
  mapfile -t -O 1 targets < <(cd "$dir" && ctest -N -L 'display|threaded' | awk '/Test +#/ {print $3}')
  local t
  for t in "${targets[@]}"; do
    if ! cmake --build "$dir" -j "$jobs" --target "$t" >"$dir/build.log" 2>&1; then
      tail -n 40 "$dir/build.log"
      echo "build of $t failed in $dir" >&2
      return 1
    fi
  done
}

echo "== building the normal and the ThreadSanitizer build"
build "$work/normal"
build "$work/tsan" -DMM_SANITIZE=thread

# The load: one busy worker per core, for as long as the runs take.
stress-ng --cpu "$jobs" --cpu-method matrixprod --quiet >/dev/null 2>&1 &
load=$!
trap 'kill "$load" 2>/dev/null || true; kill "${MM_XVFB_PID:-}" 2>/dev/null || true' EXIT

failed=0
report=()
for dir in "$work/normal" "$work/tsan"; do
  name=$(basename "$dir")
  mapfile -t suites < <(cd "$dir" && ctest -N -L 'display|threaded' | awk '/Test +#/ {print $3}')
  for suite in "${suites[@]}"; do
    failures=0
    for run in $(seq 1 "$runs"); do
      log=$logs/$name-$suite-$run.log
      if (cd "$dir" && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$root/tests/tsan-suppressions.txt \
            ctest -R "^$suite\$" --output-on-failure >"$log" 2>&1); then
        rm -f "$log"
      else
        failures=$((failures + 1))
        echo "   $name $suite run $run failed: $log"
      fi
    done
    report+=("$(printf '%-11s %-28s %3d runs %3d failed' "$name" "$suite" "$runs" "$failures")")
    failed=$((failed + failures))
  done
done

echo "== stability under load (stress-ng --cpu $jobs)"
printf '%s\n' "${report[@]}"
if [ "$failed" -ne 0 ]; then
  echo "$failed failed runs; their logs are in $logs" >&2
  exit 1
fi
echo "no failures"
