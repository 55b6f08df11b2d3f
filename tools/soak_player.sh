#!/usr/bin/env bash
# Soaks the looping track player on an optimised build with no sanitizers:
# PASSES passes (10,000 by default) of a half-second track, played SPEED
# times faster than real time, stopped and restarted at random points.
# Prints passes, stop latencies, threads, open files, heap and resident
# memory before and after; fails when any of them does not hold.
# Usage: tools/soak_player.sh [PASSES [SPEED [STOP_LIMIT_MS [BUILD_DIR]]]]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
passes=${1:-10000}
speed=${2:-200}
stop_limit_ms=${3:-20}
build=${4:-$root/build/soak}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DBURNIN_TESTS=ON -DBURNIN_SANITIZE=OFF -DBURNIN_QT=OFF >/dev/null
cmake --build "$build" --target sound_player_soak >/dev/null

start=$(date +%s%N)
status=0
"$build/tests/sound/sound_player_soak" "$build/tests/sound/tracks/stereo44.mp3" \
  "$passes" "$speed" "$stop_limit_ms" || status=$?
echo "took $((($(date +%s%N) - start) / 1000000)) ms"
exit $status
