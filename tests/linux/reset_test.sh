#!/usr/bin/env bash
# Reset with its confirmation box: the device's file gets six zero durations
# and keeps its old date while the box is open, Enter dismisses the box, and
# the labels were cleared too (the close then saves zeros under today's date).
set -u
cd "$(dirname "$0")"
source ../harness/harness.sh
source ./program_driver.sh
scenario_start

zero=0小时00分00秒
old=2013年6月5日
progress_file_bytes $old 1小时05分09秒 0小时20分00秒 $zero 12小时30分00秒 3小时00分00秒 $zero \
  >"$PROGRAM_DIR/File/1.ini"
program_launch

click 按钮3
box=$(wait_for_other_window) || fail "the confirmation box did not open"
[ "$(window_title "$box")" = 提示 ] || fail "the confirmation box is titled $(window_title "$box")"
expect_file_bytes "$PROGRAM_DIR/File/1.ini" $old $zero $zero $zero $zero $zero $zero
xdotool windowactivate --sync "$box" key Return
harness_wait_for 30 window_gone "$box" || fail "the confirmation box did not close on Enter"

close_window "$MAIN_WINDOW"
wait_for_exit 50 || fail "the program did not end on close"
expect_file_bytes "$PROGRAM_DIR/File/1.ini" "$(today_text)" $zero $zero $zero $zero $zero $zero
echo "PASS"
