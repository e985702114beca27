#!/bin/sh
# Sets up and tears down one Wine prefix of a test run.
#
#   wine-harness.sh setup DIR LOADER [ARCH]   fresh prefix, persistent server,
#                                             Xvfb, package disc on E: labelled
#                                             Disc512
#   wine-harness.sh cleanup DIR               stops the server and Xvfb
#
# ARCH is the kind of Windows the prefix is: win32 (the 9x and NT families up
# to 2000 and XP were only ever 32-bit systems) or win64 (default; today's
# Windows, which runs the same 32-bit programs through its 32-bit layer).
#
# Everything lives under DIR: prefix/ (WINEPREFIX), tmp/ (TMPDIR, where Wine
# keeps its server socket), disc/ (the CD-ROM drive E:), env (settings that
# tools/wine-run.sh reads).
set -eu
cmd=$1
dir=$2

server() {
    if [ -x /usr/lib/wine/wineserver64 ]; then echo /usr/lib/wine/wineserver64
    else echo /usr/lib/wine/wineserver32; fi
}

case "$cmd" in
setup)
    loader=$3
    arch=${4:-win64}
    "$0" cleanup "$dir" 2>/dev/null || true
    rm -rf "$dir"
    mkdir -p "$dir/prefix" "$dir/tmp" "$dir/disc"
    export WINEPREFIX="$dir/prefix" TMPDIR="$dir/tmp" WINEDEBUG=-all WINEARCH="$arch"
    export WINEDLLOVERRIDES="mscoree,mshtml=" WINELOADER="$loader"

    # A display for the programs that open windows. Xvfb picks a free display
    # number itself, so that prefixes set up side by side never share one.
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp </dev/null >"$dir/xvfb.log" 2>&1 3>"$dir/xvfb.display" &
    echo $! > "$dir/xvfb.pid"
    i=0
    while [ ! -s "$dir/xvfb.display" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
    display=":$(head -n 1 "$dir/xvfb.display")"
    [ "$display" != ":" ] || { echo "wine-harness: Xvfb did not start (see $dir/xvfb.log)" >&2; exit 1; }
    cat > "$dir/env" <<ENV
WINEPREFIX='$dir/prefix'
TMPDIR='$dir/tmp'
WINEDEBUG=-all
WINEDLLOVERRIDES='mscoree,mshtml='
WINELOADER='$loader'
WINEARCH='$arch'
DISPLAY='$display'
FI_WINE_DIR='$dir'
ENV

    "$(server)" -p </dev/null >/dev/null 2>&1
    DISPLAY="$display" "$loader" wineboot --init </dev/null >/dev/null 2>&1 || true
    "$loader" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
    # The package disc: a folder linked as E:, a CD-ROM drive with a label.
    echo Disc512 > "$dir/disc/.windows-label"
    ln -sfn "$dir/disc" "$dir/prefix/dosdevices/e:"
    "$loader" reg add 'HKLM\Software\Wine\Drives' /v e: /d cdrom /f </dev/null >/dev/null 2>&1
    # Drives the disc search must pass over: a floppy A: that carries the
    # package's label, and a hard disk D: with another label.
    mkdir -p "$dir/floppy" "$dir/other"
    echo Disc512 > "$dir/floppy/.windows-label"
    echo OTHERDISK > "$dir/other/.windows-label"
    ln -sfn "$dir/floppy" "$dir/prefix/dosdevices/a:"
    ln -sfn "$dir/other" "$dir/prefix/dosdevices/d:"
    # S: a small drive (256 KiB) that a copy can fill; left out where
    # mounting is not allowed.
    mkdir -p "$dir/small"
    if mount -t tmpfs -o size=256k fi-small "$dir/small" 2>/dev/null; then
        ln -sfn "$dir/small" "$dir/prefix/dosdevices/s:"
    fi
    "$loader" reg add 'HKLM\Software\Wine\Drives' /v a: /d floppy /f </dev/null >/dev/null 2>&1
    "$loader" reg add 'HKLM\Software\Wine\Drives' /v d: /d hd /f </dev/null >/dev/null 2>&1
    # Drive types are read when the prefix starts: start it anew.
    "$(server)" -k </dev/null >/dev/null 2>&1 || true
    "$(server)" -w </dev/null >/dev/null 2>&1 || true
    # The server has saved the registry now; its header names the prefix's kind.
    made=$(sed -n 's/^#arch=//p' "$dir/prefix/system.reg" 2>/dev/null | head -n 1)
    if [ "$made" != "$arch" ]; then
        echo "wine-harness: asked for a $arch prefix, Wine made '${made}'" >&2
        exit 1
    fi
    "$(server)" -p </dev/null >/dev/null 2>&1
    DISPLAY="$display" "$loader" wineboot </dev/null >/dev/null 2>&1 || true
    echo "wine test environment ready in $dir ($arch prefix, $(basename "$loader") loader, display $display)"
    ;;
cleanup)
    if [ -f "$dir/env" ]; then
        . "$dir/env"
        export WINEPREFIX TMPDIR
        "$(server)" -k 2>/dev/null || true
    fi
    if mountpoint -q "$dir/small" 2>/dev/null; then
        umount "$dir/small" 2>/dev/null || true
    fi
    if [ -f "$dir/xvfb.pid" ]; then
        kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
        rm -f "$dir/xvfb.pid"
    fi
    ;;
*)
    echo "usage: $0 setup DIR LOADER [win32|win64] | cleanup DIR" >&2
    exit 2
    ;;
esac
