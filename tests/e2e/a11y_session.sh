# SPDX-License-Identifier: GPL-3.0-or-later
# A private X server, session bus and accessibility bus for the end-to-end tests that read the
# real program as a screen reader does. Sourced by accessibility.sh and food_search.sh, which
# start it all with start_a11y_session, and by foodlog/e2e.sh, whose X server and $WORK come
# from notebook/xdrive.sh: it starts the buses with start_a11y_bus and ends them with
# stop_a11y_bus in its own EXIT trap.

A11Y_LAUNCHER=/usr/libexec/at-spi-bus-launcher
# Debian's own python3, the one python3-pyatspi is installed for (not another one on PATH).
PYTHON=/usr/bin/python3
LAUNCHER_PID=
DBUS_SESSION_BUS_PID=

# need_a11y_tools [TOOL...]: skips the test (status 77) unless the given tools, the session
# bus, the accessibility bus and python3-pyatspi are installed.
need_a11y_tools() {
  local tool
  for tool in "$@" dbus-launch; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
  done
  [ -x "$A11Y_LAUNCHER" ] || { echo "SKIP: at-spi2-core is not installed"; exit 77; }
  "$PYTHON" -c 'import pyatspi' 2>/dev/null || { echo "SKIP: python3-pyatspi is not installed"; exit 77; }
}

# An X server of our own on a free, unusual number: a server that another test has just ended
# on a low number may still be removing its socket, which would take ours with it. Sets
# XVFB_PID and DISPLAY and makes Qt use it.
start_private_x() {
  local attempt i number
  XVFB_PID=
  for attempt in 1 2 3 4 5; do
    number=$((200 + RANDOM % 700))
    [ -e "/tmp/.X${number}-lock" ] || [ -e "/tmp/.X11-unix/X${number}" ] && continue
    Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp -noreset 2>/dev/null &
    XVFB_PID=$!
    for i in $(seq 50); do
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
}

# A session bus of our own and the accessibility bus on it; the program started after this
# puts its controls on the bus.
start_a11y_bus() {
  export XDG_RUNTIME_DIR="$WORK/runtime"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  eval "$(dbus-launch --sh-syntax)"
  [ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || { echo "FAIL: no session bus"; exit 1; }
  "$A11Y_LAUNCHER" --launch-immediately 2>>"$WORK/launcher.err" &
  LAUNCHER_PID=$!
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
  unset QT_SCALE_FACTOR
}

stop_a11y_bus() {
  if [ -n "$LAUNCHER_PID" ]; then kill "$LAUNCHER_PID" 2>/dev/null || true; fi
  if [ -n "$DBUS_SESSION_BUS_PID" ]; then kill "$DBUS_SESSION_BUS_PID" 2>/dev/null || true; fi
}

# The EXIT trap of a test that started its X server with start_private_x: ends the program
# ($APP_PID), the buses and the server, and removes $WORK.
end_a11y_session() {
  if [ -n "${APP_PID:-}" ]; then kill "$APP_PID" 2>/dev/null; fi
  stop_a11y_bus
  if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null; fi
  rm -rf "$WORK"
}

# start_a11y_session BIN_DIR: for a test with an X server of its own: $WORK, the X server and
# both buses, all ended on exit, and a copy of the program's folder in $WORK/bin, so that the
# build's own files are never touched.
start_a11y_session() {
  WORK=$(mktemp -d)
  XVFB_PID=
  APP_PID=
  trap end_a11y_session EXIT
  start_private_x
  start_a11y_bus
  mkdir "$WORK/bin"
  cp "$1/pellomir" "$1/data.mdb" "$1/Skin1.dat" "$WORK/bin/"
}
