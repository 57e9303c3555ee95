#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End to end: the real program in a private X server, driven with the mouse and
# keyboard. Opens 饮食记录 with its skin button (no question comes up by itself), fills in
# the profile from 填写个人资料… beside 预算, logs two foods found by pinyin (鸡蛋 50 g, 米饭 150 g; Return on the highlighted
# first result adds it), a weight and a brisk walk found by pinyin on the 运动 page,
# reads the day's totals and weight in the view over the accessibility bus, then
# checks the rows in data.mdb and the backup made before the tables were added.
# Usage: e2e.sh <folder of the built program>
BIN_SRC=$(cd "${1:?usage: e2e.sh <bin dir>}" && pwd)
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
if sqlite3 "$DB" "SELECT 1 FROM sqlite_master WHERE name = 'food_log'" | grep -q 1; then
    echo "FAIL: the program's data.mdb already has the food log's tables"; exit 1
fi
egg=$(sqlite3 "$DB" "SELECT kcal FROM \"01\" WHERE trim(food) = '鸡蛋' ORDER BY id LIMIT 1")
rice=$(sqlite3 "$DB" "SELECT kcal FROM \"01\" WHERE trim(food) = '米饭' ORDER BY id LIMIT 1")
[[ -n "$egg" && -n "$rice" ]] || { echo "SKIP: the food table has no 鸡蛋 or 米饭"; exit 77; }
expected=$(awk -v e="$egg" -v r="$rice" 'BEGIN { printf "%d", e * 0.5 + r * 1.5 + 0.5 }')
# 30 minutes of 快走 at 65.5 kg: (MET − 1) × 65.5 × 0.5, the MET from the table the program ships.
met=$(awk -F, '$2 == "快走" { print $3 }' "$HERE/../../resources/activities.csv")
[[ -n "$met" ]] || { echo "FAIL: resources/activities.csv has no 快走"; exit 1; }
burned=$(awk -v m="$met" 'BEGIN { printf "%d", (m - 1) * 65.5 * 0.5 + 0.5 }')

start_x
start_a11y_bus
start_app

# Opening the log asks nothing; 填写个人资料… beside 预算 asks for the profile: accept what
# the dialog offers.
click_at 559 337
sleep 0.5
if xdotool search --onlyvisible --name '^个人资料$' >/dev/null 2>&1; then
    echo "FAIL: the profile was asked for by itself"; exit 1
fi
click_at 424 89
for i in $(seq 100); do
    dialog=$(xdotool search --onlyvisible --name '^个人资料$' 2>/dev/null | head -n1 || true)
    [[ -n "$dialog" ]] && break
    sleep 0.05
done
[[ -n "$dialog" ]] || { echo "FAIL: 填写个人资料… beside 预算 did not ask for the profile"; exit 1; }
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
xdotool key --clearmodifiers Return
sleep 0.5

# Two foods, each found by its pinyin: the grams first, then the search, whose first result is
# highlighted, so Return adds it.
log_food() {
    local pinyin="$1" grams="$2"
    click_at 290 151                      # the grams, beside the search
    xdotool key ctrl+a
    xdotool type --delay 80 "$grams"
    click_at 140 151                      # the search field
    xdotool type --delay 80 "$pinyin"
    sleep 0.6
    xdotool key Return                    # the first result, added
    sleep 0.3
}
log_food jidan 50
log_food mifan 150

# The weight, on its page.
click_at 172 123
click_at 125 151
xdotool key ctrl+a
xdotool type --delay 80 "65.5"
click_at 222 151
sleep 0.5

# A brisk walk on the 运动 page: found by its pinyin, Return adds it with the 30 minutes offered.
click_at 106 123
click_at 140 151
xdotool type --delay 80 kuaizou
sleep 0.6
xdotool key Return
sleep 0.5

shown=$(timeout 60 "$PYTHON" "$HERE/read_view.py" 已摄入 当天体重 运动消耗)
echo "$shown"
grep -qx "已摄入=已摄入 $expected 大卡" <<<"$shown" \
    || { echo "FAIL: the day's total is not $expected kcal"; tail -n 20 "$WORK/app.log"; exit 1; }
grep -q "^当天体重=已记录：65.5 千克" <<<"$shown" || { echo "FAIL: the weight is not shown"; exit 1; }
grep -qx "运动消耗=运动消耗 $burned 大卡" <<<"$shown" \
    || { echo "FAIL: the exercise burned is not $burned kcal"; exit 1; }

click_at 599 23        # the skin's close box
wait_exit "closed with the close box"

actual=$(sqlite3 -separator '|' "$DB" \
    "SELECT food, grams, day = date('now', 'localtime') FROM food_log ORDER BY id;
     SELECT kg, day = date('now', 'localtime') FROM weight_log;
     SELECT sex, height_cm FROM profile;
     SELECT activity, minutes, met, round(kcal, 3), day = date('now', 'localtime') FROM exercise_log;")
wanted="鸡蛋|50.0|1
米饭|150.0|1
65.5|1
F|165.0
快走|30.0|$met|$(awk -v m="$met" 'BEGIN { printf "%g", (m - 1) * 65.5 * 0.5 }')|1"
if [[ "$actual" != "$wanted" ]]; then
    echo "FAIL: rows in data.mdb"; echo "expected:"; echo "$wanted"; echo "actual:"; echo "$actual"; exit 1
fi
backups=$(ls "$WORK/bin" | grep -c '^data\.mdb\.bak-[0-9]\{8\}-[0-9]\{6\}$' || true)
[[ "$backups" == 1 ]] || { echo "FAIL: expected one backup beside data.mdb, found $backups"; exit 1; }
echo "ok: two foods, a weight and a brisk walk logged, $expected kcal eaten and $burned burned shown, rows and backup in place"
