#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz (clang, with the address and undefined-behaviour
# sanitizers) and runs each one from its seed corpus, stopping at the first crash.
#
#   scripts/fuzz.sh [RUNS | SECONDSs] [TARGET...]
#
# RUNS inputs per target (default 1000000), or SECONDS per target with an "s" ("60s"); by
# default every tests/fuzz/*_fuzz.cpp. New inputs the fuzzer finds go to build/fuzz/corpus/,
# never into the repository's seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
limit=${1:-1000000}
shift || true

scripts/setup.sh clang libclang-rt-14-dev
cmake -S . -B build/fuzz -DVZ_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null

if [ $# -gt 0 ]; then
    targets=("$@")
else
    targets=()
    for source in tests/fuzz/*_fuzz.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi
cmake --build build/fuzz -j2 --target "${targets[@]}"

case "$limit" in
*s) budget=(-max_total_time="${limit%s}") ;;
*) budget=(-runs="$limit") ;;
esac
for target in "${targets[@]}"; do
    name=${target%_fuzz}
    work=build/fuzz/corpus/$name
    mkdir -p "$work"
    seeds=tests/fuzz/corpus/$name
    [ -d "$seeds" ] || seeds=
    echo "fuzz: $target (${budget[*]})"
    start=$(date +%s)
    build/fuzz/fuzz/"$target" "${budget[@]}" -print_final_stats=1 -artifact_prefix=build/fuzz/ \
        "$work" ${seeds:+"$seeds"} 2>build/fuzz/"$target".log || {
        tail -n 40 build/fuzz/"$target".log >&2
        echo "fuzz: $target FAILED; the input is in build/fuzz/" >&2
        exit 1
    }
    runs=$(grep -E '^stat::number_of_executed_units' build/fuzz/"$target".log | awk '{print $2}')
    echo "fuzz: $target: $runs inputs in $(($(date +%s) - start)) s, no crash"
done
