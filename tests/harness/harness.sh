# The test harness, sourced by test scripts: a virtual display with a small
# window manager, and a private PulseAudio server with a null sink that ALSA
# plays into. It stops only what it started, by process id.
#
#   source tests/harness/harness.sh
#   harness_start                 # exports DISPLAY, PULSE_SERVER, HOME, HARNESS_DIR
#   harness_record_start out.wav  # records what the null sink plays
#   harness_record_stop
#   harness_stop                  # also run on exit
#
# A command run by with_harness.sh may source this file again and use the
# harness_record_* functions; only the shell that called harness_start stops it.

HARNESS_PIDS=()
HARNESS_RECORDER=

harness_fail() {
  echo "harness: $*" >&2
  harness_stop
  return 1
}

# Waits up to $1 tenths of a second for the command after it to succeed.
harness_wait_for() {
  local tenths=$1
  shift
  for ((i = 0; i < tenths; i++)); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

harness_start_display() {
  local n
  for ((n = 90; n < 400; n++)); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$HARNESS_DIR/xvfb.log" 2>&1 &
  HARNESS_PIDS+=($!)
  export DISPLAY=":$n"
  harness_wait_for 100 xdpyinfo || harness_fail "the virtual display $DISPLAY did not start" || return 1
  openbox --sm-disable >"$HARNESS_DIR/openbox.log" 2>&1 &
  HARNESS_PIDS+=($!)
  # The window manager is ready once it owns the screen's selection.
  harness_wait_for 50 sh -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window" ||
    harness_fail "the window manager did not start" || return 1
}

harness_start_sound() {
  local socket="$HARNESS_DIR/pulse.sock"
  cat >"$HARNESS_DIR/pulse.pa" <<PA
load-module module-native-protocol-unix auth-anonymous=1 socket=$socket
load-module module-null-sink sink_name=burnin_sink rate=44100 channels=2 sink_properties=device.description=burnin_sink
load-module module-always-sink
set-default-sink burnin_sink
PA
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  pulseaudio -n -F "$HARNESS_DIR/pulse.pa" --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    --log-target=file:"$HARNESS_DIR/pulse.log" >/dev/null 2>&1 &
  HARNESS_PIDS+=($!)
  export PULSE_SERVER="unix:$socket"
  # Without shared memory: the server aborts when a client whose memory blocks
  # a monitor recorder still holds disconnects, as a player does at each pass.
  printf 'autospawn = no\nenable-shm = no\nenable-memfd = no\n' >"$HARNESS_DIR/client.conf"
  export PULSE_CLIENTCONFIG="$HARNESS_DIR/client.conf"
  harness_wait_for 100 pactl info || harness_fail "the sound server did not start" || return 1
  # ALSA's default device and mixer go to that server.
  cat >"$HOME/.asoundrc" <<ASOUND
pcm.!default { type pulse }
ctl.!default { type pulse }
ASOUND
}

harness_start() {
  HARNESS_DIR=$(mktemp -d /tmp/burnin-harness.XXXXXX)
  export HARNESS_DIR
  export HOME="$HARNESS_DIR/home"
  export XDG_RUNTIME_DIR="$HARNESS_DIR/run"
  export XDG_CONFIG_HOME="$HOME/.config"
  mkdir -p "$HOME"
  trap harness_stop EXIT
  trap 'harness_stop; exit 130' INT TERM
  harness_start_display || return 1
  harness_start_sound || return 1
}

# Records the null sink's monitor as 16-bit stereo 44.1 kHz WAV, with a small
# latency so that the recording's timing follows the sound closely.
harness_record_start() {
  parecord --device=burnin_sink.monitor --file-format=wav --format=s16le --rate=44100 --channels=2 \
    --latency-msec=10 "$1" >"$HARNESS_DIR/parecord.log" 2>&1 &
  HARNESS_RECORDER=$!
  HARNESS_PIDS+=($HARNESS_RECORDER)
  # The recording has begun once the server lists its stream.
  harness_wait_for 50 sh -c "pactl list short source-outputs | grep -q ." ||
    harness_fail "the recorder did not start" || return 1
}

harness_record_stop() {
  [ -n "$HARNESS_RECORDER" ] || return 0
  kill -INT "$HARNESS_RECORDER" 2>/dev/null
  wait "$HARNESS_RECORDER" 2>/dev/null
  HARNESS_RECORDER=
}

harness_stop() {
  local i pid
  for ((i = ${#HARNESS_PIDS[@]} - 1; i >= 0; i--)); do
    pid=${HARNESS_PIDS[i]}
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  HARNESS_PIDS=()
  HARNESS_RECORDER=
  if [ -n "${HARNESS_DIR:-}" ] && [ -z "${HARNESS_KEEP:-}" ]; then
    rm -rf "$HARNESS_DIR"
  fi
  HARNESS_DIR=
}
