#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the two skin fuzzers under libFuzzer (address and undefined-behaviour sanitizers) for a
# bounded time, split evenly between them:
#   fuzz_skin           the skin-file reader and writer on whole skin files;
#   fuzz_skin_pictures  a skin's pictures: the PNG checks, the decode, the shape from the alpha.
# Usage: scripts/fuzz.sh [SECONDS]   (default 60, in all). Exits non-zero on any finding; the
# input that caused it is left in build-fuzz/. Ends with one line a target with its runs per
# second and its coverage (cov: code edges, ft: features).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
targets=(fuzz_skin fuzz_skin_pictures)
share=$(( seconds / ${#targets[@]} ))
(( share > 0 )) || share=1

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DPELLOMIR_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --target "${targets[@]}" --parallel 2

# The fuzzers add what they find to their corpus folders; keep the checked-in seeds untouched.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

for target in "${targets[@]}"; do
  case "$target" in
    # A skin of the program's own size (both scales) is about 300 KB, one window picture
    # about 60 KB: the input cap lets whole skins and pictures through, with room to grow.
    fuzz_skin)          seeds=skin     max_len=524288 ;;
    fuzz_skin_pictures) seeds=pictures max_len=262144 ;;
  esac
  mkdir "$work/$target"
  cp tests/fuzz/corpus/"$seeds"/* "$work/$target/"
  "build-fuzz/tests/fuzz/$target" "$work/$target" \
    -max_total_time="$share" -max_len="$max_len" -rss_limit_mb=2048 -timeout=10 \
    -artifact_prefix="$PWD/build-fuzz/$target-" -print_final_stats=1 2>&1 | tee "$work/$target.log"
done

for target in "${targets[@]}"; do
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$target.log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/$target.log")
  coverage=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$work/$target.log" | tail -n 1)
  echo "fuzz: $target no crash in ${share} s, $runs runs, $rate runs/s, $coverage"
done
