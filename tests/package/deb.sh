#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package and installs it as a new user would, leaving the machine's /usr alone:
#  - cpack makes the .deb; it holds the program, the shared files, the launcher, the
#    software-centre entry and the icons, and depends on the Qt libraries, the platform plugins,
#    SQLite, Qt's Chinese translations and a CJK font;
#  - apt-get install --simulate accepts it;
#  - dpkg-deb -x unpacks it into a throw-away root, where the launcher and the software-centre
#    entry pass their validators;
#  - the unpacked program starts under Xvfb with a fresh HOME and nothing else set: the window
#    comes up, the user's data.mdb is made in $HOME/.local/share/pellomir from the template, the
#    close box ends the program, and nothing in the unpacked tree is written;
#  - a second start uses that same file, with a record added in between still there.
# Usage: deb.sh BUILD_DIR
set -u
. "$(dirname "$0")/../support/xvfb.sh"
BUILD_DIR=$(cd "${1:?usage: deb.sh BUILD_DIR}" && pwd)
for tool in cpack dpkg-deb apt-get Xvfb xdotool sqlite3 dbus-run-session desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (scripts/deps.sh test)"; exit 1; }
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

# --- The package.
if ! cpack --config "$BUILD_DIR/CPackConfig.cmake" -B "$WORK/out" >"$WORK/cpack.log" 2>&1; then
  cat "$WORK/cpack.log"; echo "FAIL: cpack"; exit 1
fi
deb=$(ls "$WORK"/out/*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || { cat "$WORK/cpack.log"; echo "FAIL: cpack made no .deb"; exit 1; }
pass "cpack made $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB)"

depends=$(dpkg-deb -f "$deb" Depends)
echo "   Depends: $depends"
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libqt6svg6 libsqlite3-0 libc6 qt6-qpa-plugins qt6-translations-l10n fonts-noto-cjk; do
  if grep -qw -- "$needed" <<<"$depends"; then :; else fail "Depends does not name $needed"; fi
done

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in ./usr/bin/pellomir ./usr/share/pellomir/Skin1.dat ./usr/share/pellomir/data.mdb \
            ./usr/share/pellomir/about.html \
            ./usr/share/applications/example.pellomir.Pellomir.desktop \
            ./usr/share/metainfo/example.pellomir.Pellomir.metainfo.xml \
            ./usr/share/icons/hicolor/scalable/apps/example.pellomir.Pellomir.svg \
            ./usr/share/doc/pellomir/copyright ./usr/share/doc/pellomir/FOODS.md; do
  grep -qxF -- "$file" <<<"$contents" || fail "the package lacks $file"
done
for size in 16 22 24 32 48 64 128 256 512; do
  grep -qxF -- "./usr/share/icons/hicolor/${size}x${size}/apps/example.pellomir.Pellomir.png" <<<"$contents" \
    || fail "the package lacks the ${size}x${size} icon"
done
pass "the package holds the program, its shared files, launcher, metainfo, icons and licence"

# --- apt accepts it (a simulation: nothing is installed).
if apt-get install --simulate --no-install-recommends "$deb" >"$WORK/apt.log" 2>&1 \
   && grep -q '^Inst pellomir' "$WORK/apt.log"; then
  pass "apt-get install --simulate accepts the package"
else
  fail "apt-get install --simulate:"; cat "$WORK/apt.log"
fi

# --- Unpacked into a throw-away root.
ROOT="$WORK/root"
dpkg-deb -x "$deb" "$ROOT" || { echo "FAIL: dpkg-deb -x"; exit 1; }
desktop-file-validate "$ROOT/usr/share/applications/example.pellomir.Pellomir.desktop" \
  && pass "desktop-file-validate" || fail "desktop-file-validate"
appstreamcli validate --no-net "$ROOT/usr/share/metainfo/example.pellomir.Pellomir.metainfo.xml" >"$WORK/as.log" 2>&1 \
  && pass "appstreamcli validate --no-net" || { fail "appstreamcli validate"; cat "$WORK/as.log"; }

# --- First start of a new user under Xvfb.
start_xvfb "$WORK" 1024x768x24 || { echo "FAIL: Xvfb did not start"; exit 1; }
DISPLAY_NAME="$XVFB_DISPLAY"
NEW_HOME="$WORK/home"
mkdir -p "$NEW_HOME"
USER_FILE="$NEW_HOME/.local/share/pellomir/data.mdb"
touch "$WORK/before-start"
sleep 1 # file times have whole-second resolution on some file systems

start_program() { # -> APP_PID; a fresh user's environment and a session bus of its own, which
                  # ends with the program (no bus left running behind the test)
  env -i HOME="$NEW_HOME" DISPLAY="$DISPLAY_NAME" PATH=/usr/bin:/bin LANG=C.UTF-8 \
    QT_QPA_PLATFORM=xcb dbus-run-session -- "$ROOT/usr/bin/pellomir" 2>>"$WORK/program.err" &
  APP_PID=$!
}
close_window() { # window id -> STATUS, the program's exit status
  eval "$(DISPLAY=$DISPLAY_NAME xdotool getwindowgeometry --shell "$1")"
  DISPLAY=$DISPLAY_NAME xdotool mousemove $((X + 599)) $((Y + 23)) click 1
  STATUS=124
  for _ in $(seq 100); do
    if ! kill -0 "$APP_PID" 2>/dev/null; then wait "$APP_PID"; STATUS=$?; break; fi
    sleep 0.1
  done
}

start_program
win=$(DISPLAY=$DISPLAY_NAME timeout 20 xdotool search --sync --onlyvisible --name '^Pellomir1\.0$' 2>/dev/null | head -1)
if [ -z "$win" ]; then
  fail "the installed program's window did not come up"; cat "$WORK/program.err"
else
  pass "the installed program's window comes up"
  if [ -f "$USER_FILE" ] \
     && [ "$(sqlite3 "$USER_FILE" 'PRAGMA integrity_check')" = ok ] \
     && [ "$(sqlite3 "$USER_FILE" 'SELECT count(*) FROM "01"')" -gt 0 ]; then
    pass "the user's data.mdb is made in \$HOME/.local/share/pellomir, with the foods"
  else
    fail "no usable data.mdb in $NEW_HOME/.local/share/pellomir:"; ls -lR "$NEW_HOME"
  fi
  close_window "$win"
  [ "$STATUS" = 0 ] && pass "the close box ends the program" || fail "after the close box: status $STATUS"
fi
APP_PID=

changed=$(find "$ROOT" -newer "$WORK/before-start")
[ -z "$changed" ] && pass "nothing in the unpacked tree was written" || fail "written in the unpacked tree: $changed"

# --- A second start uses the user's file as it is.
sqlite3 "$USER_FILE" "INSERT INTO sp (Name, demo) VALUES ('第二次启动', '还在')" || fail "cannot write the user's file"
start_program
win=$(DISPLAY=$DISPLAY_NAME timeout 20 xdotool search --sync --onlyvisible --name '^Pellomir1\.0$' 2>/dev/null | head -1)
if [ -z "$win" ]; then
  fail "the second start did not come up"; cat "$WORK/program.err"
else
  close_window "$win"
  [ "$STATUS" = 0 ] || fail "second start: status $STATUS"
  if [ "$(sqlite3 "$USER_FILE" "SELECT count(*) FROM sp WHERE Name = '第二次启动'")" = 1 ]; then
    pass "a second start keeps the user's file"
  else
    fail "the user's file was replaced on the second start"
  fi
fi
APP_PID=

[ "$failures" = 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "all passed"
