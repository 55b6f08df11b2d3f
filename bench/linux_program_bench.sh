#!/usr/bin/env bash
# Measures the Linux program beside Debian's mpg123 on the same track and the
# same null sink, under the test harness: CPU and memory while looping stage
# one's track, CPU while idle with the window open, and the time from launch
# to the main window shown. Prints the figures next to their aims; it is a
# benchmark, not a test, and fails only when it cannot measure.
# Usage: bench/linux_program_bench.sh [build folder, default build/release]
set -u
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/release}")
export BURNIN_PROGRAM=$build/program/burnin
export CONTROL_PLACES=$build/tests/linux/control_places
export SOUND_EVENTS=$build/tests/linux/sound_events
for f in "$BURNIN_PROGRAM" "$CONTROL_PLACES"; do
  [ -x "$f" ] || { echo "missing $f: build the release preset first" >&2; exit 1; }
done
source tests/harness/harness.sh
source tests/linux/program_driver.sh
seconds=${BENCH_SECONDS:-30}

OTHER_PID=
trap 'program_stop_if_running; [ -n "$OTHER_PID" ] && kill "$OTHER_PID" 2>/dev/null; harness_stop' EXIT
harness_start || exit 1
program_prepare
track="$PROGRAM_DIR/File/1.mp3"
ticks=$(getconf CLK_TCK)

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }

# Percent of one core the process used over the measuring time, and its
# largest resident size seen, sampled each second.
measure() { # pid -> "cpu_percent peak_rss_kb"
  local pid=$1 before after started ended peak=0 rss
  before=$(cpu_ticks "$pid")
  started=$(now_ms)
  for ((s = 0; s < seconds; s++)); do
    sleep 1
    rss=$(rss_kb "$pid")
    ((rss > peak)) && peak=$rss
  done
  after=$(cpu_ticks "$pid")
  ended=$(now_ms)
  awk -v t=$((after - before)) -v hz="$ticks" -v ms=$((ended - started)) -v peak="$peak" \
    'BEGIN {printf "%.2f %d\n", 100 * t / hz / (ms / 1000), peak}'
}

# Launch to main window shown, best of five launches.
launch_ms=()
for ((n = 0; n < 5; n++)); do
  started=$(now_ms)
  "$PROGRAM_DIR/burnin" >/dev/null 2>&1 &
  PROGRAM_PID=$!
  until xdotool search --onlyvisible --pid "$PROGRAM_PID" >/dev/null 2>&1; do
    (($(now_ms) - started < 10000)) || { echo "the window did not show" >&2; exit 1; }
  done
  launch_ms+=($(($(now_ms) - started)))
  program_stop_if_running
done
best_launch=$(printf '%s\n' "${launch_ms[@]}" | sort -n | head -1)

program_launch
sleep 2
read -r idle_cpu idle_rss <<<"$(measure "$PROGRAM_PID")"
click 自动音量选择框
click 按钮1
sleep 2
read -r run_cpu run_rss <<<"$(measure "$PROGRAM_PID")"
click 按钮2
program_stop_if_running

mpg123 -q -o alsa --loop -1 "$track" >/dev/null 2>&1 &
OTHER_PID=$!
sleep 2
read -r mpg123_cpu mpg123_rss <<<"$(measure "$OTHER_PID")"
kill "$OTHER_PID"
wait "$OTHER_PID" 2>/dev/null
OTHER_PID=

ratio=$(awk -v a="$run_cpu" -v b="$mpg123_cpu" 'BEGIN {printf "%.2f", (b > 0 ? a / b : 0)}')
verdict() { awk "BEGIN {exit !($1)}" && echo met || echo "NOT met"; }
echo "Looping stage one ($seconds s each, same track, same null sink):"
printf '  program CPU %s %% of a core, mpg123 -o alsa %s %%: ratio %s (aim <= 0.8: %s)\n' \
  "$run_cpu" "$mpg123_cpu" "$ratio" "$(verdict "$ratio <= 0.8")"
printf '  program peak RSS %d kB (aim < 60 MB: %s), mpg123 %d kB\n' \
  "$run_rss" "$(verdict "$run_rss < 61440")" "$mpg123_rss"
printf 'Idle with the window open: CPU %s %% of a core (aim < 0.1: %s), RSS %d kB\n' \
  "$idle_cpu" "$(verdict "$idle_cpu < 0.1")" "$idle_rss"
printf 'Launch to main window shown: best %d ms of %s (aim <= 150: %s)\n' \
  "$best_launch" "${launch_ms[*]}" "$(verdict "$best_launch <= 150")"
