# Makes the tracks the Windows sound and program tests play, once per build
# folder: 3 s of pink noise, and a half-second square tone that is loud from
# its first sample to its last, so that any gap between passes shows.
# Sourced; make_probe_tracks BUILD_DIR prints the folder that holds them.
make_probe_tracks() {
  local tracks="$1/tests/windows/tracks"
  if [ ! -f "$tracks/short.mp3" ]; then
    mkdir -p "$tracks"
    sox -R -D -n -r 44100 -c 2 -b 16 "$tracks/noise.wav" synth 3 pinknoise vol 0.3
    sox -D -n -r 44100 -c 2 -b 16 "$tracks/tone.wav" synth 0.5 square 440 vol 0.3
    lame --quiet -b 128 "$tracks/noise.wav" "$tracks/noise.mp3"
    lame --quiet -b 128 "$tracks/tone.wav" "$tracks/short.mp3"
  fi
  echo "$tracks"
}
