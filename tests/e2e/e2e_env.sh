# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the end-to-end tests: a private X display, a private PulseAudio with a null sink, a recorder
# on the sink's monitor, and clean-up of everything started here, by PID. Source it, then call e2e_begin.

e2e_begin() {
  E2E_TMP=$(mktemp -d /tmp/foldwarn-e2e.XXXXXX)
  E2E_PIDS=()
  E2E_MOUNTS=()
  trap e2e_end EXIT
}

e2e_fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Waits up to $2 seconds for process $1 to end; its exit status lands in E2E_STATUS.
e2e_wait_pid() {
  local pid=$1 deadline=$((SECONDS + $2))
  while kill -0 "$pid" 2>/dev/null; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.1
  done
  # A process started by one of ours (a bus launcher's bus) is not ours to wait for.
  wait "$pid" 2>/dev/null
  E2E_STATUS=$?
  return 0
}

e2e_end() {
  local status=$?
  # A lazy unmount never waits for a listing that hangs; the file system's process then ends by itself.
  for m in "${E2E_MOUNTS[@]}"; do umount -l "$m" 2>/dev/null; done
  for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
    kill "${E2E_PIDS[i]}" 2>/dev/null && e2e_wait_pid "${E2E_PIDS[i]}" 5 || kill -9 "${E2E_PIDS[i]}" 2>/dev/null
  done
  e2e_stop_audio
  if [ $status -ne 0 ] && [ -n "${E2E_KEEP:-}" ]; then
    echo "kept $E2E_TMP" >&2
  else
    rm -rf "$E2E_TMP"
  fi
  exit $status
}

# An X server of our own; Xvfb picks a free display number itself.
e2e_start_display() {
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$E2E_TMP/display" 2>"$E2E_TMP/xvfb.log" &
  E2E_PIDS+=($!)
  for _ in $(seq 100); do [ -s "$E2E_TMP/display" ] && break; sleep 0.1; done
  [ -s "$E2E_TMP/display" ] || e2e_fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
  export DISPLAY=":$(head -n1 "$E2E_TMP/display")"
}

# A PulseAudio daemon of our own with a null sink as the default output. Its runtime, state and home
# folders are private, so it never meets a desktop's sound server or another test run.
e2e_start_audio() {
  mkdir -p -m 700 "$E2E_TMP/xdg" "$E2E_TMP/pulse" "$E2E_TMP/home"
  export XDG_RUNTIME_DIR="$E2E_TMP/xdg" PULSE_RUNTIME_PATH="$E2E_TMP/pulse" PULSE_STATE_PATH="$E2E_TMP/pulse"
  export HOME="$E2E_TMP/home" PULSE_SERVER="unix:$E2E_TMP/pulse/native"
  unset PULSE_LATENCY_MSEC
  pulseaudio -n --daemonize=yes --exit-idle-time=-1 --system=false --disallow-exit --use-pid-file=yes \
    -L "module-null-sink sink_name=nullsink" \
    -L "module-native-protocol-unix socket=$E2E_TMP/pulse/native auth-anonymous=1" \
    >"$E2E_TMP/pulse.log" 2>&1 || e2e_fail "pulseaudio did not start: $(cat "$E2E_TMP/pulse.log")"
  E2E_PULSE_PID=$(cat "$E2E_TMP/pulse/pid")
  for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  pactl set-default-sink nullsink || e2e_fail "no null sink"
}

# Started again after this, the daemon answers on the same socket, as a restarted desktop sound server does.
e2e_stop_audio() {
  [ -n "${E2E_PULSE_PID:-}" ] || return 0
  kill "$E2E_PULSE_PID" 2>/dev/null
  for _ in $(seq 50); do kill -0 "$E2E_PULSE_PID" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$E2E_PULSE_PID" 2>/dev/null
  E2E_PULSE_PID=
}

e2e_start_recording() {
  parecord --latency-msec=10 -d nullsink.monitor --file-format=wav --rate=44100 --channels=1 "$1" &
  E2E_RECORDER=$!
  E2E_PIDS+=($E2E_RECORDER)
  # A silent low-latency stream keeps the null sink running like a sound card. Idle, it renders two
  # seconds ahead, and a tone followed by another within that time never reaches the monitor; what it
  # rendered before the stream came must run out first.
  pacat --latency-msec=20 </dev/zero &
  E2E_PIDS+=($!)
  sleep 2.5
}

# SIGINT lets parecord finish the wave file's header.
e2e_stop_recording() {
  kill -INT "$E2E_RECORDER"
  e2e_wait_pid "$E2E_RECORDER" 10 || e2e_fail "parecord did not stop"
}

# A FUSE folder at $2 mirroring $1 whose every listing first sleeps for the seconds written in $3, with $4 every
# lookup below its root and with $5 every read of a file for the seconds written there (tests/e2e/slow_folder.py).
# Needs /dev/fuse and the right to mount (root).
e2e_mount_slow_folder() {
  mkdir -p "$1" "$2"
  /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/slow_folder.py" "$1" "$2" "$3" ${4:+"$4"} ${5:+"$5"} 2>"$E2E_TMP/fuse.log" &
  E2E_PIDS+=($!)
  E2E_MOUNTS+=("$2")
  for _ in $(seq 100); do mountpoint -q "$2" && return 0; sleep 0.1; done
  e2e_fail "the FUSE folder did not mount: $(cat "$E2E_TMP/fuse.log")"
}

# The program and its tones copied into a program folder of its own (the folder must exist).
e2e_copy_program() {
  cp "$BUILD/app/foldwarn" "$BUILD/app/add.wav" "$BUILD/app/remove.wav" "$1/" || e2e_fail "no program folder in $BUILD/app"
}
