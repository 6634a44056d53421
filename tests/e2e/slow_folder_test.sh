#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program watching a FUSE folder whose listing sleeps: the window keeps answering while a check runs,
# a file landing behind the mount still plays the new-file tone, and closing the window or SIGTERM while a
# listing hangs writes the settings and ends with 0 at once.
# Usage: slow_folder_test.sh BUILD_DIR
set -uo pipefail
BUILD=$1
source "$(dirname "$0")/e2e_env.sh"
TITLE="Divuvadi Foldwarn"
e2e_begin
[ -c /dev/fuse ] && [ "$(id -u)" -eq 0 ] || { echo "SKIP: needs /dev/fuse and root"; exit 0; }
e2e_start_display
e2e_start_audio

PROG="$E2E_TMP/program" BACKING="$E2E_TMP/backing" SLOW="$E2E_TMP/slow" DELAY="$E2E_TMP/delay"
mkdir -p "$PROG"
cp "$BUILD/app/foldwarn" "$BUILD/app/add.wav" "$BUILD/app/remove.wav" "$PROG/" || e2e_fail "no program folder in $BUILD/app"
echo 1.5 >"$DELAY"
e2e_mount_slow_folder "$BACKING" "$SLOW" "$DELAY"
touch "$BACKING/first.txt"

start_program() {
  printf '[%s]\nLetzterPfad=%s\nZeit=1\n' "$TITLE" "$SLOW" >"$PROG/foldwarn.ini"
  "$PROG/foldwarn" >>"$E2E_TMP/foldwarn.log" 2>&1 &
  APP=$!
  E2E_PIDS+=($APP)
  "$BUILD/tests/e2e/x_window" wait "$TITLE" 30 || e2e_fail "the main window did not appear"
}

# Ends the program by $1 while a listing hangs for 8 s: the settings must be written at once, long before the
# listing returns, and the program ends with 0. The kernel holds a process whose thread waits in a FUSE listing
# until the file system answers, so the exit status comes when the listing ends; a hung network share is let go
# at once.
end_during_hang() {
  sleep 3  # a listing of 8 s runs now, with at least 3 s to go
  local before
  before=$(cat "$PROG/foldwarn.ini")
  if [ "$1" = close ]; then
    "$BUILD/tests/e2e/x_window" close "$TITLE" || e2e_fail "cannot close the main window"
  else
    kill -TERM "$APP"
  fi
  sleep 1.5
  [ "$(cat "$PROG/foldwarn.ini")" != "$before" ] || e2e_fail "$1 during a hung listing: the settings were not written at once"
  e2e_wait_pid "$APP" 15 || e2e_fail "$1 during a hung listing: the program did not end"
  [ "$E2E_STATUS" -eq 0 ] || e2e_fail "$1 during a hung listing: status $E2E_STATUS: $(cat "$E2E_TMP/foldwarn.log")"
  for line in "LetzterPfad=$SLOW" "Zeit=1" "addSound=add.wav" "removeSound=remove.wav"; do
    grep -qxF "$line" "$PROG/foldwarn.ini" || e2e_fail "$1: the settings file lacks \"$line\""
  done
  echo "$1 during a hung listing: settings written at once, ended with 0"
}

e2e_start_recording "$E2E_TMP/rec.wav"
start_program
sleep 2  # the first count is in
# Checks of 1.5 s each follow one another: the window answers all the while.
"$BUILD/tests/e2e/x_window" ping "$TITLE" 4 50 || e2e_fail "the window did not answer within 50 ms while a check ran"
touch "$BACKING/landed.txt"
sleep 5
e2e_stop_recording
"$BUILD/tests/e2e/tone_analyser" "$E2E_TMP/rec.wav" "$PROG/add.wav" "$PROG/remove.wav" add || exit 1

echo 8 >"$DELAY"
sleep 2  # the listing running with the old delay ends
end_during_hang close
# Started while listings hang: the first count has not come yet when SIGTERM arrives.
start_program
end_during_hang sigterm
echo OK
