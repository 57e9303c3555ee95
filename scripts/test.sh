#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds everything and runs the whole test suite; exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh test

# A compiler cache where the machine has one (deps.sh installs it): a clean clone in another
# folder still hits what an earlier build of the same sources left, because paths are taken
# relative to the clone's root.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
fi

# Warnings are errors here, so a change that adds one does not land. The benchmarks are built
# and run on their own (README), not by the tests.
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELLOMIR_WERROR=ON -DPELLOMIR_BENCH=OFF \
    "${launcher[@]}" >/dev/null
cmake --build build-test --parallel "$(nproc)"

log=$(mktemp)
trap 'rm -f "$log"' EXIT
# Two at a time: each end-to-end test has an X server and buses of its own; the few that cannot
# share the machine are marked RUN_SERIAL where they are added.
(cd build-test && QT_QPA_PLATFORM=offscreen ctest -j2 --output-on-failure --timeout 600) | tee "$log"
ctest_total=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n 1)
# ctest counts a skipped test among the passed ones; here it is counted as skipped.
ctest_skipped=$(grep -c '(Skipped)$' "$log" || true)
ctest_passed=$(( ${ctest_total:-0} - ctest_skipped ))

# The two skin fuzzers (the file reader; the pictures) under libFuzzer with sanitizers, sharing
# a bounded time. Each counts as one test passed: fuzz.sh stops this script on any finding.
bash scripts/fuzz.sh "${PELLOMIR_FUZZ_SECONDS:-60}" | tee "$log"
fuzz_count=$(grep -c '^fuzz: .* no crash in ' "$log")

# The window and data tests again, built with AddressSanitizer: a use after free (an object
# that outlives what it refers to at shutdown) fails here even where it happens to work above.
# Leaks are not counted: Qt keeps some memory until the process ends by design.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELLOMIR_BENCH=OFF "${launcher[@]}" \
    -DCMAKE_CXX_FLAGS="-fsanitize=address -fno-omit-frame-pointer" \
    -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=address >/dev/null
asan_tests='^(app|app_start|app_data|app_keyboard|app_food_search|app_data_safety|data_location|foodlog_logic|foodlog_view|exercise_logic|exercise_view|own_food_logic|own_food_view|nutrient_logic|progress_logic|progress_view|file_layouts|log_commands_view|notebook|long_lines|note_export|test_data|test_database_copy|test_backup|test_calorie|test_food_panel|test_food_search|test_amount_text|skin)$'
# Only the programs those tests run (and what they depend on) are compiled; their names are read
# from the test build, where they exist (ctest names a test's program only once it is built).
asan_targets=$(cd build-test && ctest --show-only=json-v1 -R "$asan_tests" | python3 -c \
  'import json, os, sys; print(" ".join(sorted({os.path.basename(t["command"][0]) for t in json.load(sys.stdin)["tests"]})))')
[[ -n "$asan_targets" ]] || { echo "no AddressSanitizer test matched"; exit 1; }
# shellcheck disable=SC2086 # one target a word
cmake --build build-asan --parallel "$(nproc)" --target $asan_targets
(cd build-asan && ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 QT_QPA_PLATFORM=offscreen \
    ctest -j2 --output-on-failure --timeout 900 -R "$asan_tests") | tee "$log"
asan_count=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n 1)
[[ -n "$asan_count" ]] || { echo "the AddressSanitizer run failed"; exit 1; }

echo "summary: $(( ctest_passed + fuzz_count + asan_count )) passed, 0 failed, ${ctest_skipped} skipped"
