#!/usr/bin/env bash
# The audio path on its own: tones reach the sound server, in order, and a new tone cuts off the last one.
# Usage: sound_output_test.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
BUILD=$1 SRC=$2
source "$SRC/tests/e2e/e2e_env.sh"
e2e_begin

# No sound server at all: silence, and the caller goes on as if nothing happened.
PULSE_SERVER="unix:$E2E_TMP/nowhere" timeout 30 "$BUILD/tests/e2e/play_tones" "$SRC/resources/add.wav" ||
  e2e_fail "play_tones failed without a sound server"

e2e_start_audio
e2e_start_recording "$E2E_TMP/rec.wav"

ADD="$SRC/resources/add.wav" REMOVE="$SRC/resources/remove.wav"
"$BUILD/tests/e2e/play_tones" "$ADD" 1000 "$REMOVE" 1000 "$ADD" 250 "$REMOVE" || e2e_fail "play_tones failed"
e2e_stop_recording
"$BUILD/tests/e2e/tone_analyser" "$E2E_TMP/rec.wav" "$ADD" "$REMOVE" --cut add remove add remove
