#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up to the first frame with a food table of 32,767 rows in 1,000 categories, against
# the empty-window floor (bench/startup/run.sh does the timing).
#
# Usage: bench/foods/startup_32767.sh [BUILD_DIR] [RUNS]
#   BUILD_DIR  a Release build with the targets makedb, skin1_dat, first_frame and floor_window
#              (default: build-rel, as the README builds it)
# make_foods_csv.py writes the foods; the CSV and data.mdb go to a temporary folder.
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD_DIR=$(cd "${1:-$HERE/../../build-rel}" && pwd)
RUNS=${2:-20}

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir "$WORK/program"

"$HERE/make_foods_csv.py" "$WORK/foods.csv" 32767 1000

"$BUILD_DIR/tools/makedb/makedb" "$WORK/foods.csv" "$WORK/program/data.mdb" >/dev/null
cp "$BUILD_DIR/bin/Skin1.dat" "$WORK/program/"
"$HERE/../startup/run.sh" "$BUILD_DIR" "$WORK/program" "$RUNS"
