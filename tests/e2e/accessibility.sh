#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real pellomir read through the accessibility bus in a private X server and session bus:
# the skin's buttons, the names of all controls on show, the section buttons pressed through
# the bus, and the close button ending the program (a11y_walk.py does the reading).
# Usage: accessibility.sh BIN_DIR   (the folder holding pellomir, data.mdb and Skin1.dat)
set -u
BIN_DIR=${1:?usage: accessibility.sh BIN_DIR}
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/a11y_session.sh"
need_a11y_tools Xvfb sqlite3

start_a11y_session "$BIN_DIR"

# One record in each section, whose body names the section.
sqlite3 "$WORK/bin/data.mdb" "
  INSERT INTO sp(Name, demo) VALUES ('食谱', '瘦身食谱的第一条');
  INSERT INTO yd(Name, demo) VALUES ('运动', '有氧运动的第一条');
  INSERT INTO xd(Name, demo) VALUES ('心得', '瘦身心得的第一条');
  INSERT INTO rj(Name, demo) VALUES ('日记', '瘦身日记的第一条');"

"$WORK/bin/pellomir" 2>"$WORK/app.err" &
APP_PID=$!

timeout 90 "$PYTHON" "$HERE/a11y_walk.py"
walk=$?

status=124
for _ in $(seq 100); do
  if ! kill -0 "$APP_PID" 2>/dev/null; then wait "$APP_PID"; status=$?; break; fi
  sleep 0.1
done
APP_PID=
if [ "$status" = 0 ]; then echo "ok: 关闭 pressed through the bus ends the program with status 0"
else echo "FAIL: after 关闭 through the bus: status $status"; cat "$WORK/app.err"; walk=1; fi
[ "$walk" = 0 ] && echo "all passed"
exit "$walk"
