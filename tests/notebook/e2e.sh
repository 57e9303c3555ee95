#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End to end: the real program in a private X server, driven with the mouse and
# keyboard. In each of the four sections: add a record with a Chinese title and
# body, browse to it, delete another record; end the program, start it again,
# and check exactly the expected rows in data.mdb.
# Usage: e2e.sh <folder of the built program>
BIN_SRC=$(cd "${1:?usage: e2e.sh <bin dir>}" && pwd)
source "$(dirname "$0")/xdrive.sh"
need_tools

BOX=$'\uff1a\uff1aPellomir\uff1a\uff1a'   # ：：Pellomir：：
APP=Pellomir

prepare_bin <<'SQL'
INSERT INTO sp(Name, demo) VALUES ('旧食谱一', '内容一'), ('旧食谱二', '内容二');
INSERT INTO yd(Name, demo) VALUES ('旧运动一', '内容一'), ('旧运动二', '内容二');
INSERT INTO xd(Name, demo) VALUES ('旧心得一', '内容一'), ('旧心得二', '内容二');
INSERT INTO rj(time, Name, demo) VALUES ('2026-01-01 08:00', '旧日记一', '内容一'),
                                        ('2026-01-02 08:00', '旧日记二', '内容二');
SQL
start_x
start_app

add_browse_delete() {
    local spot="$1" title="$2" body="$3"
    hot_spot "$spot"
    expect_no_box "$BOX" "$APP" "opening section $spot"
    click_new
    type_title "$title"
    type_body "$body"
    click_save
    answer_box "$APP" "saved in section $spot"
    # On show: the first old record. Two steps on: the new one, with no
    # end-of-section message on the way.
    click_next
    click_next
    expect_no_box "$BOX" "$APP" "browsing to the new record in section $spot"
    # One back: the second old record, which is deleted.
    click_previous
    click_delete
    # Return alone answers 取消; Tab goes to the other button, 确定.
    answer_box "$BOX" "delete question in section $spot" Tab Return
    answer_box "$BOX" "delete done in section $spot"
}

add_browse_delete a '早餐燕麦粥' '燕麦加牛奶，少糖'
add_browse_delete b '快走半小时' '饭后散步，微微出汗'
add_browse_delete d '喝水的好处' '每天八杯水，少喝饮料'
add_browse_delete e '第三天' '体重下降了一公斤'

click_at 599 23        # the skin's close box
wait_exit "closed with the close box"

start_app
hot_spot e
expect_no_box "$BOX" "$APP" "opening the diary after the restart"
click_at 599 23
wait_exit "closed after the restart"

actual=$(sqlite3 -separator '|' "$DB" \
    "SELECT 'sp', Name, demo FROM sp ORDER BY id;
     SELECT 'yd', Name, demo FROM yd ORDER BY id;
     SELECT 'xd', Name, demo FROM xd ORDER BY id;
     SELECT 'rj', Name, demo, time IS NOT NULL AND time <> '' FROM rj ORDER BY id;")
expected='sp|旧食谱一|内容一
sp|早餐燕麦粥|燕麦加牛奶，少糖
yd|旧运动一|内容一
yd|快走半小时|饭后散步，微微出汗
xd|旧心得一|内容一
xd|喝水的好处|每天八杯水，少喝饮料
rj|旧日记一|内容一|1
rj|第三天|体重下降了一公斤|1'
if [[ "$actual" != "$expected" ]]; then
    echo "FAIL: data.mdb does not hold the expected rows"
    diff <(echo "$expected") <(echo "$actual") || true
    exit 1
fi
echo "PASS: four sections added to, browsed and deleted from; rows as expected after a restart"
