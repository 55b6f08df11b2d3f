#!/usr/bin/env bash
# Closing the main window during a run (automatic volume on, stage three):
# nothing is heard once the program has gone, the master volume comes
# back, the program ends and the progress file holds the run's seconds.
set -u
cd "$(dirname "$0")"
source ../harness/harness.sh
source ./program_driver.sh
scenario_start
file="$PROGRAM_DIR/File/1.ini"
zero=$(duration_text 0)

set_master_volume 50000
program_launch
pick_combo_item 阶段组合框 2
click 按钮1
notice=$(wait_for_other_window) || fail "the notice window did not open"
activate_window "$notice"
start_low=$(now_ms)
xdotool key alt+F4
harness_wait_for 30 window_gone "$notice" || fail "the notice window did not close"
start_high=$(now_ms)
record_start
sleep 0.3
expect_master_volume 40000 "80 percent of 50000 during the run"
sleep_until $((start_low + 2500))

activate_window "$MAIN_WINDOW"
end_low=$(now_ms)
xdotool key alt+F4
wait_for_exit 50 || fail "the program did not end on close"
end_high=$(now_ms)
sleep 0.5
record_stop
# Nothing is heard once the program has gone (the recorder hears a window
# of 5 ms at most 10 ms late).
expect_silence_after "$end_low" $((end_high - end_low + 15)) "closing the main window"
expect_master_volume 50000 "restored by the close"
read -r low high <<<"$(tick_bounds "$start_low" "$start_high" "$end_low" "$end_high")"
expect_run_file "$file" "$low" "$high" "$(today_text)" "$zero" "$zero" RUN "$zero" "$zero" RUN
echo "PASS"
