#!/usr/bin/env bash
# Builds everything and runs the whole test suite; exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh test

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-test --parallel "$(nproc)"

log=$(mktemp)
trap 'rm -f "$log"' EXIT
(cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600) | tee "$log"
ctest_count=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n 1)

# The skin reader under libFuzzer with sanitizers, for a bounded time.
bash scripts/fuzz.sh "${PELLOMIR_FUZZ_SECONDS:-60}"

echo "ctest and fuzzer: $(( ${ctest_count:-0} + 1 )) passed, 0 failed"
