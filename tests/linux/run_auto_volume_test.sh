#!/usr/bin/env bash
# A run with automatic volume on: the notice window plays the track at the
# user's volume, the run lowers the master volume to stage one's 30 percent,
# stop silences the track and puts the volume back, and the progress file
# holds the counted seconds.
set -u
source "$(dirname "$0")/program_driver.sh"
scenario_start
file=$(progress_file 1)

program_launch_with_volume 40000
record_start
start_run_through_notice 40000
sleep 0.3
expect_master_volume 12000 "30 percent during the run"
sleep_until $((START_LOW + 2500))

stop_run "$file"
sleep 0.3
expect_master_volume 40000 "restored after the stop"
record_stop

expect_sound_starts "$CLICKED_AT" 150 "the start click (notice window)"
# The run restarts the track when the notice closes: sound again soon.
heard_stretches | awk -v s="$START_HIGH" '$1 < s + 1500 && $2 > s + 500 {found = 1} END {exit !found}' ||
  fail "no sound in the run's first seconds"
expect_silence_after "$STOP_LOW" 50 "the stop click"
read -r low high <<<"$(tick_bounds "$START_LOW" "$START_HIGH" "$STOP_LOW" "$STOP_HIGH")"
expect_run_file "$file" "$low" "$high" "$(today_text)" RUN "$ZERO" "$ZERO" RUN "$ZERO" "$ZERO"

close_program
expect_master_volume 40000 "restored again by the close"
echo "PASS"
