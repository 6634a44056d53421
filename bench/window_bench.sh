#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real window under Xvfb: its answer time to a window manager's ping (_NET_WM_PING; max and p99 over
# 15 s) while it watches 1,000,000 files at an interval of 1 s and while it watches a FUSE folder whose listing
# takes 2 s; its answer time at start and on "Durchsuchen" with the stored folder on a FUSE share whose every
# lookup (stat, open) takes 5 s; and its CPU share over 20 s watching the 1,000,000 files unchanged.
# Usage: bench/window_bench.sh BUILD_DIR   (the FUSE part needs /dev/fuse and root)
set -uo pipefail
BUILD=$1
source "$(dirname "$0")/../tests/e2e/e2e_env.sh"
TITLE="Divuvadi Foldwarn"
e2e_begin
e2e_start_display
mkdir -m 700 "$E2E_TMP/xdg"
export XDG_RUNTIME_DIR="$E2E_TMP/xdg"

# The big folder lives on tmpfs when there is one; it goes with the run.
BIG=$(mktemp -d "$([ -d /dev/shm ] && echo /dev/shm || echo /tmp)/foldwarn-bench-1m.XXXXXX")
E2E_CLEAN_BIG=$BIG
trap 'rm -rf "$E2E_CLEAN_BIG"; e2e_end' EXIT
/usr/bin/python3 -c '
import os, sys
for i in range(1_000_000):
    os.close(os.open(os.path.join(sys.argv[1], "file-%d" % i), os.O_CREAT | os.O_WRONLY, 0o644))' "$BIG"

PROG="$E2E_TMP/program"
mkdir -p "$PROG"
e2e_copy_program "$PROG"

start_program() {
  printf '[%s]\nLetzterPfad=%s\nZeit=1\n' "$TITLE" "$1" >"$PROG/foldwarn.ini"
  "$PROG/foldwarn" >>"$E2E_TMP/foldwarn.log" 2>&1 &
  APP=$!
  E2E_PIDS+=($APP)
  "$BUILD/tests/e2e/x_window" wait "$TITLE" 30 || e2e_fail "the main window did not appear"
  sleep 3  # the first count is in, the checks run
}

stop_program() {
  "$BUILD/tests/e2e/x_window" close "$TITLE"
  e2e_wait_pid "$APP" 30 || e2e_fail "the program did not end"
}

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

echo "== 1,000,000 files, interval 1 s"
start_program "$BIG"
echo -n "answer time: "
"$BUILD/tests/e2e/x_window" ping "$TITLE" 15
before=$(cpu_ticks "$APP")
sleep 20
after=$(cpu_ticks "$APP")
awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "CPU share, unchanged: %.2f %% of a core over 20 s\n", 100 * t / hz / 20 }'
stop_program

if [ -c /dev/fuse ] && [ "$(id -u)" -eq 0 ]; then
  echo "== FUSE folder whose listing takes 2 s, interval 1 s"
  echo 2 >"$E2E_TMP/delay"
  e2e_mount_slow_folder "$E2E_TMP/backing" "$E2E_TMP/slow" "$E2E_TMP/delay"
  for i in $(seq 100); do : >"$E2E_TMP/backing/file-$i"; done
  start_program "$E2E_TMP/slow"
  echo -n "answer time: "
  "$BUILD/tests/e2e/x_window" ping "$TITLE" 15
  echo 0 >"$E2E_TMP/delay"
  stop_program

  echo "== FUSE folder whose every lookup takes 5 s"
  echo 5 >"$E2E_TMP/lookup-delay"
  mkdir -p "$E2E_TMP/backing2/sub"
  for i in $(seq 100); do : >"$E2E_TMP/backing2/sub/file-$i"; done
  e2e_mount_slow_folder "$E2E_TMP/backing2" "$E2E_TMP/lookups" "$E2E_TMP/no-delay" "$E2E_TMP/lookup-delay"
  printf '[%s]\nLetzterPfad=%s\nZeit=1\n' "$TITLE" "$E2E_TMP/lookups/sub" >"$PROG/foldwarn.ini"
  "$PROG/foldwarn" >>"$E2E_TMP/foldwarn.log" 2>&1 &
  APP=$!
  E2E_PIDS+=($APP)
  "$BUILD/tests/e2e/x_window" wait "$TITLE" 30 || e2e_fail "the main window did not appear"
  echo -n "answer time at start: "
  "$BUILD/tests/e2e/x_window" ping "$TITLE" 8
  # "Durchsuchen" lies at 8,44 (109 x 17 pixels) in the window; the picker opens on the folder on the share.
  window=$(xdotool search --name "^$TITLE\$" | head -n1)
  xdotool mousemove --window "$window" 60 52 click 1
  echo -n "answer time on \"Durchsuchen\": "
  "$BUILD/tests/e2e/x_window" ping "$TITLE" 8
  "$BUILD/tests/e2e/x_window" wait "Zu überwachenden Pfad auswählen" 1 >/dev/null || e2e_fail "the picker did not open"
  echo 0 >"$E2E_TMP/lookup-delay"
  stop_program
else
  echo "FUSE folder: skipped (needs /dev/fuse and root)"
fi
