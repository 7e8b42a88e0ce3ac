#!/usr/bin/env bash
# Runs the real editor, built with AddressSanitizer and UndefinedBehaviorSanitizer, under random
# real X input (Xvfb when no display is set) and checks that it keeps running and answering,
# that a final save opens back, and that Escape ends it cleanly. Not part of the test command.
# Usage: scripts/soak.sh [SECONDS] [SEED]   (default 600 s, a random seed)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-600}
seed=${2:-}

bash scripts/deps.sh test
# shellcheck source=scripts/xvfb.sh
source scripts/xvfb.sh
ensure_display

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMM_SANITIZE=address,undefined \
  -DMM_WITH_BENCH=OFF >/dev/null
if ! cmake --build build-asan -j "$(nproc)" --target mindmap editor_soak >build-asan/soak-build.log 2>&1; then
  tail -n 60 build-asan/soak-build.log
  exit 1
fi

work=$(mktemp -d /tmp/mindmap-soak.XXXXXX)
echo "soak: working in $work"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:log_path=$work/asan
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:log_path=$work/ubsan
# Each partial frame is checked against the whole frame of the same state.
export MINDMAP_CHECK_DAMAGE=1
status=0
build-asan/tests/soak/editor_soak "$root/build-asan/app/ui/mindmap" "$work" "$seconds" $seed || status=$?
# The sanitizers' logs also hold the summary of suppressed leaks; only a report is a fault.
reports=$(grep -l -E 'ERROR: |runtime error' "$work"/asan* "$work"/ubsan* 2>/dev/null || true)
if [ -n "$reports" ]; then
  # shellcheck disable=SC2086
  head -n 80 $reports
  echo "soak: the sanitizers reported a fault" >&2
  status=1
fi
[ "$status" -eq 0 ] && echo "soak: clean" && rm -rf "$work"
exit "$status"
