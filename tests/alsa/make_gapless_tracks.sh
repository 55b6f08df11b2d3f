#!/usr/bin/env bash
# Makes MPEG-2 and 2.5 tracks that carry a LAME tag (the shared test tracks of
# those versions are too thin for one): half-second 440 Hz tones, as in
# tools/make_test_tracks.sh. Usage: make_gapless_tracks.sh OUTDIR
set -euo pipefail

out=${1:?usage: make_gapless_tracks.sh OUTDIR}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

encode() { # rate channels lame-rate file
  sox -D -n -r "$1" -c "$2" -b 16 "$work/t.wav" synth 0.5 sine 440
  lame --quiet -b 64 --resample "$3" "$work/t.wav" "$out/$4"
}

encode 22050 1 22.05 tagged22_mono.mp3
encode 24000 2 24 tagged24_stereo.mp3
encode 11025 1 11.025 tagged11_mono.mp3
