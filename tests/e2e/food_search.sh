#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real pellomir in a private X server: Ctrl+F, the pinyin initials "xhs" typed as a user
# types them, Return (which closes the results, the food chosen in view), Down (the same results
# again); then, read through the accessibility bus as a screen reader reads it, the result list
# names 西红柿 with its calories and the panel shows 西红柿 and its 15 大卡
# (food_search_check.py does the reading).
# Usage: food_search.sh BIN_DIR   (the folder holding pellomir, data.mdb and Skin1.dat)
set -u
BIN_DIR=${1:?usage: food_search.sh BIN_DIR}
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/a11y_session.sh"
need_a11y_tools Xvfb xdotool sqlite3

start_a11y_session "$BIN_DIR"

# The copy's data.mdb may be one made before the table of other names existed: the
# search by pinyin needs only the foods.
kcal=$(sqlite3 "$WORK/bin/data.mdb" "SELECT kcal FROM \"01\" WHERE food = '西红柿' AND category = '蔬菜' ORDER BY id LIMIT 1")
[ -n "$kcal" ] || { echo "FAIL: the build's data.mdb has no 西红柿"; exit 1; }

"$WORK/bin/pellomir" 2>"$WORK/app.err" &
APP_PID=$!
win=$(timeout 20 xdotool search --sync --onlyvisible --name '^Pellomir1\.0$' 2>/dev/null | head -1)
[ -n "$win" ] || { echo "FAIL: the window did not come up"; cat "$WORK/app.err"; exit 1; }
sleep 0.5
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
xdotool key --clearmodifiers ctrl+f
sleep 0.3
xdotool type --delay 100 xhs
sleep 0.3
xdotool key Return
sleep 0.3
xdotool key Down

timeout 60 "$PYTHON" "$HERE/food_search_check.py" "西红柿" "$kcal"
check=$?
[ "$check" = 0 ] && echo "all passed" || cat "$WORK/app.err"
exit "$check"
