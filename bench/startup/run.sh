#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up to the first painted frame, the program against an empty window of the same size,
# both timed by hyperfine under Xvfb. Prints both means and medians and their ratios.
#
# The runs go in short rounds that alternate between the two, so that a change in the machine's
# load (other builds on a shared machine) falls on both alike instead of on whichever ran last.
#
# Usage: bench/startup/run.sh [BUILD_DIR] [PROGRAM_DIR] [RUNS]
#   BUILD_DIR    a build with the benchmarks (default: build-rel, as the README builds it);
#                first_frame and floor_window are taken from BUILD_DIR/bench/startup
#   PROGRAM_DIR  the folder with data.mdb and Skin1.dat to start from (default: BUILD_DIR/bin),
#                e.g. one whose data.mdb holds 32,767 foods
#   RUNS         timed runs of each (default: 30)
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD_DIR=$(cd "${1:-$HERE/../../build-rel}" && pwd)
PROGRAM_DIR=$(cd "${2:-$BUILD_DIR/bin}" && pwd)
RUNS=${3:-30}
FIRST_FRAME=$BUILD_DIR/bench/startup/first_frame
FLOOR=$BUILD_DIR/bench/startup/floor_window
for f in "$FIRST_FRAME" "$FLOOR" "$PROGRAM_DIR/data.mdb" "$PROGRAM_DIR/Skin1.dat"; do
  [ -e "$f" ] || { echo "missing: $f (build the targets first_frame and floor_window)" >&2; exit 2; }
done

WORK=$(mktemp -d)
XVFB_PID=
trap '[ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null; rm -rf "$WORK"' EXIT
# The X server as the tests start theirs.
. "$HERE/../../tests/support/xvfb.sh"
start_xvfb "$WORK" 1280x1024x24 || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY="$XVFB_DISPLAY"
export QT_QPA_PLATFORM=xcb

# The program only reads its directory at start, but work on a copy all the same.
mkdir "$WORK/program"
cp "$PROGRAM_DIR/data.mdb" "$PROGRAM_DIR/Skin1.dat" "$WORK/program/"
"$FIRST_FRAME" "$WORK/program" || { echo "first_frame failed" >&2; exit 1; }

FLOOR_CMD=(-n floor_window "$FLOOR")
PROGRAM_CMD=(-n first_frame "$FIRST_FRAME $WORK/program")
ROUND_RUNS=5
ROUNDS=$(( (RUNS + ROUND_RUNS - 1) / ROUND_RUNS ))
hyperfine -N --style none --warmup 3 --runs 1 "${FLOOR_CMD[@]}" "${PROGRAM_CMD[@]}" >/dev/null
for round in $(seq "$ROUNDS"); do
  if (( round % 2 )); then order=("${FLOOR_CMD[@]}" "${PROGRAM_CMD[@]}")
  else order=("${PROGRAM_CMD[@]}" "${FLOOR_CMD[@]}"); fi
  hyperfine -N --style none --runs "$ROUND_RUNS" --export-json "$WORK/round$round.json" \
    "${order[@]}" >/dev/null 2>&1
done

jq -rs '
  def ms: . * 1000 | . * 10 | round / 10;
  def median: sort | if length % 2 == 1 then .[length / 2 | floor]
                     else (.[length / 2 - 1] + .[length / 2]) / 2 end;
  def times($name): [.[].results[] | select(.command == $name) | .times[]];
  times("floor_window") as $floor | times("first_frame") as $program
  | ($floor | add / length) as $floorMean | ($program | add / length) as $programMean
  | ($floor | median) as $floorMedian | ($program | median) as $programMedian
  | "runs \($program | length) each, alternating in rounds of '"$ROUND_RUNS"'",
    "floor_window \($floorMean | ms) ms, first_frame \($programMean | ms) ms, ratio \($programMean / $floorMean | . * 100 | round / 100)",
    "medians: floor_window \($floorMedian | ms) ms, first_frame \($programMedian | ms) ms, ratio \($programMedian / $floorMedian | . * 100 | round / 100)"
' "$WORK"/round*.json
