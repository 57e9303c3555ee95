#!/usr/bin/env bash
# The real pellomir in a private X server: Ctrl+F, the pinyin initials "xhs" typed as a user
# types them, Return; then, read through the accessibility bus as a screen reader reads it,
# the result list names 西红柿 with its calories and the panel shows 西红柿 and its 15 大卡
# (food_search_check.py does the reading).
# Usage: food_search.sh BIN_DIR   (the folder holding pellomir, data.mdb and Skin1.dat)
set -u
BIN_DIR=${1:?usage: food_search.sh BIN_DIR}
HERE=$(cd "$(dirname "$0")" && pwd)
LAUNCHER=/usr/libexec/at-spi-bus-launcher
# Debian's own python3, the one python3-pyatspi is installed for (not another one on PATH).
PYTHON=/usr/bin/python3
for tool in Xvfb xdotool dbus-launch sqlite3; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
[ -x "$LAUNCHER" ] || { echo "SKIP: at-spi2-core is not installed"; exit 77; }
"$PYTHON" -c 'import pyatspi' 2>/dev/null || { echo "SKIP: python3-pyatspi is not installed"; exit 77; }

WORK=$(mktemp -d)
XVFB_PID=
LAUNCHER_PID=
APP_PID=
DBUS_SESSION_BUS_PID=
cleanup() {
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null
  [ -n "$LAUNCHER_PID" ] && kill "$LAUNCHER_PID" 2>/dev/null
  [ -n "$DBUS_SESSION_BUS_PID" ] && kill "$DBUS_SESSION_BUS_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT

# A display of our own on a free, unusual number (see accessibility.sh).
for _ in 1 2 3 4 5; do
  number=$((200 + RANDOM % 700))
  [ -e "/tmp/.X${number}-lock" ] || [ -e "/tmp/.X11-unix/X${number}" ] && continue
  Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp -noreset 2>/dev/null &
  XVFB_PID=$!
  for _ in $(seq 50); do
    [ -S "/tmp/.X11-unix/X${number}" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  [ -S "/tmp/.X11-unix/X${number}" ] && kill -0 "$XVFB_PID" 2>/dev/null && break
  kill "$XVFB_PID" 2>/dev/null
  XVFB_PID=
done
[ -n "$XVFB_PID" ] || { echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=":$number"
export QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR
export XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

eval "$(dbus-launch --sh-syntax)"
[ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || { echo "FAIL: no session bus"; exit 1; }
"$LAUNCHER" --launch-immediately 2>"$WORK/launcher.err" &
LAUNCHER_PID=$!

# A copy of the program's folder. Its data.mdb may be one made before the table of other
# names existed: the search by pinyin needs only the foods.
mkdir "$WORK/bin"
cp "$BIN_DIR/pellomir" "$BIN_DIR/data.mdb" "$BIN_DIR/Skin1.dat" "$WORK/bin/"
kcal=$(sqlite3 "$WORK/bin/data.mdb" "SELECT kcal FROM \"01\" WHERE food = '西红柿' AND category = '蔬菜' ORDER BY id LIMIT 1")
[ -n "$kcal" ] || { echo "FAIL: the build's data.mdb has no 西红柿"; exit 1; }

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$WORK/bin/pellomir" 2>"$WORK/app.err" &
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

timeout 60 "$PYTHON" "$HERE/food_search_check.py" "西红柿" "$kcal"
check=$?
[ "$check" = 0 ] && echo "all passed" || cat "$WORK/app.err"
exit "$check"
