#!/usr/bin/env bash
# Reset with its confirmation box: the device's file gets six zero durations
# and keeps its old date while the box is open, Enter dismisses the box, and
# the labels were cleared too (the close then saves zeros under today's date).
set -u
source "$(dirname "$0")/program_driver.sh"
scenario_start
file=$(progress_file 1)

old=2013年6月5日
progress_file_bytes $old 1小时05分09秒 0小时20分00秒 $ZERO 12小时30分00秒 3小时00分00秒 $ZERO \
  >"$file"
program_launch

click 按钮3
box=$(wait_for_other_window) || fail "the confirmation box did not open"
[ "$(window_title "$box")" = 提示 ] || fail "the confirmation box is titled $(window_title "$box")"
expect_file_bytes "$file" $old $ZERO $ZERO $ZERO $ZERO $ZERO $ZERO
xdotool windowactivate --sync "$box" key Return
harness_wait_for 30 window_gone "$box" || fail "the confirmation box did not close on Enter"

close_program
expect_file_bytes "$file" "$(today_text)" $ZERO $ZERO $ZERO $ZERO $ZERO $ZERO
echo "PASS"
