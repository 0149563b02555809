#!/usr/bin/env bash
# Builds the benchmarks natively in Release without sanitizers and runs them; they print figures.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DVZ_SANITIZE=OFF >/dev/null
cmake --build build/bench -j"$(nproc)"
for bench in build/bench/bench/*/*_bench; do
    [ -x "$bench" ] || continue
    echo "== $(basename "$bench")"
    "$bench"
done
