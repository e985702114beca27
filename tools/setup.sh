#!/bin/sh
# Installs what the build and the tests need on a Debian 12 machine (as root).
# Safe to run again: it does nothing when everything is already there.
set -eu

need=""
have() { dpkg-query -W -f='${Status}\n' "$1" 2>/dev/null | grep -q '^install ok installed'; }

packages="cmake make g++ googletest file
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  wine wine64 wine32:i386 xvfb xauth imagemagick xdotool
  fonts-dejavu-core fonts-noto-cjk fonts-wqy-microhei python3-fonttools opentype-sanitizer xorriso locales
  osslsigncode openssl
  clang libclang-rt-14-dev"
# Wine's X11 driver loads these X client libraries when it starts; Debian's
# Wine packages only recommend them, so a machine set up without
# recommendations lacks them. A 64-bit prefix runs its desktop process
# (explorer) through the 64-bit driver and the 32-bit programs under test
# through the 32-bit one: both kinds are installed, so that the two see the
# same X extensions.
for lib in libxext6 libxrender1 libxrandr2 libxinerama1 libxi6 libxcursor1 libxcomposite1 libxfixes3 libxxf86vm1; do
    packages="$packages $lib $lib:i386"
done
for p in $packages; do
    have "$p" || need="$need $p"
done
# The screenshots run the installer under Japanese and Chinese locales.
need_locales=""
for l in ja_JP.UTF-8 zh_TW.UTF-8; do
    locale -a 2>/dev/null | grep -qix "$(echo $l | sed 's/UTF-8/utf8/')" || need_locales="$need_locales $l"
done
[ -z "$need" ] && [ -z "$need_locales" ] && exit 0

if [ -n "$need" ]; then
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
fi
if [ -n "$need_locales" ]; then
    if [ "$(id -u)" != 0 ]; then
        echo "setup: missing locales:$need_locales (run as root to generate them)" >&2
        exit 1
    fi
    for l in $need_locales; do
        grep -q "^$l UTF-8" /etc/locale.gen 2>/dev/null || echo "$l UTF-8" >> /etc/locale.gen
    done
    echo "setup: generating locales$need_locales"
    locale-gen >/dev/null
fi
