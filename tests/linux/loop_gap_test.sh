#!/usr/bin/env bash
# A short track in place of the stage track loops pass after pass: each pass
# is heard whole (the encoder's padding trimmed) and the gap between passes
# stays short.
set -u
cd "$(dirname "$0")"
source ../harness/harness.sh
source ./program_driver.sh
scenario_start

sox -D -n -r 44100 -c 2 -b 16 "$HARNESS_DIR/tone.wav" synth 1 sine 1000 vol 0.5
lame --quiet -b 192 "$HARNESS_DIR/tone.wav" "$PROGRAM_DIR/File/1.mp3"
program_launch
click 自动音量选择框
record_start 200
click 按钮1
sleep 4.6
click 按钮2
sleep 0.3
record_stop

mapfile -t passes < <(heard_stretches_in_stream)
((${#passes[@]} >= 4)) || fail "only ${#passes[@]} passes heard: ${passes[*]}"
worst_gap=0
for ((i = 0; i < ${#passes[@]} - 1; i++)); do
  read -r start end <<<"${passes[i]}"
  read -r next _ <<<"${passes[i + 1]}"
  length=$((end - start))
  gap=$((next - end))
  echo "pass $i: $length ms, then $gap ms of silence"
  ((length >= 990 && length <= 1010)) || fail "pass $i lasted $length ms, not 1000"
  ((gap > worst_gap)) && worst_gap=$gap
done
echo "longest gap between passes: $worst_gap ms"
((worst_gap <= 60)) || fail "a gap of $worst_gap ms between passes"
echo "PASS"
