# SPDX-License-Identifier: GPL-3.0-or-later
# Helpers to drive the real program in a private X server with xdotool.
# Sourced by e2e.sh and kill_loop.sh; expects $BIN_SRC (the built program's folder).

set -euo pipefail

need_tools() {
    local tool
    for tool in Xvfb xdotool sqlite3; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIP: $tool is not installed"
            exit 77
        fi
    done
    if [[ ! -x "$BIN_SRC/pellomir" || ! -f "$BIN_SRC/Skin1.dat" ]]; then
        echo "SKIP: $BIN_SRC holds no built pellomir and Skin1.dat"
        exit 77
    fi
}

WORK=$(mktemp -d)
XVFB_PID=
APP_PID=
cleanup() {
    [[ -n "$APP_PID" ]] && kill -9 "$APP_PID" 2>/dev/null || true
    [[ -n "$XVFB_PID" ]] && kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

# A copy of the program's folder with a data.mdb whose notebook tables hold
# exactly the rows given on stdin (SQL).
prepare_bin() {
    mkdir -p "$WORK/bin"
    cp "$BIN_SRC/pellomir" "$BIN_SRC/Skin1.dat" "$WORK/bin/"
    DB="$WORK/bin/data.mdb"
    if [[ -f "$BIN_SRC/data.mdb" ]]; then
        cp "$BIN_SRC/data.mdb" "$DB"
    else
        sqlite3 "$DB" <<'SQL'
CREATE TABLE "02" (id INTEGER PRIMARY KEY, category TEXT);
CREATE TABLE "01" (id INTEGER PRIMARY KEY, category TEXT, food TEXT, portion TEXT, kcal NUMERIC);
CREATE TABLE sp (id INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, demo TEXT);
CREATE TABLE yd (id INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, demo TEXT);
CREATE TABLE xd (id INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, demo TEXT);
CREATE TABLE rj (id INTEGER PRIMARY KEY AUTOINCREMENT,
                 time TEXT DEFAULT (strftime('%Y-%m-%d %H:%M','now','localtime')),
                 Name TEXT, demo TEXT);
INSERT INTO "02"(category) VALUES ('谷薯');
INSERT INTO "01"(category, food, portion, kcal) VALUES ('谷薯', '米饭', '100克', 116);
SQL
    fi
    { echo "DELETE FROM sp; DELETE FROM yd; DELETE FROM xd; DELETE FROM rj;"; cat; } | sqlite3 "$DB"
}

# A private X server on a free, unusual display number (the low ones are where
# other people's servers live). -noreset: the server must not restart itself
# whenever its last client (a killed program) goes, or the next start fails.
start_x() {
    local attempt i number
    for attempt in 1 2 3 4 5; do
        number=$((200 + RANDOM % 700))
        [[ -e "/tmp/.X${number}-lock" || -e "/tmp/.X11-unix/X${number}" ]] && continue
        Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp -noreset 2>>"$WORK/xvfb.log" &
        XVFB_PID=$!
        export DISPLAY=":$number"
        for i in $(seq 100); do
            xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
            kill -0 "$XVFB_PID" 2>/dev/null || break
            sleep 0.05
        done
        kill "$XVFB_PID" 2>/dev/null || true
    done
    echo "FAIL: no X server could be started"; cat "$WORK/xvfb.log"
    exit 1
}

MAIN_WINDOW=
start_app() {
    # The caller's environment may ask Qt for the offscreen platform.
    QT_QPA_PLATFORM=xcb "$WORK/bin/pellomir" >>"$WORK/app.log" 2>&1 &
    APP_PID=$!
    disown "$APP_PID" # no job notices when it is killed on purpose
    local i
    for i in $(seq 200); do
        MAIN_WINDOW=$(xdotool search --onlyvisible --name '^Pellomir1\.0$' 2>/dev/null | head -n1 || true)
        [[ -n "$MAIN_WINDOW" ]] && return 0
        kill -0 "$APP_PID" 2>/dev/null || break
        sleep 0.05
    done
    echo "FAIL: the program's window did not come up"
    kill -0 "$XVFB_PID" 2>/dev/null || echo "(the X server $DISPLAY has gone)"
    tail -n 20 "$WORK/app.log" "$WORK/xvfb.log"
    exit 1
}

app_running() { kill -0 "$APP_PID" 2>/dev/null; }

# Clicks at a point of the main window (window-relative pixels).
click_at() {
    xdotool mousemove --window "$MAIN_WINDOW" "$1" "$2" click 1
    sleep "${CLICK_PAUSE:-0.3}"
}

# Hot spots of the skin and the picture buttons, at their centres.
hot_spot() {
    case "$1" in
        a) click_at 558 69 ;; b) click_at 559 124 ;; d) click_at 557 238 ;; e) click_at 559 294 ;;
    esac
}
click_previous() { click_at 311 66; }
click_next() { click_at 351 66; }
click_new() { click_at 391 66; }
click_delete() { click_at 431 66; }
click_save() { click_at 431 66; }

# Typing into the two inputs of the entry view. Characters outside the
# keyboard map are mapped one at a time, so they need a pause each; on a busy
# machine the program can still read a key after its mapping has moved on and
# lose a character. So the text is read back through the clipboard (select all,
# copy) and typed again over the selection until it is whole, as a person who
# sees a typo would.
type_checked() {
    local text="$1" end_key="$2" try got=
    for try in 1 2 3 4; do
        xdotool type --delay "${TYPE_DELAY:-150}" "$text"
        sleep 0.2
        xdotool key --clearmodifiers ctrl+a ctrl+c
        sleep 0.2
        got=$(timeout 5 xclip -o -selection clipboard 2>/dev/null) || got=
        if [[ "$got" == "$text" ]]; then
            xdotool key --clearmodifiers "$end_key"
            return 0
        fi
        echo "note: typed '$text' but the field holds '$got'; typing it again" >&2
    done
    echo "FAIL: could not type '$text' (the field holds '$got')"
    exit 1
}
type_title() { click_at 160 65; type_checked "$1" End; }
type_body() { click_at 250 200; type_checked "$1" ctrl+End; }

# The id of the visible message box with exactly this title, or nothing.
find_box() {
    local w
    for w in $(xdotool search --onlyvisible --name 'Pellomir' 2>/dev/null); do
        [[ "$w" == "$MAIN_WINDOW" ]] && continue
        if [[ "$(xdotool getwindowname "$w" 2>/dev/null)" == "$1" ]]; then
            echo "$w"
            return 0
        fi
    done
    return 1
}

# Waits for a box with this title and answers it with Return (its OK button).
# answer_box TITLE WHY [KEYS...]: waits for the box and presses KEYS (default: Return).
answer_box() {
    local title="$1" box= i
    local keys=("${@:3}")
    [[ ${#keys[@]} -gt 0 ]] || keys=(Return)
    for i in $(seq 100); do
        box=$(find_box "$title") && break
        sleep 0.05
    done
    if [[ -z "$box" ]]; then
        echo "FAIL: no message box titled '$title' ($2)"
        exit 1
    fi
    xdotool windowfocus --sync "$box" 2>/dev/null || true
    xdotool key --clearmodifiers "${keys[@]}"
    for i in $(seq 100); do
        xdotool search --onlyvisible --name 'Pellomir' 2>/dev/null | grep -qx "$box" || return 0
        sleep 0.05
    done
    echo "FAIL: the box '$title' did not close on ${keys[*]} ($2)"
    exit 1
}

expect_no_box() {
    sleep 0.3
    if find_box "$1" >/dev/null || find_box "$2" >/dev/null; then
        echo "FAIL: an unexpected message box ($3)"
        exit 1
    fi
}

wait_exit() {
    local i
    for i in $(seq 100); do
        app_running || { APP_PID=; return 0; }
        sleep 0.05
    done
    echo "FAIL: the program did not end ($1)"
    exit 1
}
