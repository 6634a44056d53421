#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The audio path on its own: tones reach the sound server, in order, as event sounds of a client named
# Foldwarn, and a new tone cuts off the last one; a thousand tones in a row and a server that restarts
# leave the next tone heard; a tone whose file hangs holds up no other.
# Usage: sound_output_test.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
BUILD=$1 SRC=$2
source "$SRC/tests/e2e/e2e_env.sh"
e2e_begin
PLAY="$BUILD/tests/e2e/play_tones"

# No sound server at all: silence, nothing said, and the caller goes on as if nothing happened.
PULSE_SERVER="unix:$E2E_TMP/nowhere" timeout 30 "$PLAY" "$SRC/resources/add.wav" 2>"$E2E_TMP/silent.err" ||
  e2e_fail "play_tones failed without a sound server"
[ -s "$E2E_TMP/silent.err" ] && e2e_fail "play_tones wrote without a sound server: $(cat "$E2E_TMP/silent.err")"

e2e_start_audio
ADD="$SRC/resources/add.wav" REMOVE="$SRC/resources/remove.wav"
e2e_start_recording "$E2E_TMP/rec.wav"
"$PLAY" "$ADD" 1000 "$REMOVE" 1000 "$ADD" 250 "$REMOVE" || e2e_fail "play_tones failed ($?)"
e2e_stop_recording
"$BUILD/tests/e2e/tone_analyser" "$E2E_TMP/rec.wav" "$ADD" "$REMOVE" --cut add remove add remove || exit 1

# What a mixer shows while a tone sounds: a tone of four seconds leaves time to look.
LONG="$E2E_TMP/long tone.wav"
/usr/bin/python3 -c '
import math, struct, sys, wave
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(22050)
    w.writeframes(b"".join(struct.pack("<h", int(8000 * math.sin(i * 0.1))) for i in range(4 * 22050)))' "$LONG"
"$PLAY" "$LONG" &
PLAYER=$!
E2E_PIDS+=($PLAYER)
for _ in $(seq 60); do
  pactl list sink-inputs >"$E2E_TMP/inputs.txt"
  grep -q 'application.name = "Foldwarn"' "$E2E_TMP/inputs.txt" && break
  sleep 0.05
done
cat "$E2E_TMP/inputs.txt"
for property in 'application.name = "Foldwarn"' 'application.id = "foldwarn"' 'application.icon_name = "foldwarn"' \
  'media.role = "event"' 'media.name = "long tone.wav"'; do
  grep -qF "$property" "$E2E_TMP/inputs.txt" || e2e_fail "the tone's stream lacks $property"
done
e2e_wait_pid "$PLAYER" 30 || e2e_fail "play_tones did not end"
# Played out, the tone's stream leaves the mixer while the client stays connected for the next one.
"$PLAY" "$ADD" &
PLAYER=$!
E2E_PIDS+=($PLAYER)
sleep 2
pactl list clients | grep -qF 'application.name = "Foldwarn"' || e2e_fail "Foldwarn is not connected"
pactl list sink-inputs | grep -qF 'application.name = "Foldwarn"' && e2e_fail "the played tone's stream stayed"
e2e_wait_pid "$PLAYER" 30 || e2e_fail "play_tones did not end"

# A thousand tones as fast as they come, the server restarted, then one more tone: it is heard, and nothing
# aborts on the way.
args=("$REMOVE")
for _ in $(seq 999); do args+=(0 "$REMOVE"); done
"$PLAY" "${args[@]}" 9000 "$ADD" 2>"$E2E_TMP/stress.err" &
PLAYER=$!
E2E_PIDS+=($PLAYER)
# The server goes away under a live connection.
for _ in $(seq 100); do pactl list clients | grep -qF 'application.name = "Foldwarn"' && break; sleep 0.1; done
sleep 1
e2e_stop_audio
e2e_start_audio
e2e_start_recording "$E2E_TMP/restarted.wav"
e2e_wait_pid "$PLAYER" 30 || e2e_fail "play_tones did not end"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "play_tones ended with $E2E_STATUS: $(cat "$E2E_TMP/stress.err")"
e2e_stop_recording
"$BUILD/tests/e2e/tone_analyser" "$E2E_TMP/restarted.wav" "$ADD" "$REMOVE" add || exit 1

# The add tone on a share whose reads hang: it plays nothing, and the remove tone asked for next sounds within
# the second before the next tone.
if [ -c /dev/fuse ] && [ "$(id -u)" -eq 0 ]; then
  echo 6 >"$E2E_TMP/read-delay"
  e2e_mount_slow_folder "$E2E_TMP/tones" "$E2E_TMP/share" "$E2E_TMP/none" "$E2E_TMP/none" "$E2E_TMP/read-delay"
  cp "$ADD" "$E2E_TMP/tones/"
  e2e_start_recording "$E2E_TMP/hung.wav"
  "$PLAY" "$E2E_TMP/share/add.wav" 100 "$REMOVE" 1000 "$ADD" || e2e_fail "play_tones failed ($?)"
  e2e_stop_recording
  "$BUILD/tests/e2e/tone_analyser" "$E2E_TMP/hung.wav" "$ADD" "$REMOVE" remove add || exit 1
fi
echo OK
