#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program watching a FUSE folder whose listing sleeps: the window keeps answering while a check runs,
# a file landing behind the mount still plays the new-file tone, and closing the window or SIGTERM while a
# listing hangs writes the settings and ends with 0 at once. A start whose stored folder's lookups hang answers
# at once and, closed meanwhile, writes the stored interval and folder back unchanged. A stored folder on a share
# mounted only after the start is watched once it is there: a file landing in it sounds.
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
e2e_copy_program "$PROG"
echo 1.5 >"$DELAY"
e2e_mount_slow_folder "$BACKING" "$SLOW" "$DELAY"
touch "$BACKING/first.txt"

# $1: the stored folder (the slow one by default), $2: the stored interval (1 by default).
start_program() {
  printf '[%s]\nLetzterPfad=%s\nZeit=%s\n' "$TITLE" "${1:-$SLOW}" "${2:-1}" >"$PROG/foldwarn.ini"
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
"$BUILD/tests/e2e/x_window" ping "$TITLE" 4 250 || e2e_fail "the window did not answer within 250 ms while a check ran"
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
echo 0 >"$DELAY"

# A share whose lookups (stat, open) hang until the gate opens, holding the stored folder.
LOOKUPS="$E2E_TMP/lookups" GATE="$E2E_TMP/gate"
mkdir -p "$LOOKUPS"
/usr/bin/python3 "$(dirname "$0")/../support/slow_fs.py" "$LOOKUPS" "$GATE" --lookups 2>>"$E2E_TMP/fuse.log" &
E2E_PIDS+=($!)
E2E_MOUNTS+=("$LOOKUPS")
for _ in $(seq 100); do mountpoint -q "$LOOKUPS" && break; sleep 0.1; done
mountpoint -q "$LOOKUPS" || e2e_fail "the lookup share did not mount: $(cat "$E2E_TMP/fuse.log")"
start_program "$LOOKUPS/sub" 17
"$BUILD/tests/e2e/x_window" ping "$TITLE" 2 250 || e2e_fail "the window did not answer within 250 ms while a lookup hung at start"
[ -e "$GATE.entered" ] || e2e_fail "the stored folder on the share was not looked at"
kill -TERM "$APP"
sleep 1.5
for line in "LetzterPfad=$LOOKUPS/sub" "Zeit=17"; do
  grep -qxF "$line" "$PROG/foldwarn.ini" || e2e_fail "closed during a slow start: the settings file lacks \"$line\""
done
touch "$GATE"
e2e_wait_pid "$APP" 15 || e2e_fail "closed during a slow start: the program did not end"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "closed during a slow start: status $E2E_STATUS"
echo "closed during a slow start: the stored interval and folder written back unchanged"

# The stored folder lies on a share mounted a few seconds after the start, already holding a file: that file is
# the base (no tone); the next one sounds.
LATE="$E2E_TMP/late" LATE_BACKING="$E2E_TMP/late-backing"
mkdir -p "$LATE" "$LATE_BACKING/scans"
touch "$LATE_BACKING/scans/held.txt"
e2e_start_recording "$E2E_TMP/late.wav"
start_program "$LATE/scans"
sleep 2
e2e_mount_slow_folder "$LATE_BACKING" "$LATE" "$E2E_TMP/late-delay"
sleep 3  # the first readable count is in
touch "$LATE_BACKING/scans/landed.txt"
sleep 3
e2e_stop_recording
"$BUILD/tests/e2e/x_window" close "$TITLE" || e2e_fail "cannot close the main window"
e2e_wait_pid "$APP" 15 || e2e_fail "the program did not end"
grep -qxF "LetzterPfad=$LATE/scans" "$PROG/foldwarn.ini" || e2e_fail "the stored folder was not written back"
"$BUILD/tests/e2e/tone_analyser" "$E2E_TMP/late.wav" "$PROG/add.wav" "$PROG/remove.wav" add || exit 1
echo "a stored folder mounted after the start: a file landing in it sounds"
echo OK
