# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the Xvfb test scripts. start_xvfb WORK_DIR SIZE starts an X server of our own on a
# free display number (Xvfb picks it and writes it to fd 3), sets XVFB_PID and XVFB_DISPLAY
# (":N"), and fails when the server did not come up within five seconds.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 "$2" -nolisten tcp 3>"$1/display" 2>/dev/null &
  XVFB_PID=$!
  for _ in $(seq 50); do [ -s "$1/display" ] && break; sleep 0.1; done
  [ -s "$1/display" ] || return 1
  XVFB_DISPLAY=":$(head -1 "$1/display")"
}
