#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End to end: a whole day logged with the keyboard alone, in the Tab order, in the real program
# in a private X server. Ctrl+6 opens 饮食记录 with the keyboard in its search; three foods are
# each typed in pinyin, taken with Tab (which moves on to the grams) and added with Return; the
# weight is typed on the 体重与预算 page and the activity on the 运动 page, each reached with
# Shift+Tab to the page tabs, an arrow key and Tab. The day's totals are read over the
# accessibility bus, then the rows in data.mdb are checked.
# Usage: day_by_keyboard.sh <folder of the built program>
BIN_SRC=$(cd "${1:?usage: day_by_keyboard.sh <bin dir>}" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/../notebook/xdrive.sh"
need_tools
source "$HERE/../e2e/a11y_session.sh"
need_a11y_tools

finish() {
    stop_a11y_bus
    cleanup
}
trap finish EXIT

prepare_bin </dev/null
kcal_of() { sqlite3 "$DB" "SELECT kcal FROM \"01\" WHERE trim(food) = '$1' ORDER BY id LIMIT 1"; }
egg=$(kcal_of 鸡蛋); rice=$(kcal_of 米饭); apple=$(kcal_of 苹果)
[[ -n "$egg" && -n "$rice" && -n "$apple" ]] || { echo "SKIP: the food table has no 鸡蛋, 米饭 or 苹果"; exit 77; }
eaten=$(awk -v e="$egg" -v r="$rice" -v a="$apple" 'BEGIN { printf "%d", e * 0.5 + r * 1.5 + a * 2 + 0.5 }')
met=$(awk -F, '$2 == "跳绳" { print $3 }' "$HERE/../../resources/activities.csv")
[[ -n "$met" ]] || { echo "FAIL: resources/activities.csv has no 跳绳"; exit 1; }
# 20 minutes at 65.5 kg: (MET − 1) × 65.5 × 20 / 60.
burned=$(awk -v m="$met" 'BEGIN { printf "%d", (m - 1) * 65.5 * 20 / 60 + 0.5 }')

start_x
start_a11y_bus
start_app

key() { xdotool key --clearmodifiers "$@"; sleep "${KEY_PAUSE:-0.25}"; }
typed() { xdotool type --delay 80 "$1"; sleep 0.6; }

# The window takes the keyboard; Ctrl+6 opens the log, the keyboard in its food search.
xdotool windowactivate --sync "$MAIN_WINDOW" 2>/dev/null || xdotool windowfocus --sync "$MAIN_WINDOW" 2>/dev/null || true
sleep 0.3
key ctrl+6
sleep 0.5

# A food: its pinyin, Tab takes the highlighted result and moves to the grams (selected as the
# field is entered with Tab), the grams, Return adds; the keyboard is back in the search.
log_food() {
    typed "$1"
    key Tab
    typed "$2"
    key Return
    sleep 0.3
}
log_food jidan 50
log_food mifan 150
log_food pingguo 200

# The weight: Shift+Tab to the page tabs, → → to 体重与预算, Tab into its weight, Return records it.
key shift+Tab
key Right
key Right
key Tab
typed 65.5
key Return
sleep 0.3

# The activity: Shift+Tab back to the page tabs, ← to 运动, Tab into its search.
key shift+Tab
key Left
key Tab
typed tiaosheng
key Tab
typed 20
key Return
sleep 0.5

shown=$(timeout 60 "$PYTHON" "$HERE/read_view.py" 已摄入 运动消耗 当天体重)
echo "$shown"
grep -qx "已摄入=已摄入 $eaten 大卡" <<<"$shown" \
    || { echo "FAIL: the day's total is not $eaten kcal"; tail -n 20 "$WORK/app.log"; exit 1; }
grep -qx "运动消耗=运动消耗 $burned 大卡" <<<"$shown" || { echo "FAIL: the exercise burned is not $burned kcal"; exit 1; }

click_at 599 23        # the skin's close box
wait_exit "closed with the close box"

actual=$(sqlite3 -separator '|' "$DB" \
    "SELECT food, grams, day = date('now', 'localtime') FROM food_log ORDER BY id;
     SELECT kg, day = date('now', 'localtime') FROM weight_log;
     SELECT activity, minutes, day = date('now', 'localtime') FROM exercise_log;
     SELECT count(*) FROM profile;")
wanted="鸡蛋|50.0|1
米饭|150.0|1
苹果|200.0|1
65.5|1
跳绳|20.0|1
0"
if [[ "$actual" != "$wanted" ]]; then
    echo "FAIL: rows in data.mdb"; echo "expected:"; echo "$wanted"; echo "actual:"; echo "$actual"; exit 1
fi
echo "ok: three foods, a weight and an activity logged by keyboard alone: $eaten kcal eaten, $burned burned"
