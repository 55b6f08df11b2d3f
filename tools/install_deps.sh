#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkgconf
  libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64
  lame sox
  # fuzzing
  clang libclang-rt-14-dev
  # the Linux program
  qt6-base-dev libgl-dev libasound2-dev libmpg123-dev
  # the Windows program: its decoder is cross-built from Debian's source package
  dpkg-dev wine wine64
  # the test harness: a display, a window manager, a sound server with a null sink
  xvfb openbox xdotool x11-utils imagemagick
  pulseaudio pulseaudio-utils libasound2-plugins alsa-utils mpg123
  fonts-wqy-microhei fonts-arphic-uming
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
