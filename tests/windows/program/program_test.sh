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

# An install folder GBK cannot spell, its path longer than MAX_PATH; Wine's
# CreateProcess cannot start a program that deep, so it is started here.
foreign="$work/Prüfung-ø-한글"
while [ ${#foreign} -lt 320 ]; do foreign="$foreign/$(printf 'd%.0s' {1..40})-${#foreign}"; done
mkdir -p "$foreign/File"
cp "$build/dist/burnin.exe" "$build/dist/libmpg123-0.dll" "$foreign/"
cp "$build/dist/File/"*.mp3 "$foreign/File/"

recording="$HARNESS_DIR/program.wav"
harness_record_start "$recording"
export BURNIN_RECORDING=$(winepath -w "$recording")
export BURNIN_DIST=$(winepath -w "$build/dist")
export BURNIN_WORK=$(winepath -w "$work")
export BURNIN_SHORT_TRACK=$(winepath -w "$tracks/short.mp3")
probe="$build/tests/windows/program/program_probe.exe"
status=0
wine "$probe" --gtest_color=no --gtest_filter=-*Foreign* || status=$?

(cd "$foreign" && exec wine ./burnin.exe) &
program=$!
# winepath shortens a path this long; drive Z: is the root folder.
BURNIN_FOREIGN_FOLDER="Z:${foreign//\//\\}" wine "$probe" --gtest_color=no --gtest_filter=*Foreign* || status=$?
wait "$program" || status=$?
harness_record_stop
exit $status
