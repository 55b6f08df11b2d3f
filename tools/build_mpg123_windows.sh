#!/usr/bin/env bash
# Cross-builds libmpg123 (as a DLL, LGPL 2.1: it is shipped beside the exe so
# users can replace it) and the mpg123.exe player from Debian's own source
# package, for 64-bit Windows. The source comes from `apt-get source` through
# a private APT configuration in the output folder; the machine's own sources
# and lists are left alone. The result is cached: a second run only touches
# OUTDIR/prefix/.built (delete OUTDIR to build afresh).
#
#   build_mpg123_windows.sh OUTDIR
#     -> OUTDIR/prefix/include/mpg123.h, lib/libmpg123.dll.a,
#        bin/libmpg123-0.dll, bin/mpg123.exe
set -euo pipefail

out=$(mkdir -p "${1:?usage: build_mpg123_windows.sh OUTDIR}" && cd "$1" && pwd)
prefix="$out/prefix"
stamp="$prefix/.built"
if [ -f "$stamp" ]; then
  touch "$stamp" # newer than this script: the build asks no more
  exit 0
fi

host=x86_64-w64-mingw32

# The Debian mirror this machine already uses, for a deb-src line of bookworm.
debian_mirror() {
  local files=() uri
  [ -f /etc/apt/sources.list ] && files+=(/etc/apt/sources.list)
  for f in /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && files+=("$f")
  done
  ((${#files[@]})) &&
    uri=$(grep -hoE '^(deb[[:space:]]+(\[[^]]*\][[:space:]]+)?|URIs:[[:space:]]*)[a-z]+://[^[:space:]]+' "${files[@]}" |
      grep -oE '[a-z]+://[^[:space:]]+' | grep -vE 'security|updates|backports' |
      grep -E '/debian/?$' | head -n 1) || true
  echo "${uri:-http://deb.debian.org/debian}"
}

apt_dir="$out/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/sources.list.d"
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
signed=""
[ -f "$keyring" ] && signed="[signed-by=$keyring] "
echo "deb-src ${signed}$(debian_mirror) bookworm main" >"$apt_dir/sources.list"
apt_options=(
  -o "Dir::Etc::sourcelist=$apt_dir/sources.list"
  -o "Dir::Etc::sourceparts=$apt_dir/sources.list.d"
  -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::Cache=$apt_dir/cache"
  -o "Debug::NoLocking=1"
)

src_root="$out/source"
if [ ! -d "$src_root" ] || ! ls -d "$src_root"/mpg123-*/ >/dev/null 2>&1; then
  echo "mpg123: fetching Debian's source package" >&2
  apt-get -qq "${apt_options[@]}" update
  rm -rf "$src_root" && mkdir -p "$src_root"
  # Some mirrors lack the upstream signature (.orig.tar.*.asc) the .dsc lists,
  # which fails the download as a whole; apt has checked every file it did
  # fetch against the signed index, so unpack those without the signature.
  (cd "$src_root" && apt-get -qq "${apt_options[@]}" source --download-only mpg123 >/dev/null 2>&1) || true
  dsc=$(ls "$src_root"/mpg123_*.dsc 2>/dev/null | head -n 1)
  ls "$src_root"/mpg123_*.orig.tar.* >/dev/null 2>&1 && ls "$src_root"/mpg123_*.debian.tar.* >/dev/null 2>&1 ||
    { echo "mpg123: could not fetch the source package" >&2; exit 1; }
  (cd "$src_root" && dpkg-source --no-check -x "$dsc" >/dev/null)
fi
src=$(ls -d "$src_root"/mpg123-*/ | head -n 1)

echo "mpg123: cross-building for $host" >&2
objdir="$out/objects"
rm -rf "$objdir" "$prefix" && mkdir -p "$objdir"
cd "$objdir"
# The win32-threads compiler and a static libgcc: the DLL and the player then
# need nothing beyond Windows' own DLLs.
"$src/configure" --host="$host" CC="$host-gcc" LDFLAGS="-static-libgcc" \
  --prefix="$prefix" --with-cpu=x86-64 \
  --enable-shared --disable-static --disable-modules \
  --with-audio=win32 --with-default-audio=win32 >configure.log 2>&1 ||
  { tail -n 30 configure.log >&2; exit 1; }
make -j"$(nproc)" >make.log 2>&1 || { tail -n 30 make.log >&2; exit 1; }
make install >install.log 2>&1 || { tail -n 30 install.log >&2; exit 1; }
cp "$src/COPYING" "$prefix/COPYING.mpg123"
touch "$stamp"
