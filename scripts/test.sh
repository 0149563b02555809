#!/usr/bin/env bash
# Sets everything up, builds both configurations and runs every test: the native unit tests
# (under sanitizers) and the Windows-side tests under Wine on a private prefix and display.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
jobs=$(nproc)
mkdir -p build

cmake --preset native >/dev/null
cmake --build --preset native -j"$jobs"
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$jobs"

status=0
ctest --preset native -j"$jobs" 2>&1 | tee build/native-tests.log || status=1
ctest --preset windows -j"$jobs" 2>&1 | tee build/windows-tests.log || status=1

# Totals over both runs, and no test may be skipped or left unrun.
passed=0
failed=0
for log in build/native-tests.log build/windows-tests.log; do
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
    if grep -qE 'did not run|\*\*\*Skipped|Not Run' "$log"; then
        echo "test.sh: tests were skipped or not run in $log" >&2
        status=1
    fi
done
[ "$failed" -eq 0 ] || status=1
echo
echo "all tests: $passed passed, $failed failed"
exit "$status"
