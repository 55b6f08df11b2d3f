#!/usr/bin/env bash
# Pictures of the windows at 96 and 144 DPI, as PNG files under
# BUILD_DIR/screenshots/<dpi>/, checked for the outer sizes the definitions
# give scaled to the DPI. Run by run_wine_tests.sh inside the harness.
set -euo pipefail
build=${1:?usage: screenshots.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../wine_prefix.sh"
tool="$build/tests/windows/frame/frame_screens.exe"
[ -f "$tool" ] || { echo "missing $tool"; exit 1; }

# window name, width and height at 96 DPI
sizes=("main 364 237" "notice 269 122" "instructions 302 363")
status=0
for dpi in 96 144; do
  wine_prefix_ensure "$build" "$dpi"
  out="$build/screenshots/$dpi"
  rm -rf "$out"
  mkdir -p "$out"
  # Wine's X11 driver now and then dies of an X error while windows come and
  # go; one more try tells that apart from a fault of the program.
  windows_path="Z:$(cd "$out" && pwd | tr / '\\')"
  wine "$tool" "$windows_path" || wine "$tool" "$windows_path"
  wine_prefix_stop
  for picture in "$out"/*.bmp; do
    convert "$picture" "${picture%.bmp}.png" && rm "$picture"
  done
  for entry in "${sizes[@]}"; do
    read -r name width height <<<"$entry"
    expected="$(( (width * dpi + 48) / 96 )) $(( (height * dpi + 48) / 96 ))"
    got=$(identify -format '%w %h' "$out/$name.png")
    if [ "$got" = "$expected" ]; then
      echo "$dpi DPI $name: $got"
    else
      echo "$dpi DPI $name: $got, expected $expected"
      status=1
    fi
  done
  [ -f "$out/message.png" ] || { echo "$dpi DPI: no message box picture"; status=1; }
done
exit $status
