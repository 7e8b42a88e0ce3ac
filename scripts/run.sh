#!/usr/bin/env bash
# Installs what is missing, builds the editor and starts it on the user's X display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh run
cmake -S . -B build-run -DCMAKE_BUILD_TYPE=Release -DMM_WITH_TESTS=OFF -DMM_WITH_BENCH=OFF >/dev/null
cmake --build build-run -j "$(nproc)" --target mindmap >/dev/null
exec build-run/app/ui/mindmap "$@"
