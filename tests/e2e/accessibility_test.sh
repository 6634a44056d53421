#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program as a screen reader meets it: a private D-Bus session and AT-SPI bus, the program with
# accessibility on, and atspi_check.py reading both windows through the bus.
# Usage: accessibility_test.sh BUILD_DIR
set -uo pipefail
BUILD=$1
HERE=$(dirname "$0")
source "$HERE/e2e_env.sh"
TITLE="Divuvadi Foldwarn"
e2e_begin
e2e_start_display

# Children of a process, read from /proc (procps may be missing on a fresh machine).
children_of() {
  local status
  for status in /proc/[0-9]*/status; do
    [ "$(sed -n 's/^PPid:\t//p' "$status" 2>/dev/null)" = "$1" ] && basename "$(dirname "$status")"
  done
}

# A session bus of our own, then the accessibility bus launched on it. The launcher runs the accessibility
# bus as its child, and that bus starts the registry; both are listed so that they are stopped first.
mkdir -m 700 "$E2E_TMP/xdg" "$E2E_TMP/home"
export XDG_RUNTIME_DIR="$E2E_TMP/xdg" HOME="$E2E_TMP/home" PULSE_SERVER="unix:$E2E_TMP/no-sound"
unset AT_SPI_BUS_ADDRESS  # the bus address comes from our session bus only
dbus-daemon --session --nofork --nosyslog --print-address=3 3>"$E2E_TMP/session" 2>"$E2E_TMP/session.log" &
E2E_PIDS+=($!)
for _ in $(seq 100); do [ -s "$E2E_TMP/session" ] && break; sleep 0.1; done
[ -s "$E2E_TMP/session" ] || e2e_fail "no session bus: $(cat "$E2E_TMP/session.log")"
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$E2E_TMP/session")
/usr/libexec/at-spi-bus-launcher --launch-immediately --a11y=1 >"$E2E_TMP/a11y.log" 2>&1 &
LAUNCHER=$!
E2E_PIDS+=($LAUNCHER)
A11Y=""
for _ in $(seq 100); do
  A11Y=$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
    2>/dev/null | tr -d ' ')
  [ -n "$A11Y" ] && break
  sleep 0.1
done
[ -n "$A11Y" ] || e2e_fail "the accessibility bus did not start: $(cat "$E2E_TMP/a11y.log")"
BUS=$(children_of "$LAUNCHER")
[ -n "$BUS" ] && E2E_PIDS+=($BUS)
dbus-send --bus="$A11Y" --print-reply --dest=org.a11y.atspi.Registry /org/a11y/atspi/registry \
  org.freedesktop.DBus.Peer.Ping >/dev/null || e2e_fail "no AT-SPI registry: $(cat "$E2E_TMP/a11y.log")"
for pid in $BUS; do
  REGISTRY=$(children_of "$pid")
  [ -n "$REGISTRY" ] && E2E_PIDS+=($REGISTRY)
done

PROG="$E2E_TMP/program" WATCHED="$E2E_TMP/watched"
mkdir -p "$PROG" "$WATCHED"
e2e_copy_program "$PROG"
# Stored without the trailing separator: applying the picker there shows the folder with it, a change to tell.
printf '[%s]\nLetzterPfad=%s\nZeit=1\n' "$TITLE" "$WATCHED" >"$PROG/foldwarn.ini"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$PROG/foldwarn" >"$E2E_TMP/foldwarn.log" 2>&1 &
E2E_PIDS+=($!)
"$BUILD/tests/e2e/x_window" wait "$TITLE" 30 || e2e_fail "the main window did not appear"

/usr/bin/python3 "$HERE/atspi_check.py" "$TITLE" "Zu überwachenden Pfad auswählen" "$WATCHED" ||
  e2e_fail "the program as AT-SPI shows it; its log: $(cat "$E2E_TMP/foldwarn.log")"
echo OK
