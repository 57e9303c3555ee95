#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Loading a skin, whole process (bench/skin/load_skin): the built Skin1.dat as the floor against
# two crafted skins whose pictures are one-pixel checkerboards of opaque and transparent pixels,
# 4096 x 4096 (the hostile case, about 212 KB) and 1024 x 1024. Time by hyperfine, peak memory
# (maximum resident set size) by GNU time; both also as ratios to the floor.
#
# Usage: bench/skin/run.sh [BUILD_DIR] [RUNS]
#   BUILD_DIR  a build with the benchmarks (default: build-release); load_skin is taken from
#              BUILD_DIR/bench/skin and the floor skin from BUILD_DIR/bin/Skin1.dat
#   RUNS       timed runs of each (default: 10)
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD_DIR=$(cd "${1:-$HERE/../../build-release}" && pwd)
RUNS=${2:-10}
LOAD=$BUILD_DIR/bench/skin/load_skin
for f in "$LOAD" "$BUILD_DIR/bin/Skin1.dat"; do
  [ -e "$f" ] || { echo "missing: $f (build the targets load_skin and skin1_dat)" >&2; exit 2; }
done

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cp "$BUILD_DIR/bin/Skin1.dat" "$WORK/built.dat"
python3 "$HERE/crafted_skin.py" "$WORK/checker4096.dat" 4096
python3 "$HERE/crafted_skin.py" "$WORK/checker1024.dat" 1024
export QT_QPA_PLATFORM=offscreen

peak_kib() {
  /usr/bin/time -v "$LOAD" "$1" 2>"$WORK/time.txt" >/dev/null
  sed -n 's/.*Maximum resident set size (kbytes): //p' "$WORK/time.txt"
}

floor_ms= floor_kib=
for skin in built checker4096 checker1024; do
  file="$WORK/$skin.dat"
  outcome=$("$LOAD" "$file" 2>/dev/null)
  hyperfine -N --style none --warmup 1 --runs "$RUNS" --export-json "$WORK/$skin.json" \
    "$LOAD $file" >/dev/null 2>&1
  ms=$(jq '.results[0].mean * 1000 | . * 10 | round / 10' "$WORK/$skin.json")
  kib=$(peak_kib "$file")
  if [ -z "$floor_ms" ]; then floor_ms=$ms floor_kib=$kib; fi
  printf '%-12s %7s bytes  %8s ms (x%s)  peak %7s KiB (x%s)  %s\n' "$skin" \
    "$(stat -c %s "$file")" "$ms" "$(jq -n "$ms / $floor_ms * 100 | round / 100")" \
    "$kib" "$(jq -n "$kib / $floor_kib * 100 | round / 100")" "${outcome:0:110}"
done
