#!/usr/bin/env bash
# Runs every Windows test of a build under Wine, inside the test harness
# (virtual display, window manager, PulseAudio null sink).
#
#   tests/windows/run_wine_tests.sh [BUILD_DIR [PATTERN]]
#
# What counts as a test:
# - every *_tests.exe in BUILD_DIR/tests/windows and below, run from its own folder;
# - every executable tests/windows/*/*.sh script, run with BUILD_DIR (absolute)
#   as its one argument.
# Both run with the harness's DISPLAY, PULSE_SERVER and HOME and with this
# build's Wine prefix in WINEPREFIX (96 DPI); a script wanting another DPI sources
# tests/windows/wine_prefix.sh and calls wine_prefix_ensure BUILD_DIR 144.
# PATTERN (a grep -E expression) picks tests by name. Each test's output goes to
# BUILD_DIR/wine-test-logs/NAME.log and is printed when it fails. Ends with the
# line "N passed, M failed"; exits non-zero on any failure or when nothing ran.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_root=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$source_root/build/windows}" && pwd) || exit 2
pattern=${2:-.}
per_test_timeout=${WINE_TEST_TIMEOUT:-600}

source "$source_root/tests/harness/harness.sh"
source "$here/wine_prefix.sh"

stop_all() {
  wine_prefix_stop
  harness_stop
}

harness_start || exit 2
trap stop_all EXIT
trap 'stop_all; exit 130' INT TERM
wine_prefix_ensure "$build" 96 || exit 2

logs="$build/wine-test-logs"
mkdir -p "$logs"

tests=()
while IFS= read -r exe; do
  tests+=("exe:$exe")
done < <(find "$build/tests/windows" -name '*_tests.exe' -type f 2>/dev/null | sort)
for script in "$here"/*/*.sh; do
  [ -x "$script" ] && tests+=("script:$script")
done

passed=0
failed=0
failures=()
for entry in "${tests[@]}"; do
  kind=${entry%%:*}
  path=${entry#*:}
  name=$(basename "$path")
  [ "$kind" = script ] && name="$(basename "$(dirname "$path")")/$name"
  grep -qE -- "$pattern" <<<"$name" || continue
  log="$logs/${name//\//_}.log"
  started=$SECONDS
  if [ "$kind" = exe ]; then
    (cd "$(dirname "$path")" && timeout "$per_test_timeout" wine "$path" --gtest_color=no) >"$log" 2>&1
  else
    timeout "$per_test_timeout" "$path" "$build" >"$log" 2>&1
  fi
  status=$?
  took=$((SECONDS - started))
  if [ $status -eq 0 ]; then
    passed=$((passed + 1))
    echo "PASS  $name (${took} s)"
  else
    failed=$((failed + 1))
    failures+=("$name")
    echo "FAIL  $name (exit $status, ${took} s), log: $log"
    tail -n 60 "$log" | sed 's/^/    /'
  fi
done

echo
if ((failed)); then
  echo "Failed: ${failures[*]}"
fi
if ((passed + failed == 0)); then
  echo "No Windows tests found in $build (matching '$pattern')."
  echo "0 passed, 0 failed"
  exit 1
fi
echo "$passed passed, $failed failed"
((failed == 0))
