#!/usr/bin/env bash
# A run with automatic volume off: no notice window, the track starts with
# the click, the master volume is neither read nor changed, and stop silences
# the track and saves the counted seconds. The window carries the icon.
set -u
source "$(dirname "$0")/program_driver.sh"
scenario_start
file=$(progress_file 1)

program_launch_with_volume 40000
icon=$(xprop -id "$MAIN_WINDOW" -f _NET_WM_ICON 32c ' $0 $1' _NET_WM_ICON)
[ "${icon#*)}" = " 256 256" ] || fail "the main window has no 256 x 256 icon: $icon"
click 自动音量选择框
record_start

start_run
sleep 0.5
[ -z "$(program_windows | grep -vx "$MAIN_WINDOW")" ] || fail "a window opened besides the main window"
expect_master_volume 40000 "untouched during the run"
sleep_until $((START_LOW + 2500))

stop_run "$file"
sleep 0.3
expect_master_volume 40000 "untouched after the stop"
record_stop
expect_sound_starts "$START_LOW" 150 "the start click"
expect_silence_after "$STOP_LOW" 50 "the stop click"
read -r low high <<<"$(tick_bounds "$START_LOW" "$START_HIGH" "$STOP_LOW" "$STOP_HIGH")"
counted=("$(today_text)" RUN "$ZERO" "$ZERO" RUN "$ZERO" "$ZERO")
expect_run_file "$file" "$low" "$high" "${counted[@]}"

# The close saves the same captions again.
close_program
expect_master_volume 40000 "untouched after the close"
expect_run_file "$file" "$RUN_SECONDS" "$RUN_SECONDS" "${counted[@]}"
echo "PASS"
