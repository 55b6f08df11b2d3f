#!/usr/bin/env bash
# Runs the libFuzzer targets of a fuzz build, one after the other.
#
#   fuzz/run_fuzz.sh --short [BUILD_DIR]    replays the seeds and fuzzes each
#                                           target a few seconds (about 20 s in all)
#   fuzz/run_fuzz.sh SECONDS [BUILD_DIR]    fuzzes each target SECONDS long,
#                                           growing the kept corpus
#
# BUILD_DIR is the fuzz build folder (default build/fuzz); --build DIR works
# too. Inputs that break a target are kept in BUILD_DIR/fuzz/artifacts/.
# Exits non-zero when any target failed.
set -uo pipefail
cd "$(dirname "$0")/.."

usage() { echo "usage: $0 --short|SECONDS [BUILD_DIR]" >&2; exit 2; }

seconds=
build=build/fuzz
while (($#)); do
  case $1 in
    --short) seconds=5 short=1 ;;
    --build) build=${2:?--build needs a folder}; shift ;;
    [0-9]*) seconds=$1 ;;
    -*) usage ;;
    *) build=$1 ;;
  esac
  shift
done
[ -n "$seconds" ] || usage

here=$build/fuzz
targets=(ini_text_fuzz text_fuzz mpeg_reader_fuzz)
for t in "${targets[@]}"; do
  [ -x "$here/$t" ] || { echo "$here/$t is missing: build the fuzz preset first" >&2; exit 2; }
done
[ -d "$here/seeds" ] || { echo "$here/seeds is missing: build the fuzz preset first" >&2; exit 2; }

declare -A max_len=([ini_text_fuzz]=2048 [text_fuzz]=512 [mpeg_reader_fuzz]=16384)

failed=0
for t in "${targets[@]}"; do
  if [ -n "${short:-}" ]; then
    # A fresh corpus each time, so the short check does not slow down as
    # long runs grow the kept one.
    corpus=$here/short-corpus/$t
    rm -rf "$corpus"
  else
    corpus=$here/corpus/$t
  fi
  artifacts=$here/artifacts/$t
  log=$here/logs/$t.log
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"

  "$here/$t" "$corpus" "$here/seeds/$t" \
    -dict="fuzz/$t.dict" -max_len="${max_len[$t]}" -max_total_time="$seconds" \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$artifacts/" >"$log" 2>&1
  status=$?

  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  if ((status == 0)); then
    echo "$t: ok, ${runs:-?} runs, ${rate:-?} exec/s"
  else
    failed=1
    echo "$t: FAILED (exit $status), log $log"
    grep -E 'property broken|ERROR: |SUMMARY|Test unit written' "$log" | head -8 | sed 's/^/  /'
  fi
done
exit $failed
