#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Reliability of the data steps under SIGKILL: log adds, note saves, imports of own foods,
# restores from a backup and the upgrade of an older file, each killed at random moments by
# SIGKILL, while another program writes notes into the same file. After every kill:
# - every step the program confirmed is in data.mdb (a restore brings back a backup taken just
#   before it, so nothing confirmed leaves data.mdb); the other writer's notes are in data.mdb
#   or, when a restore replaced them, in the copy kept before that restore;
# - the file passes SQLite's integrity check, and no row is half written;
# - the next start leaves none of the hidden temporaries a killed copy left.
# Every few rounds the data file starts again as the older layout the build ships (no food
# log's tables), so that the upgrade is killed too.
# Usage: kill_loop.sh <data_kill_child> <folder of the built program> [rounds] [seed]
CHILD=${1:?usage: kill_loop.sh <data_kill_child> <bin dir> [rounds] [seed]}
BIN=$(cd "${2:?usage: kill_loop.sh <data_kill_child> <bin dir> [rounds] [seed]}" && pwd)
ROUNDS=${3:-12}
SEED=${4:-$$}
RANDOM=$SEED
command -v sqlite3 >/dev/null || { echo "SKIP: sqlite3 is not installed"; exit 77; }

WORK=$(mktemp -d)
trap 'kill -9 $(jobs -p) 2>/dev/null; rm -rf "$WORK"' EXIT
DB="$WORK/data.mdb"
cp "$BIN/Skin1.dat" "$BIN/about.html" "$WORK/"
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" XDG_DATA_HOME="$WORK/home/.local/share"
mkdir -p "$HOME"

fresh_file() {
    cp "$BIN/data.mdb" "$DB"
    expected=()
}

q() { sqlite3 -cmd '.timeout 5000' "$1" "$2"; }

failures=0
fail() {
    echo "FAIL (round ${round:-end}): $*"
    failures=$((failures + 1))
}

has_table() { [[ "$(q "$1" "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name = '$2'")" == 1 ]]; }

# The rows of one file that the checks look for, each once: "KIND name" for kinds LOG, NOTE, IMPORT
# and WNOTE. Read with one sqlite3 per file and round, not one per row: the rows expected grow with
# every round, and a process per row made the loop's time grow with their square.
declare -A seen=()
declare -A snapshotted=()
snapshot() {
    local file="$1" sql line
    sql="SELECT 'NOTE ' || Name FROM sp WHERE demo = '正文 ' || Name GROUP BY Name HAVING count(*) = 1;
         SELECT 'WNOTE ' || Name FROM yd WHERE demo = '正文 ' || Name GROUP BY Name HAVING count(*) = 1;"
    has_table "$file" food_log &&
        sql+="SELECT 'LOG ' || food FROM food_log WHERE grams = 100 AND kcal_per_100g = 116 GROUP BY food HAVING count(*) = 1;"
    has_table "$file" custom_food &&
        sql+="SELECT 'IMPORT ' || name FROM custom_food WHERE kcal_per_100g = 80 GROUP BY name HAVING count(*) = 1;"
    while IFS= read -r line; do
        seen["$file|$line"]=1
    done < <(q "$file" "$sql")
    snapshotted["$file"]=1
}

# Whether the row is in the file, exactly once: kind LOG, NOTE, IMPORT or WNOTE.
present() {
    local file="$1" kind="$2" name="$3"
    [[ -n "${snapshotted[$file]:-}" ]] || snapshot "$file"
    [[ -n "${seen[$file|$kind $name]:-}" ]]
}

fresh_file
steps=0
restores=0
upgrades=0
for round in $(seq "$ROUNDS"); do
    if ((round > 1 && RANDOM % 3 == 0)); then
        fresh_file
    fi
    has_table "$DB" food_log || upgrades=$((upgrades + 1))
    prefix="r${round}"
    "$CHILD" "$WORK" "${prefix}" "$((SEED + round))" > "$WORK/steps" 2>/dev/null &
    child=$!
    "$CHILD" "$WORK" "${prefix}" "$((SEED + round))" writer > "$WORK/written" 2>/dev/null &
    other=$!
    # Killed 0.3 to 2.3 s in: the start takes a few tenths, then steps follow each other.
    sleep "$(printf '%d.%03d' $((RANDOM % 2)) $((300 + RANDOM % 1000)))"
    sleep "0.$((RANDOM % 10))"
    kill -9 "$child" 2>/dev/null
    wait "$child" 2>/dev/null
    kill -9 "$other" 2>/dev/null
    wait "$other" 2>/dev/null

    seen=()
    snapshotted=()
    integrity=$(q "$DB" 'PRAGMA integrity_check')
    [[ "$integrity" == ok ]] || fail "integrity_check: $integrity"
    torn=$(q "$DB" "SELECT count(*) FROM sp WHERE demo IS NOT '正文 ' || Name AND Name LIKE 'r%x%'")
    [[ "$torn" == 0 ]] || fail "$torn half-written notes"

    while read -r kind rest; do
        case "$kind" in
            LOG|NOTE) expected+=("$kind $rest") ;;
            IMPORT) for name in $rest; do expected+=("IMPORT $name"); done ;;
            RESTORE) restores=$((restores + 1)) ;;
        esac
        steps=$((steps + 1))
    done < "$WORK/steps"
    for item in "${expected[@]}"; do
        present "$DB" $item || fail "confirmed, then lost: $item"
    done
    before=("$WORK"/backups/data-before-restore-*.mdb)
    while read -r kind name; do
        [[ "$kind" == WNOTE ]] || continue
        found=0
        present "$DB" WNOTE "$name" && found=1
        for copy in "${before[@]}"; do
            ((found)) && break
            [[ -f "$copy" ]] && present "$copy" WNOTE "$name" && found=1
        done
        ((found)) || fail "the other writer's note $name is lost"
        steps=$((steps + 1))
    done < "$WORK/written"
done

# A start after the last kill leaves none of the temporaries a killed copy left.
"$CHILD" "$WORK" end "$SEED" start > /dev/null 2>&1 || fail "the start after the last kill failed"
left=$(find "$WORK" "$WORK/backups" -maxdepth 1 -name '.data*' 2>/dev/null)
[[ -z "$left" ]] || fail "temporaries left after a start: $left"

echo "seed $SEED: $ROUNDS rounds, $steps confirmed steps, $restores restores, $upgrades rounds on the older layout," \
     "${#expected[@]} rows expected in the file at the end, $failures failures"
((failures == 0))
