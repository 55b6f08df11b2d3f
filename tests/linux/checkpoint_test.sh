#!/usr/bin/env bash
# With every core kept busy by another process, a run's timer still delivers
# 60 periodic events in 60 s: the progress file is first written 60 +- 1 s
# after the start, holding one minute, and a SIGKILL later leaves that
# minute in the file.
set -u
source "$(dirname "$0")/program_driver.sh"
scenario_start

LOAD_PIDS=()
stop_load() {
  local pid
  for pid in "${LOAD_PIDS[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  LOAD_PIDS=()
}
trap 'stop_load; program_stop_if_running; harness_stop' EXIT

program_launch
click 自动音量选择框
for ((i = 0; i < $(nproc); i++)); do
  (while :; do :; done) &
  LOAD_PIDS+=($!)
done

file=$(progress_file 1)
started=$(now_ms)
click 按钮1
while [ ! -e "$file" ] && (($(now_ms) - started < 75000)); do sleep 0.05; done
written=$(now_ms)
[ -e "$file" ] || fail "no checkpoint within 75 s"
echo "checkpoint written $((written - started)) ms after the start"
((written - started >= 59000 && written - started <= 61000)) ||
  fail "checkpoint after $((written - started)) ms, not 60 +- 1 s"
minute=0小时01分00秒
expect_file_bytes "$file" "$(today_text)" $minute $ZERO $ZERO $minute $ZERO $ZERO

sleep 3
kill -KILL "$PROGRAM_PID"
wait "$PROGRAM_PID" 2>/dev/null
PROGRAM_PID=
stop_load
expect_file_bytes "$file" "$(today_text)" $minute $ZERO $ZERO $minute $ZERO $ZERO
echo "PASS"
