#!/usr/bin/env bash
# A run with automatic volume off: no notice window, the track starts with
# the click, the master volume is neither read nor changed, and stop silences
# the track and saves the counted seconds. The window carries the icon.
set -u
cd "$(dirname "$0")"
source ../harness/harness.sh
source ./program_driver.sh
scenario_start
file="$PROGRAM_DIR/File/1.ini"
zero=$(duration_text 0)

set_master_volume 40000
program_launch
icon=$(xprop -id "$MAIN_WINDOW" -f _NET_WM_ICON 32c ' $0 $1' _NET_WM_ICON)
[ "${icon#*)}" = " 256 256" ] || fail "the main window has no 256 x 256 icon: $icon"
click 自动音量选择框
record_start

point_at 按钮1
start_low=$(now_ms)
xdotool click 1
start_high=$(now_ms)
sleep 0.5
[ -z "$(program_windows | grep -vx "$MAIN_WINDOW")" ] || fail "a window opened besides the main window"
expect_master_volume 40000 "untouched during the run"
sleep_until $((start_low + 2500))

point_at 按钮2
stop_low=$(now_ms)
xdotool click 1
wait_for_file "$file" || fail "the stop saved nothing"
stop_high=$(now_ms)
sleep 0.3
expect_master_volume 40000 "untouched after the stop"
record_stop
expect_sound_starts "$start_low" 150 "the start click"
expect_silence_after "$stop_low" 50 "the stop click"
read -r low high <<<"$(tick_bounds "$start_low" "$start_high" "$stop_low" "$stop_high")"
expect_run_file "$file" "$low" "$high" "$(today_text)" RUN "$zero" "$zero" RUN "$zero" "$zero"

# The close saves the same captions again.
close_window "$MAIN_WINDOW"
wait_for_exit 50 || fail "the program did not end on close"
expect_master_volume 40000 "untouched after the close"
expect_run_file "$file" "$RUN_SECONDS" "$RUN_SECONDS" "$(today_text)" RUN "$zero" "$zero" RUN "$zero" "$zero"
echo "PASS"
