#!/usr/bin/env bash
# SIGTERM during a run (automatic volume on, stage two) ends the run as
# closing the window does: silence, the master volume back, progress saved.
set -u
cd "$(dirname "$0")"
source ../harness/harness.sh
source ./program_driver.sh
scenario_start

set_master_volume 30000
program_launch
pick_combo_item 阶段组合框 1
click 按钮1
notice=$(wait_for_other_window) || fail "the notice window did not open"
close_window "$notice"
harness_wait_for 30 window_gone "$notice" || fail "the notice window did not close"
started=$(now_ms)
sleep 0.3
expect_master_volume 15000 "50 percent of 30000 during the run"
record_start
sleep_until $((started + 2500))

terminated=$(now_ms)
kill -TERM "$PROGRAM_PID"
wait_for_exit 50 || fail "the program did not end on SIGTERM"
sleep 0.5
record_stop
expect_silence_after "$terminated" 50 "SIGTERM"
expect_master_volume 30000 "restored after SIGTERM"
zero=0小时00分00秒
expect_file_bytes "$PROGRAM_DIR/File/1.ini" "$(today_text)" $zero 0小时00分02秒 $zero $zero 0小时00分02秒 $zero
echo "PASS"
