#!/usr/bin/env bash
# Measures the Windows program under Wine beside the cross-built mpg123.exe
# (same libmpg123 source, same waveOut path) playing the same track under the
# same Wine to the same null sink: CPU while looping stage one's track, the
# program's working set, and the time from launch to the main window shown.
# A benchmark, not a test: it prints figures and fails only when it cannot
# measure. Usage: bench/windows_program_bench.sh [BUILD_DIR] (default
# build/windows, with the Wine tests built, for its clicker);
# BENCH_SECONDS sets the measuring time (default 20).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/windows}" && pwd)
seconds=${BENCH_SECONDS:-20}
[ -n "${PULSE_SERVER:-}" ] || exec "$root/tests/harness/with_harness.sh" "$0" "$build"

clicker="$build/tests/windows/program/program_clicker.exe"
player="$build/mpg123-windows/prefix/bin/mpg123.exe"
for f in "$build/dist/burnin.exe" "$clicker" "$player"; do
  [ -f "$f" ] || { echo "missing $f: build the windows preset (with BURNIN_WINE_TESTS on)" >&2; exit 1; }
done
source "$root/tests/windows/wine_prefix.sh"
wine_prefix_ensure "$build"
# One server for the whole run, so that each launch finds it running.
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT

folder="$HARNESS_DIR/bench-program"
mkdir -p "$folder/File"
cp "$build/dist/burnin.exe" "$build/dist/libmpg123-0.dll" "$folder/"
cp "$build/dist/File/"*.mp3 "$folder/File/"
track="$folder/File/1.mp3"

ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
server_pid=$(pgrep -n -x wineserver64 || pgrep -n -x wineserver)

# Percent of one core that the process, and the Wine server beside it, used
# over the measuring time.
measure_cpu() { # pid label
  local pid=$1 label=$2 own0 own1 srv0 srv1
  sleep 2 # past the start
  own0=$(cpu_ticks "$pid"); srv0=$(cpu_ticks "$server_pid")
  sleep "$seconds"
  own1=$(cpu_ticks "$pid"); srv1=$(cpu_ticks "$server_pid")
  awk -v label="$label" -v own=$((own1 - own0)) -v srv=$((srv1 - srv0)) -v ticks="$ticks" -v s="$seconds" \
    'BEGIN { printf "%-34s %6.2f %% of one core (+ wineserver %.2f %%)\n", label, own * 100 / ticks / s, srv * 100 / ticks / s }'
}

window_shown() { xdotool search --onlyvisible --name '^Orvane' >/dev/null 2>&1; }

# Launch to main window shown, three times; the program then loops stage one.
launches=()
for round in 1 2 3; do
  started=$(now_ms)
  (cd "$folder" && exec wine ./burnin.exe) &
  program=$!
  until window_shown; do sleep 0.005; done
  launches+=($(($(now_ms) - started)))
  if ((round < 3)); then
    kill "$program"; wait "$program" 2>/dev/null || true
    while window_shown; do sleep 0.05; done
  fi
done
printf '%-34s %s ms (three launches: %s)\n' "launch to main window shown" \
  "$(printf '%s\n' "${launches[@]}" | sort -n | sed -n 2p)" "${launches[*]}"

wine "$clicker" "自动控制音量比例" "开始煲机"
measure_cpu "$program" "program looping stage one"
printf '%-34s %s kB resident (peak %s kB)\n' "program working set" \
  "$(awk '/^VmRSS:/ {print $2}' "/proc/$program/status")" "$(awk '/^VmHWM:/ {print $2}' "/proc/$program/status")"
kill "$program"; wait "$program" 2>/dev/null || true

wine "$player" -q --loop -1 "$(winepath -w "$track")" &
other=$!
measure_cpu "$other" "mpg123.exe looping the same track"
printf '%-34s %s kB resident\n' "mpg123.exe working set" "$(awk '/^VmRSS:/ {print $2}' "/proc/$other/status")"
kill "$other"; wait "$other" 2>/dev/null || true
