#!/usr/bin/env bash
# Picking the second device loads File/2.ini: a run then resumes from its
# stored durations (today's too, as they are of today), carries into the
# hour, and stop and close save to that file alone.
set -u
cd "$(dirname "$0")"
source ../harness/harness.sh
source ./program_driver.sh
scenario_start

zero=0小时00分00秒
today=$(today_text)
progress_file_bytes "$today" 1小时02分03秒 0小时10分00秒 $zero 5小时59分59秒 7小时00分00秒 $zero \
  >"$PROGRAM_DIR/File/2.ini"
program_launch
pick_combo_item 设备组合框 1
click 自动音量选择框
started=$(now_ms)
click 按钮1
sleep_until $((started + 1500))
click 按钮2
sleep 0.3
expected=("$today" 1小时02分04秒 0小时10分00秒 $zero 6小时00分00秒 7小时00分00秒 $zero)
expect_file_bytes "$PROGRAM_DIR/File/2.ini" "${expected[@]}"

close_window "$MAIN_WINDOW"
wait_for_exit 50 || fail "the program did not end on close"
expect_file_bytes "$PROGRAM_DIR/File/2.ini" "${expected[@]}"
[ ! -e "$PROGRAM_DIR/File/1.ini" ] || fail "the first device's file was written"
echo "PASS"
