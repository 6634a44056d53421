#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program in a program folder of its own: a file added to the watched folder plays the new-file
# tone, a file removed plays the file-removed tone, and closing the window writes the settings. A normal run
# says nothing on standard error.
# Usage: program_test.sh BUILD_DIR [latin1]
# latin1: the watched folder and the new-file tone have names in Latin-1 bytes, as old shares and USB sticks give
# them; the tone (remove.wav's sound under another name) is heard, and both names are written back byte for byte.
set -uo pipefail
BUILD=$1 ROW=${2:-plain}
source "$(dirname "$0")/e2e_env.sh"
TITLE="Divuvadi Foldwarn"
e2e_begin
e2e_start_display
e2e_start_audio

PROG="$E2E_TMP/program" WATCHED="$E2E_TMP/watched" ADD=add.wav HEARD=(add remove)
[ "$ROW" = latin1 ] && WATCHED="$E2E_TMP/M"$'\xe4'"rz" ADD="Gl"$'\xf6'"ckchen.wav" HEARD=(remove remove)
mkdir -p "$PROG" "$WATCHED"
e2e_copy_program "$PROG"
[ "$ROW" = latin1 ] && cp "$PROG/remove.wav" "$PROG/$ADD"
touch "$WATCHED/first.txt" "$WATCHED/second.txt"
printf '[%s]\nLetzterPfad=%s\nZeit=1\naddSound=%s\n' "$TITLE" "$WATCHED" "$ADD" >"$PROG/foldwarn.ini"

e2e_start_recording "$E2E_TMP/rec.wav"
"$PROG/foldwarn" >"$E2E_TMP/foldwarn.log" 2>"$E2E_TMP/foldwarn.err" &
APP=$!
E2E_PIDS+=($APP)
"$BUILD/tests/e2e/x_window" wait "$TITLE" 30 || e2e_fail "the main window did not appear"
sleep 2.5  # the start count is taken and the timer runs

touch "$WATCHED/new.txt"
sleep 3
rm "$WATCHED/first.txt"
sleep 3
e2e_stop_recording

"$BUILD/tests/e2e/x_window" close "$TITLE" || e2e_fail "cannot close the main window"
e2e_wait_pid "$APP" 15 || e2e_fail "the program did not end after its window was closed"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "the program ended with status $E2E_STATUS: $(cat "$E2E_TMP/foldwarn.err")"
[ -s "$E2E_TMP/foldwarn.err" ] && e2e_fail "the program wrote to standard error: $(cat "$E2E_TMP/foldwarn.err")"

"$BUILD/tests/e2e/tone_analyser" "$E2E_TMP/rec.wav" "$PROG/add.wav" "$PROG/remove.wav" "${HEARD[@]}" || exit 1

echo "settings file after closing:"
cat "$PROG/foldwarn.ini"
for line in "LetzterPfad=$WATCHED" "Zeit=1" "addSound=$ADD" "removeSound=remove.wav"; do
  LC_ALL=C grep -qxF "$line" "$PROG/foldwarn.ini" || e2e_fail "the settings file lacks \"$line\""
done
echo OK
