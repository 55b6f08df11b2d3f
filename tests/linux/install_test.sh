#!/usr/bin/env bash
# `cmake --install` puts the program, its tracks, icon and desktop entry
# under a prefix; the installed program, started through its bin link, runs
# from its own folder and keeps its progress there.
set -u
source "$(dirname "$0")/program_driver.sh"
harness_start || exit 1
trap 'program_stop_if_running; harness_stop' EXIT

prefix="$HARNESS_DIR/prefix"
cmake --install "${BURNIN_BUILD_DIR:?}" --prefix "$prefix" >"$HARNESS_DIR/install.log" || fail "install failed"
folder="$prefix/lib/headphone-burnin"
for f in "$folder/burnin" "$folder/File/1.mp3" "$folder/File/2.mp3" "$folder/File/3.mp3" \
  "$prefix/share/icons/hicolor/256x256/apps/burnin.png" "$prefix/share/applications/burnin.desktop"; do
  [ -s "$f" ] || fail "not installed: ${f#"$prefix"/}"
done
grep -qx "Exec=$folder/burnin" "$prefix/share/applications/burnin.desktop" ||
  fail "the desktop entry does not start the installed program"
grep -qx "Icon=burnin" "$prefix/share/applications/burnin.desktop" || fail "the desktop entry has no icon"
[ "$(identify -format '%w %h' "$prefix/share/icons/hicolor/256x256/apps/burnin.png")" = "256 256" ] ||
  fail "the icon is not 256 x 256"

program_launch "$prefix/bin/burnin"
close_window "$MAIN_WINDOW"
wait_for_exit 50 || fail "the installed program did not end on close"
expect_file_bytes "$folder/File/1.ini" "$(today_text)" $ZERO $ZERO $ZERO $ZERO $ZERO $ZERO
echo "PASS"
