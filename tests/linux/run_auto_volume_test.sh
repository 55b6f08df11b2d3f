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
file="$PROGRAM_DIR/File/1.ini"
zero=$(duration_text 0)

set_master_volume 40000
program_launch
record_start

point_at 按钮1
clicked=$(now_ms)
xdotool click 1
notice=$(wait_for_other_window) || fail "the notice window did not open"
[ "$(window_title "$notice")" = 提示 ] || fail "the notice window is titled $(window_title "$notice")"
sleep 0.5
expect_master_volume 40000 "untouched while the notice window is open"
activate_window "$notice"
start_low=$(now_ms)
xdotool key alt+F4
harness_wait_for 30 window_gone "$notice" || fail "the notice window did not close"
start_high=$(now_ms)
sleep 0.3
expect_master_volume 12000 "30 percent during the run"
sleep_until $((start_low + 2500))

point_at 按钮2
stop_low=$(now_ms)
xdotool click 1
wait_for_file "$file" || fail "the stop saved nothing"
stop_high=$(now_ms)
sleep 0.3
expect_master_volume 40000 "restored after the stop"
record_stop

expect_sound_starts "$clicked" 150 "the start click (notice window)"
# The run restarts the track when the notice closes: sound again soon.
heard_stretches | awk -v s="$start_high" '$1 < s + 1500 && $2 > s + 500 {found = 1} END {exit !found}' ||
  fail "no sound in the run's first seconds"
expect_silence_after "$stop_low" 50 "the stop click"
read -r low high <<<"$(tick_bounds "$start_low" "$start_high" "$stop_low" "$stop_high")"
expect_run_file "$file" "$low" "$high" "$(today_text)" RUN "$zero" "$zero" RUN "$zero" "$zero"

close_window "$MAIN_WINDOW"
wait_for_exit 50 || fail "the program did not end on close"
expect_master_volume 40000 "restored again by the close"
echo "PASS"
