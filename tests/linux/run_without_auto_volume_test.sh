#!/usr/bin/env bash
# A run with automatic volume off: no notice window, the track starts with
# the click, the master volume is neither read nor changed, and stop silences
# the track and saves the counted seconds. The window carries the icon.
set -u
cd "$(dirname "$0")"
source ../harness/harness.sh
source ./program_driver.sh
scenario_start

set_master_volume 40000
program_launch
icon=$(xprop -id "$MAIN_WINDOW" -f _NET_WM_ICON 32c ' $0 $1' _NET_WM_ICON)
[ "${icon#*)}" = " 256 256" ] || fail "the main window has no 256 x 256 icon: $icon"
click 自动音量选择框
record_start

clicked=$(now_ms)
click 按钮1
sleep 0.5
[ -z "$(program_windows | grep -vx "$MAIN_WINDOW")" ] || fail "a window opened besides the main window"
expect_master_volume 40000 "untouched during the run"
sleep_until $((clicked + 2500))

stopped=$(now_ms)
click 按钮2
sleep 0.4
expect_master_volume 40000 "untouched after the stop"
record_stop

expect_sound_starts "$clicked" 1500 "the start click"
expect_silence_after "$stopped" 50 "the stop click"

close_window "$MAIN_WINDOW"
wait_for_exit 50 || fail "the program did not end on close"
expect_master_volume 40000 "untouched after the close"
zero=0小时00分00秒
expect_file_bytes "$PROGRAM_DIR/File/1.ini" "$(today_text)" 0小时00分02秒 $zero $zero 0小时00分02秒 $zero $zero
echo "PASS"
