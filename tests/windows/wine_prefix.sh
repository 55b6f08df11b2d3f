#!/usr/bin/env bash
# The Wine prefix the Windows tests run in: one per build folder and DPI, made
# once and reused. A virtual desktop gives every window a Win32 title bar and a
# fixed 1024x768 screen; font substitutes give the default GUI font and "宋体"
# a CJK face from Debian.
#
# Sourced:   source tests/windows/wine_prefix.sh
#            wine_prefix_ensure BUILD_DIR [DPI]   # exports WINEPREFIX, WINEDEBUG, ...
#            wine_prefix_stop                     # stops this prefix's wineserver
# Executed:  tests/windows/wine_prefix.sh BUILD_DIR [DPI]   # only makes the prefix
#
# Run it inside the test harness (tests/harness/harness.sh), so Wine finds the
# harness's display and sound server.

# Bump when the settings below change, so existing prefixes are made again.
WINE_PREFIX_VERSION=1
WINE_PREFIX_CJK_FONT="WenQuanYi Micro Hei"

wine_prefix_env() {
  export WINEDEBUG=-all
  # No Mono or Gecko installer prompts: nothing here needs them.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  # The tests assume an ANSI code page other than 936 (Windows-1252), so the
  # program's own GBK conversion is what shows the Chinese text.
  export LANG=C.UTF-8
  unset LC_ALL
}

# Writes the registry settings as a Unicode .reg file: regedit reads an
# ANSI (REGEDIT4) file in the ANSI code page, which cannot spell "宋体".
wine_prefix_write_settings() {
  local dpi=$1 file=$2 font=$WINE_PREFIX_CJK_FONT
  {
    printf '\xff\xfe'
    iconv -f UTF-8 -t UTF-16LE <<REG
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\\Control Panel\\Desktop]
"LogPixels"=dword:$(printf '%08x' "$dpi")

[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts]
"LogPixels"=dword:$(printf '%08x' "$dpi")

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]
"MS Shell Dlg"="$font"
"MS Shell Dlg 2"="$font"
"Tahoma"="$font"
"Microsoft Sans Serif"="$font"
"宋体"="$font"
"SimSun"="$font"
"新宋体"="$font"
"NSimSun"="$font"
REG
  } >"$file"
}

wine_prefix_make() {
  local prefix=$1 dpi=$2 stamp="$1/.burnin-prefix"
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$WINE_PREFIX_VERSION $dpi" ]; then
    return 0
  fi
  rm -rf "$prefix"
  mkdir -p "$prefix"
  WINEPREFIX=$prefix wineboot -i >"$prefix.log" 2>&1 || {
    echo "wine_prefix: wineboot failed, see $prefix.log" >&2
    return 1
  }
  wine_prefix_write_settings "$dpi" "$prefix/burnin-settings.reg"
  WINEPREFIX=$prefix wine regedit /S "$prefix/burnin-settings.reg" >>"$prefix.log" 2>&1 || {
    echo "wine_prefix: regedit failed, see $prefix.log" >&2
    return 1
  }
  # The settings are read when the server starts: begin afresh with them.
  WINEPREFIX=$prefix wineserver -w
  echo "$WINE_PREFIX_VERSION $dpi" >"$stamp"
}

wine_prefix_ensure() {
  local build=${1:?usage: wine_prefix_ensure BUILD_DIR [DPI]} dpi=${2:-96}
  local prefix
  prefix="$(cd "$build" && pwd)/wineprefix"
  [ "$dpi" = 96 ] || prefix="$prefix-$dpi"
  wine_prefix_env
  wine_prefix_make "$prefix" "$dpi" || return 1
  export WINEPREFIX=$prefix
}

wine_prefix_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k 2>/dev/null || true
  fi
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  wine_prefix_ensure "$@"
  wine_prefix_stop
  echo "$WINEPREFIX"
fi
