#!/usr/bin/env bash
# A short track in place of the stage track loops pass after pass: a new
# pass starts only once the whole track has been played out (one track's
# length from the start of the pass before), and the gap the player adds
# between passes stays short.
set -u
cd "$(dirname "$0")"
source ../harness/harness.sh
source ./program_driver.sh
scenario_start

sox -D -n -r 44100 -c 2 -b 16 "$HARNESS_DIR/tone.wav" synth 1 sine 1000 vol 0.5
lame --quiet -b 192 "$HARNESS_DIR/tone.wav" "$PROGRAM_DIR/File/1.mp3"
track_ms=1000
program_launch
click 自动音量选择框
record_start 200
click 按钮1
sleep 5.6
click 按钮2
sleep 0.3
record_stop

# Stream positions of the passes' starts; the first pass may be cut short by
# the recording's own start, so periods are taken from the second on.
mapfile -t starts < <(heard_stretches_in_stream | awk '{print $1}')
((${#starts[@]} >= 5)) || fail "only ${#starts[@]} passes heard"
worst_gap=0
for ((i = 1; i < ${#starts[@]} - 1; i++)); do
  period=$((starts[i + 1] - starts[i]))
  gap=$((period - track_ms))
  echo "pass $i: next pass $period ms after its start, a gap of $gap ms"
  ((gap >= -10)) || fail "pass $i was cut: the next began after $period ms"
  ((gap > worst_gap)) && worst_gap=$gap
done
heard_stretches_in_stream | awk '{printf "heard %d ms\n", $2 - $1}'
echo "longest gap between passes: $worst_gap ms"
((worst_gap <= 150)) || fail "a gap of $worst_gap ms between passes"
echo "PASS"
