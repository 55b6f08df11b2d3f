#!/usr/bin/env bash
# Makes the small MPEG audio files the sound tests read: tones encoded with
# lame at each MPEG version, tagged and cut copies, and Layer II streams of
# silent frames (sox cannot write Layer II). Usage: make_test_tracks.sh OUTDIR
set -euo pipefail

out=${1:?usage: make_test_tracks.sh OUTDIR}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

tone() { # rate channels file; no dither, so every build encodes the same samples
  sox -D -n -r "$1" -c "$2" -b 16 "$3" synth 0.5 sine 440
}

tone 44100 2 "$work/t44.wav"
lame --quiet -b 128 "$work/t44.wav" "$out/stereo44.mp3"
lame --quiet -V 4 "$work/t44.wav" "$out/vbr44.mp3"
lame --quiet -b 128 --id3v2-only --tt "Burn-in track" "$work/t44.wav" "$out/id3v2.mp3"
lame --quiet -b 128 --id3v1-only --tt "Burn-in track" "$work/t44.wav" "$out/id3v1.mp3"
lame --quiet -b 128 --add-id3v2 --tt "Burn-in track" "$work/t44.wav" "$out/both_tags.mp3"

# MPEG-2 Layer III, mono.
for pair in 22050:22.05:22 24000:24:24 16000:16:16; do
  IFS=: read -r rate khz name <<< "$pair"
  tone "$rate" 1 "$work/t.wav"
  lame --quiet -m m -b 32 --resample "$khz" "$work/t.wav" "$out/mono$name.mp3"
done
# Frames large enough for lame's Info frame, in each layout of the side
# information that it follows: MPEG-1 mono, MPEG-2 stereo and mono.
tone 44100 1 "$work/t.wav"
lame --quiet -m m -b 128 "$work/t.wav" "$out/info_mono44.mp3"
tone 22050 2 "$work/t.wav"
lame --quiet -b 64 "$work/t.wav" "$out/info_stereo22.mp3"
tone 22050 1 "$work/t.wav"
lame --quiet -m m -b 64 "$work/t.wav" "$out/info_mono22.mp3"
# MPEG-2.5 Layer III, mono.
tone 8000 1 "$work/t8.wav"
lame --quiet -m m -b 16 --resample 8 "$work/t8.wav" "$out/mono8.mp3"

# The last 100 bytes are cut off: the last frame is incomplete.
size=$(stat -c %s "$out/stereo44.mp3")
head -c $((size - 100)) "$out/stereo44.mp3" > "$out/truncated.mp3"

# Layer II frames whose bit allocations are all zero: valid silence, just
# over half a second of it.
layer2() { # header-bytes frame-length count file
  local header=$1 length=$2 count=$3 file=$4
  : > "$file"
  for ((i = 0; i < count; i++)); do
    printf "$header" >> "$file"
    head -c $((length - 4)) /dev/zero >> "$file"
  done
}
# MPEG-1 Layer II, 192 kbit/s, 48 kHz, stereo: 144 * 192000 / 48000 = 576 bytes.
layer2 '\xff\xfd\xa4\x00' 576 21 "$out/layer2_48.mp2"
# MPEG-2 Layer II, 64 kbit/s, 24 kHz, mono: 144 * 64000 / 24000 = 384 bytes.
layer2 '\xff\xf5\x84\xc0' 384 11 "$out/layer2_24.mp2"
