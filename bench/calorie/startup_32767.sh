#!/usr/bin/env bash
# Start-up to the first frame with a food table of 32,767 rows in 1,000 categories, against
# the empty-window floor (bench/startup/run.sh does the timing).
#
# Usage: bench/calorie/startup_32767.sh [BUILD_DIR] [RUNS]
#   BUILD_DIR  a Release build with the targets makedb, skin1_dat, first_frame and floor_window
#              (default: build-rel, as the README builds it)
# Food names come from the food-composition table in ../shared/data when it is there (read at
# run time only) and are made up otherwise. The CSV and data.mdb go to a temporary folder.
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD_DIR=$(cd "${1:-$HERE/../../build-rel}" && pwd)
RUNS=${2:-20}
REFERENCE=${CALORIE_BENCH_FOODS:-/work/shared/data/tw-fda-foods.zh-Hans.csv}

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir "$WORK/program"

python3 - "$REFERENCE" "$WORK/foods.csv" <<'PY'
import csv, os, random, sys
reference, out = sys.argv[1], sys.argv[2]
names, groups = [], []
if os.path.exists(reference):
    with open(reference, encoding="utf-8") as f:
        for row in csv.DictReader(f):
            names.append(row["name"])
            if row["category"] not in groups:
                groups.append(row["category"])
rand = random.Random(1)
if not names:
    chars = "白菜菠芹韭葱姜蒜豆腐米面粉条饼包子饺馄饨汤粥鸡鸭鱼虾蟹牛羊猪肉蛋奶酪茶果苹梨桃杏李枣橙柚瓜"
    names = ["".join(rand.choice(chars) for _ in range(3)) + str(i) for i in range(2000)]
    groups = ["食物"]
categories = ["%s%d组" % (groups[c % len(groups)], c + 1) for c in range(1000)]
seen = set()
with open(out, "w", encoding="utf-8", newline="") as f:
    w = csv.writer(f)
    w.writerow(["category", "name", "portion", "kcal"])
    for i in range(32767):
        category = categories[i % len(categories)]
        name = names[i % len(names)]
        if i >= len(names):
            name += str(i // len(names) + 1)
        while (category, name) in seen:
            name += "'"
        seen.add((category, name))
        w.writerow([category, name, "100克", rand.randint(0, 900)])
PY

"$BUILD_DIR/tools/makedb/makedb" "$WORK/foods.csv" "$WORK/program/data.mdb" >/dev/null
cp "$BUILD_DIR/bin/Skin1.dat" "$WORK/program/"
"$HERE/../startup/run.sh" "$BUILD_DIR" "$WORK/program" "$RUNS"
