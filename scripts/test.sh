#!/usr/bin/env bash
# Sets everything up, builds and runs every test: the native unit tests (under sanitizers) and the
# Windows-side tests under Wine on a private prefix and display, for the Windows build(s) that
# scripts/arch.sh chooses (VZ_ARCH=win32|win64|both forces them).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/arch.sh
vz_choose_arch
vz_require_runnable

scripts/setup.sh
jobs=$(nproc)
mkdir -p build

cmake --preset native >/dev/null
cmake --build --preset native -j"$jobs"
logs=(build/native-tests.log)
for arch in $VZ_ARCHES; do
    preset=$(vz_preset "$arch")
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j"$jobs"
    logs+=("build/$preset-tests.log")
done

status=0
ctest --preset native -j"$jobs" 2>&1 | tee build/native-tests.log || status=1
# Each Windows build has its own Wine prefix and display, and its tests mostly wait on the
# programs they start: with two builds both suites run at once.
pids=()
for arch in $VZ_ARCHES; do
    preset=$(vz_preset "$arch")
    if [ "$VZ_ARCH" = both ]; then
        ctest --preset "$preset" -j"$jobs" >"build/$preset-tests.log" 2>&1 &
        pids+=($!)
    else
        ctest --preset "$preset" -j"$jobs" 2>&1 | tee "build/$preset-tests.log" || status=1
    fi
done
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
if [ "$VZ_ARCH" = both ]; then
    for arch in $VZ_ARCHES; do cat "build/$(vz_preset "$arch")-tests.log"; done
fi

# Totals over all runs, and no test may be skipped or left unrun.
passed=0
failed=0
for log in "${logs[@]}"; do
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of' "$log" | tail -n 1 || true)
    if [ -z "$line" ]; then
        echo "test.sh: no test summary in $log" >&2
        status=1
        continue
    fi
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
    echo "test.sh: $log: $((total - bad)) of $total passed"
    if grep -qE 'did not run|\*\*\*Skipped|Not Run' "$log"; then
        echo "test.sh: tests were skipped or not run in $log" >&2
        status=1
    fi
done
[ "$failed" -eq 0 ] || status=1
echo
echo "all tests ($VZ_ARCH): $passed passed, $failed failed"
exit "$status"
