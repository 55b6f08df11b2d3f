#!/usr/bin/env bash
# SIGTERM during a run (automatic volume on, stage two) ends the run as
# closing the window does: silence, the master volume back, progress saved.
set -u
cd "$(dirname "$0")"
source ../harness/harness.sh
source ./program_driver.sh
scenario_start
file="$PROGRAM_DIR/File/1.ini"
zero=$(duration_text 0)

set_master_volume 30000
program_launch
pick_combo_item 阶段组合框 1
click 按钮1
notice=$(wait_for_other_window) || fail "the notice window did not open"
activate_window "$notice"
start_low=$(now_ms)
xdotool key alt+F4
harness_wait_for 30 window_gone "$notice" || fail "the notice window did not close"
start_high=$(now_ms)
record_start
sleep 0.3
expect_master_volume 15000 "50 percent of 30000 during the run"
sleep_until $((start_low + 2500))

end_low=$(now_ms)
kill -TERM "$PROGRAM_PID"
wait_for_exit 50 || fail "the program did not end on SIGTERM"
end_high=$(now_ms)
sleep 0.5
record_stop
# Nothing is heard once the program has gone (the recorder hears a window
# of 5 ms at most 10 ms late).
expect_silence_after "$end_low" $((end_high - end_low + 15)) "SIGTERM"
expect_master_volume 30000 "restored after SIGTERM"
read -r low high <<<"$(tick_bounds "$start_low" "$start_high" "$end_low" "$end_high")"
expect_run_file "$file" "$low" "$high" "$(today_text)" "$zero" RUN "$zero" "$zero" RUN "$zero"
echo "PASS"
