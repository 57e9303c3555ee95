#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
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

# The two skin fuzzers (the file reader; the pictures) under libFuzzer with sanitizers, sharing
# a bounded time. Each counts as one test passed: fuzz.sh stops this script on any finding.
bash scripts/fuzz.sh "${PELLOMIR_FUZZ_SECONDS:-60}" | tee "$log"
fuzz_count=$(grep -c '^fuzz: .* no crash in ' "$log")

echo "ctest and fuzzer: $(( ${ctest_count:-0} + fuzz_count )) passed, 0 failed"
