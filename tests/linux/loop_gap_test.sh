#!/usr/bin/env bash
# A short track in place of the stage track loops pass after pass: each pass
# is heard whole, to its last frame, before the next one starts, and the gap
# the player adds between passes stays short.
set -u
source "$(dirname "$0")/program_driver.sh"
scenario_start

sox -D -n -r 44100 -c 2 -b 16 "$HARNESS_DIR/tone.wav" synth 1 sine 1000 vol 0.5
lame --quiet -b 192 "$HARNESS_DIR/tone.wav" "$PROGRAM_DIR/File/1.mp3"
track_ms=1000
program_launch
click 自动音量选择框
record_start
click 按钮1
sleep 5.6
click 按钮2
sleep 0.3
record_stop

# Where in the stream each pass lies; the first may be cut short by the
# recording's own start and the last by the stop, so only those between are
# measured.
mapfile -t passes < <(heard_stretches_in_stream)
((${#passes[@]} >= 5)) || fail "only ${#passes[@]} passes heard"
worst_gap=0
for ((i = 1; i < ${#passes[@]} - 1; i++)); do
  read -r start end <<<"${passes[i]}"
  read -r next _ <<<"${passes[i + 1]}"
  heard=$((end - start))
  gap=$((next - end))
  echo "pass $i: heard for $heard ms, then $gap ms of silence"
  ((heard >= track_ms - 10)) || fail "pass $i was heard for $heard ms of the track's $track_ms"
  ((gap > worst_gap)) && worst_gap=$gap
done
echo "longest gap between passes: $worst_gap ms"
((worst_gap <= 60)) || fail "a gap of $worst_gap ms between passes"
echo "PASS"
