#!/usr/bin/env bash
# Closing the main window during a run (automatic volume on, stage three):
# the sound stops at once and nothing is heard after, the master volume comes
# back, the program ends and the progress file holds the run's seconds.
set -u
cd "$(dirname "$0")"
source ../harness/harness.sh
source ./program_driver.sh
scenario_start

set_master_volume 50000
program_launch
pick_combo_item 阶段组合框 2
click 按钮1
notice=$(wait_for_other_window) || fail "the notice window did not open"
close_window "$notice"
harness_wait_for 30 window_gone "$notice" || fail "the notice window did not close"
started=$(now_ms)
sleep 0.3
expect_master_volume 40000 "80 percent of 50000 during the run"
record_start
sleep_until $((started + 2500))

closed=$(now_ms)
close_window "$MAIN_WINDOW"
wait_for_exit 50 || fail "the program did not end on close"
sleep 0.5
record_stop
expect_silence_after "$closed" 50 "closing the main window"
expect_master_volume 50000 "restored by the close"
zero=0小时00分00秒
expect_file_bytes "$PROGRAM_DIR/File/1.ini" "$(today_text)" $zero $zero 0小时00分02秒 $zero $zero 0小时00分02秒
echo "PASS"
