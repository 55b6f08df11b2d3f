# Drives the real Linux program from outside, as a user would, inside a
# running test harness: a fresh copy of the program folder per scenario,
# clicks at control places computed from the window definitions, keys through
# the window manager, and checks of the progress files, the sound the null
# sink heard and the master volume. Sourced by the scenario scripts (it
# brings in tests/harness/harness.sh unless already sourced); needs
# BURNIN_PROGRAM, CONTROL_PLACES and SOUND_EVENTS in the environment.

declare -F harness_start >/dev/null || source "$(dirname "${BASH_SOURCE[0]}")/../harness/harness.sh"

PROGRAM_PID=
PROGRAM_DIR=
MAIN_WINDOW=
RECORDER_PID=
WATCHER_PID=
SOUND_LOG=

fail() {
  echo "FAIL: $*" >&2
  if [ -s "${SOUND_LOG:-}" ]; then
    echo "what the null sink played (changes, arrival ms, stream ms):" >&2
    cat "$SOUND_LOG" >&2
  fi
  exit 1
}

now_ms() { date +%s%3N; }

# Starts the harness and makes a fresh copy of the program folder.
scenario_start() {
  harness_start || exit 1
  trap 'stop_recording_if_running; program_stop_if_running; harness_stop' EXIT
  program_prepare
}

# A fresh copy of the program folder: the executable and its File folder.
program_prepare() {
  PROGRAM_DIR="$HARNESS_DIR/program"
  mkdir -p "$PROGRAM_DIR/File"
  cp "$BURNIN_PROGRAM" "$PROGRAM_DIR/"
  cp "$(dirname "$BURNIN_PROGRAM")"/File/*.mp3 "$PROGRAM_DIR/File/"
}

program_stop_if_running() {
  if [ -n "$PROGRAM_PID" ] && kill -0 "$PROGRAM_PID" 2>/dev/null; then
    kill -KILL "$PROGRAM_PID" 2>/dev/null
    wait "$PROGRAM_PID" 2>/dev/null
  fi
  PROGRAM_PID=
}

# The visible top-level windows of the program, one id a line.
program_windows() {
  xdotool search --onlyvisible --pid "$PROGRAM_PID" 2>/dev/null | sort
}

# Starts the program (by default the copy in PROGRAM_DIR) and waits for its
# main window.
program_launch() {
  "${1:-$PROGRAM_DIR/burnin}" >"$HARNESS_DIR/program.log" 2>&1 &
  PROGRAM_PID=$!
  harness_wait_for 100 sh -c "xdotool search --onlyvisible --pid $PROGRAM_PID | grep -q ." ||
    fail "the main window did not show"
  MAIN_WINDOW=$(program_windows | head -1)
  # Give the window manager time to frame and place the window.
  sleep 0.3
  find_control_points
}

# Sets the user's master volume, then starts the program as program_launch.
program_launch_with_volume() { # volume [program]
  set_master_volume "$1"
  program_launch "${@:2}"
}

# Waits for a window of the program other than the main window and prints it.
wait_for_other_window() {
  local w
  for ((i = 0; i < 100; i++)); do
    w=$(program_windows | grep -vx "$MAIN_WINDOW" | head -1)
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.05
  done
  return 1
}

# A window's title, as the window manager reads it.
window_title() {
  LC_ALL=C.UTF-8 xprop -id "$1" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'
}

window_gone() { ! xdotool search --onlyvisible --pid "$PROGRAM_PID" 2>/dev/null | grep -qx "$1"; }

# The screen position of a window's client area.
client_origin() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}'
}

# The screen point to click on each control of the main window, found once
# the window shows (it is not moved): its centre, or for a check box the box
# itself at its left.
declare -A CONTROL_POINTS
find_control_points() {
  local x y name left top width height
  read -r x y <<<"$(client_origin "$MAIN_WINDOW")"
  CONTROL_POINTS=()
  while read -r name left top width height; do
    case $name in
      *选择框*) CONTROL_POINTS[$name]="$((x + left + 7)) $((y + top + height / 2))" ;;
      *) CONTROL_POINTS[$name]="$((x + left + width / 2)) $((y + top + height / 2))" ;;
    esac
  done < <("$CONTROL_PLACES" main | iconv -f GBK -t UTF-8)
}

# Puts the pointer on a control, so that a timed click is only the press.
point_at() {
  local point=${CONTROL_POINTS[$1]:-}
  [ -n "$point" ] || fail "no control named $1"
  xdotool mousemove --sync $point
}

click() {
  point_at "$1"
  xdotool click 1
}

# Sleeps until the wall clock reaches the moment, in ms since the epoch.
sleep_until() {
  local left=$(($1 - $(now_ms)))
  ((left > 0)) && sleep "$(awk -v l=$left 'BEGIN {printf "%.3f", l / 1000}')"
  return 0
}

# Asks a window to close as its close box does, through the window manager.
# activate_window first makes a timed close only the key press.
activate_window() {
  xdotool windowactivate --sync "$1"
}

close_window() {
  activate_window "$1"
  xdotool key alt+F4
}

# Opens a combo box of the main window and picks the item n places below the
# current one with the keyboard.
pick_combo_item() {
  local name=$1 steps=$2
  click "$name"
  sleep 0.3
  for ((i = 0; i < steps; i++)); do xdotool key Down; done
  xdotool key Return
}

wait_for_exit() { # tenths
  harness_wait_for "$1" sh -c "! kill -0 $PROGRAM_PID" || return 1
  wait "$PROGRAM_PID" 2>/dev/null
  PROGRAM_PID=
}

# --- runs ---

# Starts a run with automatic volume off: the count begins with the click,
# between START_LOW and START_HIGH.
start_run() {
  point_at 按钮1
  START_LOW=$(now_ms)
  xdotool click 1
  START_HIGH=$(now_ms)
}

# Starts a run with automatic volume on: the click (at CLICKED_AT) opens the
# notice window, which leaves the user's master volume as it is; the count
# begins when the notice is closed, between START_LOW and START_HIGH.
start_run_through_notice() { # the user's master volume
  local notice
  point_at 按钮1
  CLICKED_AT=$(now_ms)
  xdotool click 1
  notice=$(wait_for_other_window) || fail "the notice window did not open"
  [ "$(window_title "$notice")" = 提示 ] || fail "the notice window is titled $(window_title "$notice")"
  sleep 0.5
  expect_master_volume "$1" "untouched while the notice window is open"
  activate_window "$notice"
  START_LOW=$(now_ms)
  xdotool key alt+F4
  harness_wait_for 30 window_gone "$notice" || fail "the notice window did not close"
  START_HIGH=$(now_ms)
}

# Stops the run with the stop button and waits for the progress file it
# saves; the count ended between STOP_LOW and STOP_HIGH.
stop_run() { # file [copy of its contents before the stop]
  point_at 按钮2
  STOP_LOW=$(now_ms)
  xdotool click 1
  wait_for_file "$@" || fail "the stop saved nothing"
  STOP_HIGH=$(now_ms)
}

# Closes the main window and waits for the program to end.
close_program() {
  close_window "$MAIN_WINDOW"
  wait_for_exit 50 || fail "the program did not end on close"
}

# --- progress files ---

ZERO=0小时00分00秒

# The progress file of device n in the program folder.
progress_file() { echo "$PROGRAM_DIR/File/$1.ini"; }

today_text() { date +%Y年%-m月%-d日; }

# The bytes the program writes to a fresh progress file, as GBK.
progress_file_bytes() { # date today1 today2 today3 total1 total2 total3
  printf '[Today]\r\nCurrent date=%s\r\nStage one=%s\r\nStage two=%s\r\nStage three=%s\r\n[Aggregate]\r\nStage one=%s\r\nStage two=%s\r\nStage three=%s\r\n' "$@" |
    iconv -f UTF-8 -t GBK
}

expect_file_bytes() { # file, then the arguments of progress_file_bytes
  local file=$1
  shift
  [ -f "$file" ] || fail "$file was not written"
  if ! cmp -s "$file" <(progress_file_bytes "$@"); then
    echo "expected:" >&2; progress_file_bytes "$@" | iconv -f GBK -t UTF-8 | cat -A >&2
    echo "found:" >&2; iconv -f GBK -t UTF-8 "$file" | cat -A >&2
    fail "$file does not hold the expected bytes"
  fi
}

# H小时MM分SS秒 for a number of seconds.
duration_text() {
  printf '%d小时%02d分%02d秒' $(($1 / 3600)) $(($1 / 60 % 60)) $(($1 % 60))
}

# How many one-second ticks a run can have counted, "low high", when it began
# between the first two moments and ended between the last two (ms). A loaded
# machine widens the bounds; a calm one leaves a single count.
tick_bounds() { # start_low start_high end_low end_high
  echo $((($3 - $2) / 1000)) $((($4 - $1) / 1000))
}

# The file holds, byte for byte, the progress of a run that counted some n
# seconds within the bounds: each argument RUN stands for n seconds, RUN+s
# for s + n seconds. Sets RUN_SECONDS to the n found.
expect_run_file() { # file low high, then the arguments of progress_file_bytes
  local file=$1 low=$2 high=$3 n arg values
  shift 3
  [ -f "$file" ] || fail "$file was not written"
  for ((n = low; n <= high; n++)); do
    values=()
    for arg in "$@"; do
      case $arg in
        RUN) values+=("$(duration_text "$n")") ;;
        RUN+*) values+=("$(duration_text $((n + ${arg#RUN+})))") ;;
        *) values+=("$arg") ;;
      esac
    done
    if cmp -s "$file" <(progress_file_bytes "${values[@]}"); then
      echo "$(basename "$file") holds a run of $n s (bounds $low to $high)"
      RUN_SECONDS=$n
      return 0
    fi
  done
  echo "found:" >&2; iconv -f GBK -t UTF-8 "$file" | cat -A >&2
  fail "$file does not hold a run of $low to $high s in the expected layout"
}

# Waits up to 5 s for a file to exist, or to differ from a copy of its old
# contents.
wait_for_file() { # file [old copy]
  if [ -n "${2:-}" ]; then
    harness_wait_for 50 sh -c "! cmp -s '$1' '$2'"
  else
    harness_wait_for 50 test -e "$1"
  fi
}

# --- master volume: the pulse plugin's "Master", raw values ---

master_volume() { amixer get Master | awk -F'Playback ' '/Front Left:/ {split($2, a, " "); print a[1]}'; }
set_master_volume() { amixer -q set Master "$1"; }

expect_master_volume() {
  local found
  found=$(master_volume)
  [ "$found" = "$1" ] || fail "master volume $found, expected $1 ($2)"
}

# --- what the null sink heard ---

# Watches the null sink's monitor live: sound_events stamps each change
# between sound and silence with its time of arrival, so the timing does not
# rest on the recording's length (a loaded machine can drop a stretch). The
# recorder's latency stays short: with a long one, the sink's rewinds when a
# player connects blank out part of what the recorder holds.
record_start() {
  SOUND_LOG="$HARNESS_DIR/sound_events.txt"
  rm -f "$HARNESS_DIR/sound.fifo" && mkfifo "$HARNESS_DIR/sound.fifo"
  "$SOUND_EVENTS" <"$HARNESS_DIR/sound.fifo" >"$SOUND_LOG" &
  WATCHER_PID=$!
  parec --device=burnin_sink.monitor --format=s16le --rate=44100 --channels=2 --latency-msec=10 \
    --raw >"$HARNESS_DIR/sound.fifo" 2>"$HARNESS_DIR/parec.log" &
  RECORDER_PID=$!
  harness_wait_for 50 grep -q '^listening' "$SOUND_LOG" || fail "the recorder did not start"
}

record_stop() {
  kill "$RECORDER_PID" 2>/dev/null && wait "$RECORDER_PID" 2>/dev/null
  wait "$WATCHER_PID" 2>/dev/null
  RECORDER_PID= WATCHER_PID=
}

stop_recording_if_running() {
  [ -n "${RECORDER_PID:-}" ] && kill "$RECORDER_PID" 2>/dev/null && wait "$RECORDER_PID" 2>/dev/null
  [ -n "${WATCHER_PID:-}" ] && kill "$WATCHER_PID" 2>/dev/null && wait "$WATCHER_PID" 2>/dev/null
  RECORDER_PID= WATCHER_PID=
}

# The stretches of sound heard, "start end" in ms since the epoch, as they
# arrived (an unfinished one ends at the recording's stop).
heard_stretches() {
  awk '$1 == "sound" {s = $2} $1 == "silence" && s {print s, $2; s = 0}
       END {if (s) print s, "9999999999999"}' "$SOUND_LOG"
}

# The same in stream time: where in the stream each stretch lies, in ms.
heard_stretches_in_stream() {
  awk '$1 == "sound" {s = $3; on = 1} $1 == "silence" && on {print s, $3; on = 0}' "$SOUND_LOG"
}

# Sound began within limit ms after the moment, and none was heard in the
# half second before it.
expect_sound_starts() { # moment_ms limit_ms what
  local first
  first=$(heard_stretches | awk -v m="$1" '$2 > m - 500 {print $1; exit}')
  [ -n "$first" ] || fail "no sound after $3"
  local delay=$((first - $1))
  echo "sound $delay ms after $3"
  ((delay >= 0)) || fail "sound already playing before $3 ($delay ms)"
  ((delay <= $2)) || fail "sound began $delay ms after $3, more than $2 ms"
}

# Sound ended for good within limit ms after the moment: the last stretch
# heard, however the sound was broken up before, ends by then.
expect_silence_after() { # moment_ms limit_ms what
  local last_end
  last_end=$(heard_stretches | awk 'END {print $2}')
  [ -n "$last_end" ] || fail "no sound at all before $3"
  local delay=$((last_end - $1))
  echo "silence $delay ms after $3"
  ((delay <= $2)) || fail "sound went on $delay ms after $3, more than $2 ms"
}
