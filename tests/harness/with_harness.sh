#!/usr/bin/env bash
# Runs one command inside a fresh test harness (display, window manager, sound
# server with a null sink) and returns its exit status.
set -u
source "$(dirname "$0")/harness.sh"
harness_start || exit 1
"$@"
status=$?
harness_stop
exit $status
