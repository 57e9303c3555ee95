#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Reliability: saves records in a loop while killing the program with SIGKILL
# at random moments around the save. Afterwards every record whose
# "<title> 已增加！" box was seen must be in data.mdb, no row may be half
# written, and the file must pass SQLite's integrity check.
# Usage: kill_loop.sh <folder of the built program> [rounds] [seed]
BIN_SRC=$(cd "${1:?usage: kill_loop.sh <bin dir> [rounds] [seed]}" && pwd)
ROUNDS=${2:-15}
SEED=${3:-$$}
source "$(dirname "$0")/xdrive.sh"
need_tools
RANDOM=$SEED

APP=Pellomir
TYPE_DELAY=15

prepare_bin </dev/null
start_x

confirmed=()
attempted=0
killed_before_box=0
for round in $(seq "$ROUNDS"); do
    start_app
    hot_spot a
    saves=$((1 + RANDOM % 3))
    for n in $(seq "$saves"); do
        title="r${round}s${n}"
        click_new
        type_title "$title"
        type_body "body of $title"
        attempted=$((attempted + 1))
        if ((n < saves)); then
            click_save
            answer_box "$APP" "save $title"
            confirmed+=("$title")
            continue
        fi
        # The last save of the round races a SIGKILL 0 to 20 ms after the click,
        # about the time the click takes to become a stored row and a box.
        delay=$(printf '0.%03d' $((RANDOM % 20)))
        CLICK_PAUSE=0 click_save
        (sleep "$delay"; kill -9 "$APP_PID" 2>/dev/null) &
        killer=$!
        seen=0
        while app_running; do
            if find_box "$APP" >/dev/null; then
                seen=1
                break
            fi
            sleep 0.01
        done
        wait "$killer" || true
        if ((seen)); then confirmed+=("$title"); else killed_before_box=$((killed_before_box + 1)); fi
    done
    wait_exit "killed in round $round"
done

integrity=$(sqlite3 "$DB" 'PRAGMA integrity_check')
stored=$(sqlite3 "$DB" 'SELECT count(*) FROM sp')
torn=$(sqlite3 "$DB" "SELECT count(*) FROM sp WHERE demo IS NOT 'body of ' || Name")
missing=0
for title in "${confirmed[@]}"; do
    count=$(sqlite3 "$DB" "SELECT count(*) FROM sp WHERE Name = '$title'")
    if [[ "$count" != 1 ]]; then
        echo "MISSING: $title (found $count times)"
        missing=$((missing + 1))
    fi
done

echo "seed $SEED: $ROUNDS rounds, $attempted saves attempted, ${#confirmed[@]} confirmed by a box," \
     "$killed_before_box killed before their box, $stored rows stored, $missing confirmed rows missing," \
     "$torn half-written rows, integrity_check: $integrity"
[[ "$integrity" == ok && "$missing" == 0 && "$torn" == 0 ]]
