#!/usr/bin/env bash
# Makes the three stage tracks the program loops, as 44.1 kHz stereo MP3s:
#   1.mp3  white noise, the warm-up stage the instructions describe;
#   2.mp3  a test-disc programme: pink noise, slow sweeps across the audible
#          band, steady tones;
#   3.mp3  a gentler full-band mix of pink and brown noise under a soft chord.
# Each runs a few minutes so the loop point comes rarely; peaks stay well
# below full scale so nothing clips. Usage: make_stage_tracks.sh OUTDIR
set -euo pipefail

out=${1:?usage: make_stage_tracks.sh OUTDIR}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

rate=44100
# -R: repeatable noise, -D: no dither, so every build makes the same tracks.
gen() { # seconds file synth-arguments...
  local seconds=$1 file=$2
  shift 2
  sox -R -D -n -r $rate -c 2 -b 16 "$file" synth "$seconds" "$@"
}
# A short fade at both ends, so joined segments and the loop point do not click.
faded() { # seconds file synth-arguments...
  local seconds=$1 file=$2
  shift 2
  gen "$seconds" "$work/raw.wav" "$@"
  sox -D "$work/raw.wav" "$file" fade h 0.05 "$seconds" 0.05
}
encode() { # wav mp3
  lame --quiet --noreplaygain -b 192 "$1" "$2"
}

# Stage one: white noise at -12 dBFS peak.
gen 180 "$work/1.wav" whitenoise vol 0.25
encode "$work/1.wav" "$out/1.mp3"

# Stage two: a test-disc programme, each part faded in and out.
faded 30 "$work/2a.wav" pinknoise vol 0.35
faded 45 "$work/2b.wav" sine 20/20000 vol 0.4
faded 45 "$work/2c.wav" sine 20000/20 vol 0.4
parts=()
for f in 40 100 440 1000 4000 10000; do
  faded 8 "$work/tone$f.wav" sine $f vol 0.35
  parts+=("$work/tone$f.wav")
done
faded 12 "$work/2d.wav" pinknoise vol 0.35
sox -D "$work/2a.wav" "$work/2b.wav" "$work/2c.wav" "${parts[@]}" "$work/2d.wav" "$work/2.wav"
encode "$work/2.wav" "$out/2.mp3"

# Stage three: soft full-band noise under a quiet, slowly swelling chord.
gen 180 "$work/3a.wav" pinknoise vol 0.3
gen 180 "$work/3b.wav" brownnoise vol 0.5
gen 180 "$work/3c.wav" sine 220 sine 277 vol 0.1 tremolo 0.1 60
sox -D -m "$work/3a.wav" "$work/3b.wav" "$work/3c.wav" "$work/3.wav"
encode "$work/3.wav" "$out/3.mp3"
