#!/usr/bin/env bash
# Start-up to the first painted frame, the program against an empty window of the same size,
# both timed by hyperfine in one run under Xvfb. Prints both means and their ratio.
#
# Usage: bench/startup/run.sh [BUILD_DIR] [PROGRAM_DIR] [RUNS]
#   BUILD_DIR    a build with the benchmarks (default: build-release); first_frame and
#                floor_window are taken from BUILD_DIR/bench/startup
#   PROGRAM_DIR  the folder with data.mdb and Skin1.dat to start from (default: BUILD_DIR/bin),
#                e.g. one whose data.mdb holds 32,767 foods
#   RUNS         timed runs of each (default: 30)
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD_DIR=$(cd "${1:-$HERE/../../build-release}" && pwd)
PROGRAM_DIR=$(cd "${2:-$BUILD_DIR/bin}" && pwd)
RUNS=${3:-30}
FIRST_FRAME=$BUILD_DIR/bench/startup/first_frame
FLOOR=$BUILD_DIR/bench/startup/floor_window
for f in "$FIRST_FRAME" "$FLOOR" "$PROGRAM_DIR/data.mdb" "$PROGRAM_DIR/Skin1.dat"; do
  [ -e "$f" ] || { echo "missing: $f (build the targets first_frame and floor_window)" >&2; exit 2; }
done

WORK=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$WORK/display" 2>/dev/null &
XVFB_PID=$!
trap 'kill $XVFB_PID 2>/dev/null; rm -rf "$WORK"' EXIT
for _ in $(seq 50); do [ -s "$WORK/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$WORK/display")"
export QT_QPA_PLATFORM=xcb

# The program only reads its directory at start, but work on a copy all the same.
mkdir "$WORK/program"
cp "$PROGRAM_DIR/data.mdb" "$PROGRAM_DIR/Skin1.dat" "$WORK/program/"
"$FIRST_FRAME" "$WORK/program" || { echo "first_frame failed" >&2; exit 1; }

hyperfine -N --warmup 3 --runs "$RUNS" --export-json "$WORK/times.json" \
  -n floor_window "$FLOOR" \
  -n first_frame "$FIRST_FRAME $WORK/program"

jq -r '
  (.results[] | select(.command == "floor_window") | .mean) as $floor
  | (.results[] | select(.command == "first_frame") | .mean) as $program
  | "floor_window \($floor * 1000 | . * 10 | round / 10) ms, first_frame \($program * 1000 | . * 10 | round / 10) ms, ratio \($program / $floor | . * 100 | round / 100)"
' "$WORK/times.json"
