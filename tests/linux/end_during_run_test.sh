#!/usr/bin/env bash
# Ending the program during a run with automatic volume on, by closing the
# main window or by SIGTERM: nothing is heard once the program has gone, the
# master volume comes back, the program ends and the progress file holds the
# run's seconds under the stage it ran.
# Usage: end_during_run_test.sh close|sigterm
set -u
source "$(dirname "$0")/program_driver.sh"

# Each way of ending runs its own stage and user volume, so that the scaled
# volume and the saved stage show which case ran.
case ${1:-} in
  close)
    ending="closing the main window" stage_steps=2 user_volume=50000 run_volume=40000 percent=80
    saved=("$ZERO" "$ZERO" RUN) # stage three
    ;;
  sigterm)
    ending="SIGTERM" stage_steps=1 user_volume=30000 run_volume=15000 percent=50
    saved=("$ZERO" RUN "$ZERO") # stage two
    ;;
  *)
    echo "usage: $0 close|sigterm" >&2
    exit 2
    ;;
esac

end_program() {
  case $1 in
    close)
      activate_window "$MAIN_WINDOW"
      END_LOW=$(now_ms)
      xdotool key alt+F4
      ;;
    sigterm)
      END_LOW=$(now_ms)
      kill -TERM "$PROGRAM_PID"
      ;;
  esac
  wait_for_exit 50 || fail "the program did not end on $ending"
  END_HIGH=$(now_ms)
}

scenario_start
file=$(progress_file 1)
program_launch_with_volume $user_volume
pick_combo_item 阶段组合框 $stage_steps
start_run_through_notice $user_volume
record_start
sleep 0.3
expect_master_volume $run_volume "$percent percent of $user_volume during the run"
sleep_until $((START_LOW + 2500))

end_program "$1"
sleep 0.5
record_stop
# Nothing is heard once the program has gone (the recorder hears a window
# of 5 ms at most 10 ms late).
expect_silence_after "$END_LOW" $((END_HIGH - END_LOW + 15)) "$ending"
expect_master_volume $user_volume "restored after $ending"
read -r low high <<<"$(tick_bounds "$START_LOW" "$START_HIGH" "$END_LOW" "$END_HIGH")"
expect_run_file "$file" "$low" "$high" "$(today_text)" "${saved[@]}" "${saved[@]}"
echo "PASS"
