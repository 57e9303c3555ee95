#!/usr/bin/env bash
# Builds everything and runs the whole test suite; exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh test

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-test --parallel "$(nproc)"
(cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600)

# The skin reader under libFuzzer with sanitizers, for a bounded time.
bash scripts/fuzz.sh "${PELLOMIR_FUZZ_SECONDS:-60}"
