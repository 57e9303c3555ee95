#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Drives the real pellomir in Xvfb:
#  - the window comes up at 632x443 and its screenshot is not blank;
#  - a click on the skin's close box ends the program with status 0;
#  - with data.mdb or Skin1.dat missing, the program shows its message (answered with Return),
#    exits non-zero with the message on stderr and creates no file.
# Usage: window.sh BIN_DIR   (the folder holding pellomir, data.mdb and Skin1.dat)
set -u
BIN_DIR=${1:?usage: window.sh BIN_DIR}
for tool in Xvfb xdotool import identify; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

WORK=$(mktemp -d)
XVFB_PID=
APP_PID=
cleanup() {
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

. "$(dirname "$0")/../support/xvfb.sh"
start_xvfb "$WORK" 1024x768x24 || { echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY="$XVFB_DISPLAY"
export QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR

# A program directory of its own for each run, so the build's files are never touched.
program_dir() {
  local dir="$WORK/$1"
  mkdir -p "$dir"
  cp "$BIN_DIR/pellomir" "$BIN_DIR/data.mdb" "$BIN_DIR/Skin1.dat" "$dir/"
  echo "$dir"
}

# Waits for the program to end; prints its exit status (124 when it did not end in time).
wait_exit() {
  local pid=$1 seconds=$2
  for _ in $(seq $((seconds * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      echo $?
      return
    fi
    sleep 0.1
  done
  echo 124
}

find_window() { # title regex -> window id, waiting up to 20 s
  timeout 20 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1
}

# --- The window, its look, and the close box.
dir=$(program_dir normal)
"$dir/pellomir" 2>"$WORK/normal.err" &
APP_PID=$!
win=$(find_window '^Pellomir1\.0$')
if [ -z "$win" ]; then
  fail "the window did not come up"; cat "$WORK/normal.err"
else
  eval "$(xdotool getwindowgeometry --shell "$win")"
  if [ "$WIDTH" = 632 ] && [ "$HEIGHT" = 443 ]; then pass "window is 632x443"
  else fail "window is ${WIDTH}x${HEIGHT}, not 632x443"; fi
  sleep 1 # let it paint
  import -window root -crop "632x443+$X+$Y" +repage "$WORK/window.png"
  colours=$(identify -format '%k' "$WORK/window.png")
  if [ "${colours:-0}" -gt 500 ]; then pass "screenshot has $colours colours"
  else fail "screenshot looks blank ($colours colours)"; fi

  xdotool mousemove $((X + 599)) $((Y + 23)) click 1
  status=$(wait_exit "$APP_PID" 10)
  if [ "$status" = 0 ]; then pass "the close box ends the program with status 0"
  else fail "after a click on the close box: status $status"; fi
fi
APP_PID=

# --- A file missing: the message, a non-zero status, nothing created.
for missing in data.mdb Skin1.dat; do
  dir=$(program_dir "without-$missing")
  rm "$dir/$missing"
  before=$(ls -lA --time-style=full-iso "$dir")
  "$dir/pellomir" 2>"$WORK/missing.err" &
  APP_PID=$!
  box=$(find_window '^Pellomir$')
  if [ -z "$box" ]; then
    fail "no message box without $missing"
  else
    pass "a message box comes up without $missing"
    if [ -n "$(xdotool search --onlyvisible --name '^Pellomir1\.0$' 2>/dev/null)" ]; then
      fail "the main window came up without $missing"
    fi
    # Return on the box, as a user would answer it (the box has the keyboard focus).
    for _ in 1 2 3; do
      xdotool windowfocus "$box" 2>/dev/null
      xdotool key Return 2>/dev/null
      sleep 0.5
      kill -0 "$APP_PID" 2>/dev/null || break
    done
  fi
  status=$(wait_exit "$APP_PID" 10)
  APP_PID=
  if [ "$status" != 0 ] && [ "$status" != 124 ]; then pass "exit status $status without $missing"
  else fail "exit status $status without $missing"; fi
  if grep -q "Pellomir 无法启动" "$WORK/missing.err" && grep -q "$dir/$missing" "$WORK/missing.err"; then
    pass "stderr names $missing"
  else
    fail "stderr does not name $missing:"; cat "$WORK/missing.err"
  fi
  after=$(ls -lA --time-style=full-iso "$dir")
  if [ "$before" = "$after" ]; then pass "no file created or changed without $missing"
  else fail "the program directory changed:"; diff <(echo "$before") <(echo "$after"); fi
done

[ "$failures" = 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "all passed"
