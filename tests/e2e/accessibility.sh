#!/usr/bin/env bash
# The real pellomir read through the accessibility bus in a private X server and session bus:
# the skin's buttons, the names of all controls on show, the section buttons pressed through
# the bus, and the close button ending the program (a11y_walk.py does the reading).
# Usage: accessibility.sh BIN_DIR   (the folder holding pellomir, data.mdb and Skin1.dat)
set -u
BIN_DIR=${1:?usage: accessibility.sh BIN_DIR}
HERE=$(cd "$(dirname "$0")" && pwd)
LAUNCHER=/usr/libexec/at-spi-bus-launcher
# Debian's own python3, the one python3-pyatspi is installed for (not another one on PATH).
PYTHON=/usr/bin/python3
for tool in Xvfb dbus-launch sqlite3; do
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

# A display of our own on a free, unusual number: a server that another test has just ended
# on a low number may still be removing its socket, which would take ours with it.
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

# A session bus of our own, and the accessibility bus on it.
eval "$(dbus-launch --sh-syntax)"
[ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || { echo "FAIL: no session bus"; exit 1; }
"$LAUNCHER" --launch-immediately 2>"$WORK/launcher.err" &
LAUNCHER_PID=$!

# A copy of the program's folder; one record in each section, whose body names the section.
mkdir "$WORK/bin"
cp "$BIN_DIR/pellomir" "$BIN_DIR/data.mdb" "$BIN_DIR/Skin1.dat" "$WORK/bin/"
sqlite3 "$WORK/bin/data.mdb" "
  INSERT INTO sp(Name, demo) VALUES ('食谱', '瘦身食谱的第一条');
  INSERT INTO yd(Name, demo) VALUES ('运动', '有氧运动的第一条');
  INSERT INTO xd(Name, demo) VALUES ('心得', '瘦身心得的第一条');
  INSERT INTO rj(Name, demo) VALUES ('日记', '瘦身日记的第一条');"

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$WORK/bin/pellomir" 2>"$WORK/app.err" &
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
