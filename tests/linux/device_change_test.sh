#!/usr/bin/env bash
# Picking the second device loads File/2.ini: a run then resumes from its
# stored durations (today's too, as they are of today), carries into the
# hour, and stop and close save to that file alone.
set -u
cd "$(dirname "$0")"
source ../harness/harness.sh
source ./program_driver.sh
scenario_start
file="$PROGRAM_DIR/File/2.ini"
zero=$(duration_text 0)
today=$(today_text)

progress_file_bytes "$today" 1小时02分03秒 0小时10分00秒 "$zero" 5小时59分59秒 7小时00分00秒 "$zero" >"$file"
cp "$file" "$HARNESS_DIR/stored.ini"
program_launch
pick_combo_item 设备组合框 1
click 自动音量选择框
point_at 按钮1
start_low=$(now_ms)
xdotool click 1
start_high=$(now_ms)
sleep_until $((start_low + 1500))
point_at 按钮2
stop_low=$(now_ms)
xdotool click 1
wait_for_file "$file" "$HARNESS_DIR/stored.ini" || fail "the stop saved nothing"
stop_high=$(now_ms)
read -r low high <<<"$(tick_bounds "$start_low" "$start_high" "$stop_low" "$stop_high")"
counted=("$today" RUN+3723 0小时10分00秒 "$zero" RUN+21599 7小时00分00秒 "$zero")
expect_run_file "$file" "$low" "$high" "${counted[@]}"

close_window "$MAIN_WINDOW"
wait_for_exit 50 || fail "the program did not end on close"
expect_run_file "$file" "$RUN_SECONDS" "$RUN_SECONDS" "${counted[@]}"
[ ! -e "$PROGRAM_DIR/File/1.ini" ] || fail "the first device's file was written"
echo "PASS"
