#!/usr/bin/env bash
# Picking the second device loads File/2.ini: a run then resumes from its
# stored durations (today's too, as they are of today), carries into the
# hour, and stop and close save to that file alone.
set -u
source "$(dirname "$0")/program_driver.sh"
scenario_start
file=$(progress_file 2)
today=$(today_text)

progress_file_bytes "$today" 1小时02分03秒 0小时10分00秒 "$ZERO" 5小时59分59秒 7小时00分00秒 "$ZERO" >"$file"
cp "$file" "$HARNESS_DIR/stored.ini"
program_launch
pick_combo_item 设备组合框 1
click 自动音量选择框
start_run
sleep_until $((START_LOW + 1500))
stop_run "$file" "$HARNESS_DIR/stored.ini"
read -r low high <<<"$(tick_bounds "$START_LOW" "$START_HIGH" "$STOP_LOW" "$STOP_HIGH")"
counted=("$today" RUN+3723 0小时10分00秒 "$ZERO" RUN+21599 7小时00分00秒 "$ZERO")
expect_run_file "$file" "$low" "$high" "${counted[@]}"

close_program
expect_run_file "$file" "$RUN_SECONDS" "$RUN_SECONDS" "${counted[@]}"
[ ! -e "$(progress_file 1)" ] || fail "the first device's file was written"
echo "PASS"
