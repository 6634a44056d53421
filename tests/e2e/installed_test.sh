#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package installed for everyone: its contents unpacked into a root-owned, read-only tree and
# run from there by ordinary users, each with a home of their own. The administrator's settings file gives
# the defaults; each user's choices go to their own $XDG_CONFIG_HOME, and a tone dropped into their
# $XDG_DATA_HOME/foldwarn/ shows up in both lists and plays.
# Usage: installed_test.sh BUILD_DIR SOURCE_DIR PACKAGE_DIR
set -uo pipefail
BUILD=$1 SOURCE=$2
DEB=$(ls "$3"/foldwarn_*.deb | head -n1)
source "$(dirname "$0")/e2e_env.sh"
TITLE="Divuvadi Foldwarn"
SECTION="[$TITLE]"
e2e_begin
chmod 755 "$E2E_TMP"
e2e_start_display
e2e_start_audio
chmod 711 "$E2E_TMP/pulse"

ROOT="$E2E_TMP/root" PROG="$E2E_TMP/root/usr/lib/foldwarn"
dpkg-deb -x "$DEB" "$ROOT" || e2e_fail "cannot unpack $DEB"
WATCHED="$E2E_TMP/watched"
mkdir -p "$WATCHED"
printf '%s\nLetzterPfad=%s\nZeit=30\naddSound=add.wav\nremoveSound=remove.wav\n' "$SECTION" "$WATCHED" >"$PROG/foldwarn.ini"
chmod -R a-w "$ROOT"
if [ "$(id -u)" -eq 0 ]; then
  chown -R root:root "$ROOT"
  USERS=(65534 65533)  # nobody, and a second user without a passwd entry
else
  USERS=("$(id -u)" "$(id -u)")  # one account: the two "users" differ by home only
fi

# make_user N UID: a home, a runtime folder and the environment of user N.
make_user() {
  local home="$E2E_TMP/home$1"
  mkdir -p "$home" "$E2E_TMP/run$1"
  chmod 700 "$home" "$E2E_TMP/run$1"
  [ "$(id -u)" -eq 0 ] && chown "$2:$2" "$home" "$E2E_TMP/run$1"
}

# run_as N UID [VAR=VALUE...]: starts the installed program as user N and waits for its window.
run_as() {
  local n=$1 uid=$2
  shift 2
  local as=()
  [ "$(id -u)" -eq 0 ] && as=(setpriv --reuid="$uid" --regid="$uid" --clear-groups)
  env -i PATH=/usr/bin:/bin LANG=C.UTF-8 DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb HOME="$E2E_TMP/home$n" \
    XDG_RUNTIME_DIR="$E2E_TMP/run$n" PULSE_SERVER="$PULSE_SERVER" "$@" \
    "${as[@]}" "$ROOT/usr/bin/foldwarn" >>"$E2E_TMP/foldwarn$n.log" 2>&1 &
  APP=$!
  E2E_PIDS+=($APP)
  "$BUILD/tests/e2e/x_window" wait "$TITLE" 30 || e2e_fail "user $n: the main window did not appear"
  sleep 1.5  # start-up has filled the window
  WIN=$(xdotool search --onlyvisible --name "^$TITLE\$" | head -n1)
  [ -n "$WIN" ] || e2e_fail "user $n: no window to drive"
}

close_app() {
  "$BUILD/tests/e2e/x_window" close "$TITLE" || e2e_fail "cannot close the main window"
  e2e_wait_pid "$APP" 15 || e2e_fail "the program did not end after its window was closed"
  [ "$E2E_STATUS" -eq 0 ] || e2e_fail "the program ended with status $E2E_STATUS"
}

click() { xdotool mousemove --window "$WIN" "$1" "$2" click 1; sleep 1.5; }

# expect_settings FILE LINE...: the file holds each line.
expect_settings() {
  local file=$1
  shift
  [ -f "$file" ] || e2e_fail "no settings file $file"
  for line in "$@"; do
    grep -qxF "$line" "$file" || { cat "$file"; e2e_fail "$file lacks \"$line\""; }
  done
}

# User 1: XDG variables unset, so ~/.config and ~/.local/share; a tone of their own.
make_user 1 "${USERS[0]}"
mkdir -p "$E2E_TMP/home1/.local/share/foldwarn"
cp "$SOURCE/resources/fallback.wav" "$E2E_TMP/home1/.local/share/foldwarn/mine.wav"
[ "$(id -u)" -eq 0 ] && chown -R "${USERS[0]}:${USERS[0]}" "$E2E_TMP/home1"
USER1_INI="$E2E_TMP/home1/.config/foldwarn/foldwarn.ini"

e2e_start_recording "$E2E_TMP/rec.wav"
run_as 1 "${USERS[0]}"
# Geometry in pixels from the window's fixed layout: the scroll bar's left arrow, each list's first row.
click 182 52                     # interval 30 -> 29
click 40 105                     # new-file list: add.wav, already the tone
xdotool key Down; sleep 1.5      # -> mine.wav, played
click 212 105                    # file-removed list: add.wav, played
xdotool key Down; sleep 1.5      # -> mine.wav, played
e2e_stop_recording
close_app
"$BUILD/tests/e2e/tone_analyser" "$E2E_TMP/rec.wav" "$E2E_TMP/home1/.local/share/foldwarn/mine.wav" \
  "$PROG/add.wav" add remove add || e2e_fail "the user's tone did not play (heard as \"add\" above)"
expect_settings "$USER1_INI" "$SECTION" "Zeit=29" "addSound=mine.wav" "removeSound=mine.wav" "LetzterPfad=$WATCHED"
grep -qxF "Zeit=30" "$PROG/foldwarn.ini" || e2e_fail "the administrator's file was changed"

# The next start shows the user's choices: closed at once, it writes them back unchanged.
cp "$USER1_INI" "$E2E_TMP/user1-before.ini"
run_as 1 "${USERS[0]}"
close_app
cmp -s "$USER1_INI" "$E2E_TMP/user1-before.ini" || { cat "$USER1_INI"; e2e_fail "the second start lost the choices"; }

# User 2: XDG variables set, no file of their own yet: the administrator's values, saved to their own file.
make_user 2 "${USERS[1]}"
run_as 2 "${USERS[1]}" XDG_CONFIG_HOME="$E2E_TMP/home2/cfg" XDG_DATA_HOME="$E2E_TMP/home2/data"
close_app
expect_settings "$E2E_TMP/home2/cfg/foldwarn/foldwarn.ini" "Zeit=30" "addSound=add.wav" "removeSound=remove.wav" \
  "LetzterPfad=$WATCHED"
[ ! -e "$E2E_TMP/home2/.config" ] || e2e_fail "user 2 wrote to ~/.config despite XDG_CONFIG_HOME"
cmp -s "$USER1_INI" "$E2E_TMP/user1-before.ini" || e2e_fail "user 2 changed user 1's settings"
echo OK
