#!/bin/sh
# Installs what the build and the tests need on a Debian 12 machine (as root).
# Safe to run again: it does nothing when everything is already there.
set -eu

need=""
have() { dpkg-query -W -f='${Status}\n' "$1" 2>/dev/null | grep -q '^install ok installed'; }

packages="cmake make g++ googletest
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  wine wine64 wine32:i386 xvfb xauth imagemagick xdotool
  fonts-dejavu-core fonts-noto-cjk python3-fonttools opentype-sanitizer xorriso"
for p in $packages; do
    have "$p" || need="$need $p"
done
[ -z "$need" ] && exit 0

if [ "$(id -u)" != 0 ]; then
    echo "setup: missing packages:$need (run as root to install them)" >&2
    exit 1
fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
echo "setup: installing$need"
apt-get update -qq </dev/null
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $need </dev/null >/dev/null
