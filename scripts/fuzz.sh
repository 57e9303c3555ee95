#!/usr/bin/env bash
# Runs the skin-file reader under libFuzzer (address and undefined-behaviour sanitizers) for a
# bounded time. Usage: scripts/fuzz.sh [SECONDS]   (default 60). Exits non-zero on any finding;
# the input that caused it is left in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DPELLOMIR_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --target fuzz_skin --parallel 2

# The fuzzer adds what it finds to its corpus folder; keep the checked-in seeds untouched.
corpus="$(mktemp -d)"
trap 'rm -rf "$corpus"' EXIT
cp tests/fuzz/corpus/* "$corpus/"

build-fuzz/tests/fuzz/fuzz_skin "$corpus" \
  -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
  -artifact_prefix="$PWD/build-fuzz/" -print_final_stats=1
echo "fuzz: no crash in ${seconds} s"
