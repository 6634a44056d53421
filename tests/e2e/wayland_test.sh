#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program as a Wayland client of a headless weston, with no X display at all: its window appears,
# a file added to the watched folder plays the new-file tone, a second start leaves the first running, and
# SIGTERM (what a session sends at logout) writes the settings.
# Usage: wayland_test.sh BUILD_DIR
set -uo pipefail
BUILD=$1
source "$(dirname "$0")/e2e_env.sh"
TITLE="Divuvadi Foldwarn"
e2e_begin
e2e_start_audio  # also gives this test a runtime folder of its own, where weston puts its socket

# weston's protocol log names every window title a client sets.
unset DISPLAY
export WAYLAND_DISPLAY=foldwarn-e2e QT_QPA_PLATFORM=wayland
weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --idle-time=0 --debug \
  --log="$E2E_TMP/weston.log" >/dev/null 2>&1 &
E2E_PIDS+=($!)
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] || e2e_fail "weston did not start: $(cat "$E2E_TMP/weston.log")"
weston-debug -o "$E2E_TMP/protocol.log" proto 2>"$E2E_TMP/weston-debug.err" &
E2E_PIDS+=($!)

PROG="$E2E_TMP/program" WATCHED="$E2E_TMP/watched"
mkdir -p "$PROG" "$WATCHED"
e2e_copy_program "$PROG"
touch "$WATCHED/first.txt"
printf '[%s]\nLetzterPfad=%s\nZeit=1\n' "$TITLE" "$WATCHED" >"$PROG/foldwarn.ini"

e2e_start_recording "$E2E_TMP/rec.wav"
"$PROG/foldwarn" >"$E2E_TMP/foldwarn.log" 2>"$E2E_TMP/foldwarn.err" &
APP=$!
E2E_PIDS+=($APP)
for _ in $(seq 300); do
  grep -q "set_title.*\"$TITLE\"" "$E2E_TMP/protocol.log" 2>/dev/null && break
  kill -0 $APP 2>/dev/null || e2e_fail "the program ended under Wayland: $(cat "$E2E_TMP/foldwarn.err")"
  sleep 0.1
done
grep -q "set_title.*\"$TITLE\"" "$E2E_TMP/protocol.log" || e2e_fail "no window titled \"$TITLE\" reached weston"
sleep 2.5  # the start count is taken and the timer runs

touch "$WATCHED/new.txt"
sleep 3
e2e_stop_recording
"$BUILD/tests/e2e/tone_analyser" "$E2E_TMP/rec.wav" "$PROG/add.wav" "$PROG/remove.wav" add || exit 1

# A second start may only ask the compositor for attention; it ends, the first one stays.
timeout 30 "$PROG/foldwarn" >/dev/null 2>&1 || e2e_fail "the second start ended with status $?"
kill -0 $APP 2>/dev/null || e2e_fail "the first instance ended at the second start"

kill -TERM $APP
e2e_wait_pid $APP 15 || e2e_fail "the program did not end on SIGTERM"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "the program ended with status $E2E_STATUS: $(cat "$E2E_TMP/foldwarn.err")"
for line in "LetzterPfad=$WATCHED" "Zeit=1" "addSound=add.wav" "removeSound=remove.wav"; do
  grep -qxF "$line" "$PROG/foldwarn.ini" || { cat "$PROG/foldwarn.ini"; e2e_fail "the settings file lacks \"$line\""; }
done
echo "standard error under Wayland:"
cat "$E2E_TMP/foldwarn.err"
echo OK
