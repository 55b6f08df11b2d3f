#!/usr/bin/env bash
# A run with automatic volume on: the notice window plays the track at the
# user's volume, the run lowers the master volume to stage one's 30 percent,
# stop silences the track and puts the volume back, and the progress file
# holds the counted seconds.
set -u
cd "$(dirname "$0")"
source ../harness/harness.sh
source ./program_driver.sh
scenario_start

set_master_volume 40000
program_launch
record_start

clicked=$(now_ms)
click 按钮1
notice=$(wait_for_other_window) || fail "the notice window did not open"
sleep 0.5
close_window "$notice"
harness_wait_for 30 window_gone "$notice" || fail "the notice window did not close"
started=$(now_ms)
sleep 0.3
expect_master_volume 12000 "30 percent during the run"
sleep_until $((started + 2500))

stopped=$(now_ms)
click 按钮2
sleep 0.4
expect_master_volume 40000 "restored after the stop"
record_stop

expect_sound_starts "$clicked" 150 "the start click (notice window)"
expect_silence_after "$stopped" 50 "the stop click"
# The run itself restarts the track when the notice closes: sound again soon.
heard_stretches | awk -v s="$started" '$1 < s + 1500 && $2 > s + 500 {found = 1} END {exit !found}' ||
  fail "no sound in the run's first seconds"

close_window "$MAIN_WINDOW"
wait_for_exit 50 || fail "the program did not end on close"
today=$(today_text)
zero=0小时00分00秒
expect_file_bytes "$PROGRAM_DIR/File/1.ini" "$today" 0小时00分02秒 $zero $zero 0小时00分02秒 $zero $zero
echo "PASS"
