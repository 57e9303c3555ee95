#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up to the first painted frame, the program against two floors, all timed by hyperfine
# under Xvfb: an empty window of the same size (floor_window), and a fair floor (fair_floor:
# the program's own first frame decoded from one PNG, and one line of Chinese text, which any
# skinned Chinese window must do). Prints wall and CPU time (means and medians) and their ratios
# to each floor, the peak memory of each (GNU time, median of 5 runs), and the shared libraries and
# plugins the program loads up to its first frame that the fair floor does not (glibc's loader).
#
# The runs go in short rounds that alternate between the two, so that a change in the machine's
# load (other builds on a shared machine) falls on both alike instead of on whichever ran last.
#
# Usage: bench/startup/run.sh [BUILD_DIR] [PROGRAM_DIR] [RUNS]
#   BUILD_DIR    a build with the benchmarks (default: build-rel, as the README builds it);
#                first_frame, floor_window and fair_floor are taken from BUILD_DIR/bench/startup
#   PROGRAM_DIR  the folder with data.mdb and Skin1.dat to start from (default: BUILD_DIR/bin),
#                e.g. one whose data.mdb holds 32,767 foods
#   RUNS         timed runs of each (default: 30)
# With FRESH_DATA=<file> that file is put back as the program's data.mdb before every run (its
# upgrade copies removed), e.g. a file of an earlier release, so each run starts with its upgrade.
# The build's template (BUILD_DIR/template/data.mdb) is installed beside the program folder, as
# the start compares the food tables with it.
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD_DIR=$(cd "${1:-$HERE/../../build-rel}" && pwd)
PROGRAM_DIR=$(cd "${2:-$BUILD_DIR/bin}" && pwd)
RUNS=${3:-30}
FIRST_FRAME=$BUILD_DIR/bench/startup/first_frame
FLOOR=$BUILD_DIR/bench/startup/floor_window
FAIR=$BUILD_DIR/bench/startup/fair_floor
for f in "$FIRST_FRAME" "$FLOOR" "$FAIR" "$PROGRAM_DIR/data.mdb" "$PROGRAM_DIR/Skin1.dat"; do
  [ -e "$f" ] || { echo "missing: $f (build the targets first_frame, floor_window and fair_floor)" >&2; exit 2; }
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
if [ -f "$BUILD_DIR/template/data.mdb" ]; then
  mkdir -p "$WORK/share/pellomir"
  cp "$BUILD_DIR/template/data.mdb" "$WORK/share/pellomir/"
fi
PREPARE=()
if [ -n "${FRESH_DATA:-}" ]; then
  cp "$FRESH_DATA" "$WORK/fresh.mdb"
  printf 'cp "%s" "%s"\nrm -f "%s".bak-*\n' "$WORK/fresh.mdb" "$WORK/program/data.mdb" "$WORK/program/data.mdb" > "$WORK/fresh.sh"
  sh "$WORK/fresh.sh"
  PREPARE=(--prepare "sh $WORK/fresh.sh")
fi
# The program's first frame, for the fair floor to decode.
"$FIRST_FRAME" "$WORK/program" "$WORK/frame.png" || { echo "first_frame failed" >&2; exit 1; }
[ -z "${FRESH_DATA:-}" ] || sh "$WORK/fresh.sh"

FLOOR_CMD=(-n floor_window "$FLOOR")
FAIR_CMD=(-n fair_floor "$FAIR $WORK/frame.png")
PROGRAM_CMD=(-n first_frame "$FIRST_FRAME $WORK/program")
ROUND_RUNS=5
ROUNDS=$(( (RUNS + ROUND_RUNS - 1) / ROUND_RUNS ))
hyperfine -N --style none --warmup 3 --runs 1 "${PREPARE[@]}" "${FLOOR_CMD[@]}" "${FAIR_CMD[@]}" "${PROGRAM_CMD[@]}" >/dev/null
for round in $(seq "$ROUNDS"); do
  if (( round % 2 )); then order=("${FLOOR_CMD[@]}" "${FAIR_CMD[@]}" "${PROGRAM_CMD[@]}")
  else order=("${PROGRAM_CMD[@]}" "${FAIR_CMD[@]}" "${FLOOR_CMD[@]}"); fi
  hyperfine -N --style none --runs "$ROUND_RUNS" --export-json "$WORK/round$round.json" "${PREPARE[@]}" \
    "${order[@]}" >/dev/null 2>&1
done

jq -rs '
  def ms: . * 1000 | . * 10 | round / 10;
  def ratio($a; $b): $a / $b | . * 100 | round / 100;
  def median: sort | if length % 2 == 1 then .[length / 2 | floor]
                     else (.[length / 2 - 1] + .[length / 2]) / 2 end;
  def times($name): [.[].results[] | select(.command == $name) | .times[]];
  def cpu($name): [.[].results[] | select(.command == $name) | (.user + .system)] | add / length;
  times("floor_window") as $floor | times("fair_floor") as $fair | times("first_frame") as $program
  | ($floor | add / length) as $floorMean | ($fair | add / length) as $fairMean
  | ($program | add / length) as $programMean
  | cpu("floor_window") as $floorCpu | cpu("fair_floor") as $fairCpu | cpu("first_frame") as $programCpu
  | "runs \($program | length) each, alternating in rounds of '"$ROUND_RUNS"'",
    "wall means: floor_window \($floorMean | ms) ms, fair_floor \($fairMean | ms) ms, first_frame \($programMean | ms) ms; ratio to floor_window \(ratio($programMean; $floorMean)), to fair_floor \(ratio($programMean; $fairMean))",
    "wall medians: floor_window \($floor | median | ms) ms, fair_floor \($fair | median | ms) ms, first_frame \($program | median | ms) ms; ratio to fair_floor \(ratio($program | median; $fair | median))",
    "cpu (user+system) means: floor_window \($floorCpu | ms) ms, fair_floor \($fairCpu | ms) ms, first_frame \($programCpu | ms) ms; ratio to fair_floor \(ratio($programCpu; $fairCpu))"
' "$WORK"/round*.json

# Peak memory: the median of 5 runs each, in MB.
peak() {
  for _ in 1 2 3 4 5; do /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; done | sort -n | sed -n 3p
}
floor_kb=$(peak "$FLOOR"); fair_kb=$(peak "$FAIR" "$WORK/frame.png"); program_kb=$(peak "$FIRST_FRAME" "$WORK/program")
awk -v f="$floor_kb" -v a="$fair_kb" -v p="$program_kb" 'BEGIN {
  printf "peak memory: floor_window %.1f MB, fair_floor %.1f MB, first_frame %.1f MB; %.1f MB more than fair_floor\n",
         f / 1024, a / 1024, p / 1024, (p - a) / 1024 }'

# What the program loads before its first frame beyond what the fair floor loads.
loaded() { LD_DEBUG=libs "$@" 2>&1 >/dev/null | sed -n 's/.*calling init: //p' | xargs -r -n 1 basename | sort -u; }
extra=$(comm -13 <(loaded "$FAIR" "$WORK/frame.png") <(loaded "$FIRST_FRAME" "$WORK/program") | tr '\n' ' ')
echo "libraries first_frame loads and fair_floor does not: ${extra:-none}"
