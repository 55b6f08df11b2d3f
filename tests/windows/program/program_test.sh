#!/usr/bin/env bash
# Records the null sink while program_probe.exe drives copies of the Windows
# program (the build's dist folder) under Wine. Usage: program_test.sh
# BUILD_DIR (inside the test harness; run alone, it starts one).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
build=$(cd "${1:?usage: program_test.sh BUILD_DIR}" && pwd)
[ -n "${PULSE_SERVER:-}" ] || exec "$root/tests/harness/with_harness.sh" "$0" "$build"

source "$root/tests/harness/harness.sh"
source "$root/tests/windows/wine_prefix.sh"
wine_prefix_ensure "$build"

source "$root/tests/windows/sound/make_probe_tracks.sh"
tracks=$(make_probe_tracks "$build")
work="$HARNESS_DIR/program-runs"
mkdir -p "$work"

recording="$HARNESS_DIR/program.wav"
harness_record_start "$recording"
status=0
BURNIN_RECORDING=$(winepath -w "$recording") \
BURNIN_DIST=$(winepath -w "$build/dist") \
BURNIN_WORK=$(winepath -w "$work") \
BURNIN_SHORT_TRACK=$(winepath -w "$tracks/short.mp3") \
  wine "$build/tests/windows/program/program_probe.exe" --gtest_color=no "${@:2}" || status=$?
harness_record_stop
exit $status
