#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up to the first painted frame and peak memory, in one run, for three programs:
#   floor_window   an empty window of the program's size
#   shipped        the program with the data.mdb made from resources/foods.csv
#   foods_32767    the program with 32,767 foods in 1,000 categories (make_foods_csv.py)
# The three are timed by hyperfine under one Xvfb, in short rounds whose order rotates, so that
# a change in the machine's load falls on all alike. Peak memory is GNU time's maximum resident
# set size, the median of several runs each, taken alternately too.
#
# Usage: bench/foods/startup_sizes.sh [BUILD_DIR] [RUNS] [MEMORY_RUNS]
#   BUILD_DIR    a Release build with the targets first_frame, floor_window, makedb, skin1_dat
#                and data_mdb (default: build-rel)
#   RUNS         timed runs of each (default: 30)
#   MEMORY_RUNS  peak-memory runs of each (default: 5)
# FIRST_FRAME=/path/to/first_frame times another build of the program; BASELINE_FRAME=/path/to/
# first_frame adds an older build's shipped and 32,767-food start-ups to the same rounds, so a
# change can be given as before/after ratios measured side by side.
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD_DIR=$(cd "${1:-$HERE/../../build-rel}" && pwd)
RUNS=${2:-30}
MEMORY_RUNS=${3:-5}
FIRST_FRAME=${FIRST_FRAME:-$BUILD_DIR/bench/startup/first_frame}
FLOOR=$BUILD_DIR/bench/startup/floor_window
for f in "$FIRST_FRAME" "$FLOOR" "$BUILD_DIR/tools/makedb/makedb" "$BUILD_DIR/bin/data.mdb" \
         "$BUILD_DIR/bin/Skin1.dat" /usr/bin/time; do
  [ -e "$f" ] || { echo "missing: $f" >&2; exit 2; }
done

WORK=$(mktemp -d)
XVFB_PID=
trap '[ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null; rm -rf "$WORK"' EXIT
# The X server as the tests start theirs.
. "$HERE/../../tests/support/xvfb.sh"
start_xvfb "$WORK" 1280x1024x24 || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY="$XVFB_DISPLAY"
export QT_QPA_PLATFORM=xcb

mkdir "$WORK/shipped" "$WORK/big"
cp "$BUILD_DIR/bin/data.mdb" "$BUILD_DIR/bin/Skin1.dat" "$WORK/shipped/"
"$HERE/make_foods_csv.py" "$WORK/foods.csv" 32767 1000
"$BUILD_DIR/tools/makedb/makedb" "$WORK/foods.csv" "$WORK/big/data.mdb" >/dev/null
cp "$BUILD_DIR/bin/Skin1.dat" "$WORK/big/"
for dir in shipped big; do
  "$FIRST_FRAME" "$WORK/$dir" || { echo "first_frame failed on $dir" >&2; exit 1; }
done

COMMANDS=("floor_window|$FLOOR" "shipped|$FIRST_FRAME $WORK/shipped" "foods_32767|$FIRST_FRAME $WORK/big")
if [ -n "${BASELINE_FRAME:-}" ]; then
  for dir in shipped big; do "$BASELINE_FRAME" "$WORK/$dir" || { echo "baseline failed on $dir" >&2; exit 1; }; done
  COMMANDS+=("baseline_shipped|$BASELINE_FRAME $WORK/shipped" "baseline_foods_32767|$BASELINE_FRAME $WORK/big")
fi
hyperfine_args() { # the commands, starting at the given index, as hyperfine's -n NAME CMD pairs
  local start=$1 i n=${#COMMANDS[@]}
  for (( i = 0; i < n; i++ )); do
    local entry=${COMMANDS[$(( (start + i) % n ))]}
    printf '%s\n' -n "${entry%%|*}" "${entry#*|}"
  done
}
ROUND_RUNS=5
ROUNDS=$(( (RUNS + ROUND_RUNS - 1) / ROUND_RUNS ))
mapfile -t ARGS < <(hyperfine_args 0)
hyperfine -N --style none --warmup 3 --runs 1 "${ARGS[@]}" >/dev/null
for round in $(seq "$ROUNDS"); do
  mapfile -t ARGS < <(hyperfine_args "$round")
  hyperfine -N --style none --runs "$ROUND_RUNS" --export-json "$WORK/round$round.json" \
    "${ARGS[@]}" >/dev/null 2>&1
done

jq -rs '
  def ms: . * 1000 | . * 10 | round / 10;
  def r2: . * 100 | round / 100;
  def median: sort | if length % 2 == 1 then .[length / 2 | floor]
                     else (.[length / 2 - 1] + .[length / 2]) / 2 end;
  def times($name): [.[].results[] | select(.command == $name) | .times[]];
  times("floor_window") as $f | times("shipped") as $s | times("foods_32767") as $b
  | "start-up to the first frame, \($s | length) runs each, rotating rounds of '"$ROUND_RUNS"'",
    "  means:   floor_window \($f | add / length | ms) ms, shipped \($s | add / length | ms) ms, foods_32767 \($b | add / length | ms) ms",
    "  medians: floor_window \($f | median | ms) ms, shipped \($s | median | ms) ms, foods_32767 \($b | median | ms) ms",
    "  ratio shipped / floor_window:    mean \(($s | add / length) / ($f | add / length) | r2), median \(($s | median) / ($f | median) | r2)",
    "  ratio foods_32767 / shipped:     mean \(($b | add / length) / ($s | add / length) | r2), median \(($b | median) / ($s | median) | r2)",
    "  ratio foods_32767 / floor_window: mean \(($b | add / length) / ($f | add / length) | r2), median \(($b | median) / ($f | median) | r2)",
    (times("baseline_shipped") as $os | times("baseline_foods_32767") as $ob
     | select($os | length > 0)
     | "  baseline (older build), same rounds: shipped \($os | median | ms) ms, foods_32767 \($ob | median | ms) ms (medians)",
       "  ratio baseline shipped / floor_window: median \(($os | median) / ($f | median) | r2); baseline foods_32767 / baseline shipped: median \(($ob | median) / ($os | median) | r2)",
       "  ratio shipped / baseline shipped: median \(($s | median) / ($os | median) | r2); foods_32767 / baseline foods_32767: median \(($b | median) / ($ob | median) | r2)")
' "$WORK"/round*.json

# Peak memory: GNU time's maximum resident set size in KB, median of MEMORY_RUNS.
peak() { /usr/bin/time -f %M -o "$WORK/rss" "$@" >/dev/null 2>&1; cat "$WORK/rss"; }
declare -A RSS
for _ in $(seq "$MEMORY_RUNS"); do
  RSS[floor]+="$(peak "$FLOOR") "
  RSS[shipped]+="$(peak "$FIRST_FRAME" "$WORK/shipped") "
  RSS[big]+="$(peak "$FIRST_FRAME" "$WORK/big") "
  if [ -n "${BASELINE_FRAME:-}" ]; then
    RSS[oshipped]+="$(peak "$BASELINE_FRAME" "$WORK/shipped") "
    RSS[obig]+="$(peak "$BASELINE_FRAME" "$WORK/big") "
  fi
done
median_kb() { tr ' ' '\n' | grep . | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
FLOOR_KB=$(echo "${RSS[floor]}" | median_kb)
SHIPPED_KB=$(echo "${RSS[shipped]}" | median_kb)
BIG_KB=$(echo "${RSS[big]}" | median_kb)
awk -v f="$FLOOR_KB" -v s="$SHIPPED_KB" -v b="$BIG_KB" -v n="$MEMORY_RUNS" 'BEGIN {
  printf "peak memory (max RSS, median of %d): floor_window %.1f MB, shipped %.1f MB, foods_32767 %.1f MB\n", n, f/1024, s/1024, b/1024
  printf "  foods_32767 - shipped: %+.1f MB\n", (b-s)/1024
}'
if [ -n "${BASELINE_FRAME:-}" ]; then
  OSHIPPED_KB=$(echo "${RSS[oshipped]}" | median_kb)
  OBIG_KB=$(echo "${RSS[obig]}" | median_kb)
  awk -v s="$OSHIPPED_KB" -v b="$OBIG_KB" 'BEGIN {
    printf "  baseline (older build): shipped %.1f MB, foods_32767 %.1f MB, foods_32767 - shipped: %+.1f MB\n", s/1024, b/1024, (b-s)/1024
  }'
fi
