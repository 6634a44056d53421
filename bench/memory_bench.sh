#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program's memory beside a bare Qt Widgets window, both under Xvfb with a PulseAudio null sink:
# VmRSS and VmHWM once the window shows and, for the program, once a tone has played. Also the time the
# dynamic loader takes for the program's libraries ("foldwarn --version" ends before Qt starts), mean of 100.
# Then the program with a 32 MB settings file: the time to its window, its memory, and its close.
# Usage: bench/memory_bench.sh BUILD_DIR
set -uo pipefail
BUILD=$1
source "$(dirname "$0")/../tests/e2e/e2e_env.sh"
TITLE="Divuvadi Foldwarn"
e2e_begin
e2e_start_display
e2e_start_audio

PROG="$E2E_TMP/program" WATCHED="$E2E_TMP/watched"
mkdir -p "$PROG" "$WATCHED"
e2e_copy_program "$PROG"
printf '[%s]\nLetzterPfad=%s\nZeit=1\n' "$TITLE" "$WATCHED" >"$PROG/foldwarn.ini"

start=$(date +%s%N)
for _ in $(seq 100); do "$PROG/foldwarn" --version >/dev/null; done
awk -v ns=$(($(date +%s%N) - start)) 'BEGIN { printf "foldwarn --version (loading its libraries): %.2f ms\n", ns / 1e6 / 100 }'

memory() { awk '$1 == "VmRSS:" || $1 == "VmHWM:" { printf " %s %.1f MB", $1, $2 / 1024 }' "/proc/$1/status"; }

"$PROG/foldwarn" 2>"$E2E_TMP/foldwarn.err" &
APP=$!
E2E_PIDS+=($APP)
"$BUILD/tests/e2e/x_window" wait "$TITLE" 30 || e2e_fail "the main window did not appear"
sleep 3  # the first count is in, the checks run
echo "foldwarn, shown:$(memory $APP)"
touch "$WATCHED/new.txt"
sleep 3  # the add tone plays
echo "foldwarn, after a tone:$(memory $APP)"
"$BUILD/tests/e2e/x_window" close "$TITLE"
e2e_wait_pid "$APP" 30 || e2e_fail "the program did not end"

# A 32 MB settings file: 32 MB of empty lines in another program's section before Foldwarn's. The time from
# the start to the window, the memory once shown, and the close, which saves the file in one pass.
{
  printf '[Fremd]\n'
  head -c $((32 * 1024 * 1024)) /dev/zero | tr '\0' '\n'
  printf '[%s]\nLetzterPfad=%s\nZeit=1\n' "$TITLE" "$WATCHED"
} >"$PROG/foldwarn.ini"
start=$(date +%s%N)
"$PROG/foldwarn" 2>>"$E2E_TMP/foldwarn.err" &
APP=$!
E2E_PIDS+=($APP)
"$BUILD/tests/e2e/x_window" wait "$TITLE" 30 || e2e_fail "the main window did not appear"
shown=$(date +%s%N)
sleep 3
echo "foldwarn, 32 MB settings file: window after $(((shown - start) / 1000000)) ms;$(memory $APP)"
start=$(date +%s%N)
"$BUILD/tests/e2e/x_window" close "$TITLE"
e2e_wait_pid "$APP" 30 || e2e_fail "the program did not end"
echo "foldwarn, 32 MB settings file: closed and saved in $((($(date +%s%N) - start) / 1000000)) ms"

"$BUILD/bench/bare_window" &
BARE=$!
E2E_PIDS+=($BARE)
"$BUILD/tests/e2e/x_window" wait "Bare Qt Widgets window" 30 || e2e_fail "the bare window did not appear"
sleep 3
echo "bare Qt Widgets window:$(memory $BARE)"
