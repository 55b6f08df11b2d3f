#!/usr/bin/env bash
# Records the null sink while waveout_timing_probe.exe plays through the
# waveOut output and the track player under Wine, so the probe can time what
# was heard. Usage: waveout_timing_test.sh BUILD_DIR (inside the test harness;
# run alone, it starts one).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
build=$(cd "${1:?usage: waveout_timing_test.sh BUILD_DIR}" && pwd)
[ -n "${PULSE_SERVER:-}" ] || exec "$root/tests/harness/with_harness.sh" "$0" "$build"

source "$root/tests/harness/harness.sh"
source "$root/tests/windows/wine_prefix.sh"
wine_prefix_ensure "$build"

probe="$build/tests/windows/sound/waveout_timing_probe.exe"
source "$root/tests/windows/sound/make_probe_tracks.sh"
tracks=$(make_probe_tracks "$build")

recording="$HARNESS_DIR/waveout_timing.wav"
harness_record_start "$recording"
status=0
BURNIN_RECORDING=$(winepath -w "$recording") \
BURNIN_TRACK=$(winepath -w "$tracks/noise.mp3") \
BURNIN_SHORT_TRACK=$(winepath -w "$tracks/short.mp3") \
  wine "$probe" --gtest_color=no || status=$?
harness_record_stop
exit $status
