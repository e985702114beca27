#!/bin/sh
# Sets up and tears down one Wine prefix of a test run.
#
#   wine-harness.sh setup DIR LOADER [ARCH [PROBE]]
#                                             fresh prefix, persistent server,
#                                             Xvfb, package disc on E: labelled
#                                             Disc512; PROBE (a window_probe.exe)
#                                             must then show a window there
#   wine-harness.sh probe DIR PROBE           runs the window probe again in the
#                                             prefix that setup made
#   wine-harness.sh hold DIR                  starts the desktop holder again
#                                             (after the server was restarted)
#   wine-harness.sh cleanup DIR               stops the server and Xvfb
#
# Before the probe, setup starts a copy of it that stays in the prefix as the
# desktop holder (see hold_desktop).
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

# The X client libraries that Wine's X11 driver of one kind (i386 or x86-64)
# loads, as "soname:Debian package" pairs.
x11_libraries="libX11.so.6:libx11-6 libXext.so.6:libxext6 libXrender.so.1:libxrender1
  libXrandr.so.2:libxrandr2 libXinerama.so.1:libxinerama1 libXi.so.6:libxi6
  libXcursor.so.1:libxcursor1 libXcomposite.so.1:libxcomposite1 libXfixes.so.3:libxfixes3
  libXxf86vm.so.1:libxxf86vm1"

# Runs the window probe ($1) in the prefix just made; on failure writes one
# line saying what is wrong to $dir/probe.failed and returns 1.
probe_windows() {
    probe=$1
    rm -f "$dir/probe.failed"
    if [ ! -f "$probe" ]; then
        echo "wine-harness: the window probe $probe is missing: build the target window_probe first" \
            | tee "$dir/probe.failed" >&2
        return 1
    fi
    case "$(od -An -tx1 -j "$(( $(od -An -tu4 -j 60 -N 4 "$probe") + 4 ))" -N 2 "$probe" | tr -d ' ')" in
    4c01) bits=32 ldarch="libc6" debarch=i386 ;;
    *) bits=64 ldarch="libc6,x86-64" debarch=amd64 ;;
    esac
    # The probe shows its window, then waits for the done file while the
    # window is looked for on the X display, where a user would see it.
    rm -f "$dir/probe.done"
    DISPLAY="$display" WINEDEBUG=err+all timeout 120 "$loader" "$probe" 'Z:'"$(echo "$dir/probe.done" | tr / '\\')" \
        </dev/null >"$dir/probe.log" 2>&1 &
    pid=$!
    onscreen=no
    i=0
    while kill -0 $pid 2>/dev/null && [ $i -lt 600 ]; do
        if grep -q 'shown and drawn' "$dir/probe.log"; then
            DISPLAY="$display" xdotool search --onlyvisible --name '^window probe$' >/dev/null 2>&1 && onscreen=yes
            break
        fi
        sleep 0.1
        i=$((i + 1))
    done
    touch "$dir/probe.done"
    code=0
    wait $pid || code=$?
    [ $code -eq 0 ] && [ $onscreen = yes ] && return 0
    what="a $bits-bit program cannot show a window in the $arch prefix on display $display"
    if ! kill -0 "$(cat "$dir/xvfb.pid")" 2>/dev/null; then
        why="the X server of that display has stopped (see $dir/xvfb.log)"
    elif [ $code -eq 0 ]; then
        why="its window exists for Wine but is not on the X display (is Wine's graphics driver x11?)"
    else
        why=$(sed -n 's/^window probe: //p' "$dir/probe.log" | tail -n 1)
        [ -n "$why" ] || why="the probe ended with $code before its first step"
        wine=$(grep -E ':err:(winediag|x11drv|win|explorer|systray)' "$dir/probe.log" | head -n 1 | sed 's/^[0-9a-f]*:err:[a-z0-9]*:[A-Za-z0-9_]* //')
        [ -z "$wine" ] || why="$why; Wine says: $wine"
    fi
    missing=""
    for pair in $x11_libraries; do
        ldconfig -p 2>/dev/null | grep -q "^[[:space:]]*${pair%%:*} ($ldarch" || missing="$missing ${pair#*:}:$debarch"
    done
    if [ -n "$missing" ]; then
        why="$why; not installed for Wine's $bits-bit X11 driver:$missing"
    else
        why="$why; no X client library of Wine's $bits-bit X11 driver is missing"
    fi
    echo "wine-harness: $what: $why (full output in $dir/probe.log)" > "$dir/probe.failed"
    return 1
}

# Wine ends a desktop's explorer.exe a moment after the last program using
# the desktop has ended, and the next program with a window starts a new one.
# Such a restarted explorer sometimes cannot read back the display
# configuration it has just written ("Failed to read display config"), and
# the program that started it gets Wine's null display driver ("The explorer
# process failed to start"; CreateWindowEx fails with error 0). Test programs
# run one after another, so each run restarted it; how often that failed
# depended on the machine. A holder (the probe with --hold) stays attached to
# the desktop until DIR/hold.done exists, so that the prefix keeps one
# explorer for its whole run, started here with its output in hold.log rather
# than on a test's output pipe.
hold_desktop() {
    [ -f "$dir/holder.exe" ] || return 0
    . "$dir/env"
    export WINEPREFIX TMPDIR WINEDLLOVERRIDES WINELOADER WINEARCH DISPLAY
    rm -f "$dir/hold.done"
    WINEDEBUG=err+all setsid "$WINELOADER" "$dir/holder.exe" --hold 'Z:'"$(echo "$dir/hold.done" | tr / '\\')" \
        </dev/null >"$dir/hold.log" 2>&1 &
    i=0
    while ! grep -q 'holding the desktop' "$dir/hold.log" 2>/dev/null; do
        i=$((i + 1))
        if [ $i -gt 600 ]; then
            echo "wine-harness: the desktop holder did not start (see $dir/hold.log)" >&2
            return 1
        fi
        sleep 0.1
    done
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
    # The holder comes first, so that the explorer it starts is the one the
    # probe and every later program of the run use.
    if [ -n "${5:-}" ] && [ -f "$5" ]; then
        cp -f "$5" "$dir/holder.exe"
        hold_desktop || true
    fi
    DISPLAY="$display" "$loader" wineboot </dev/null >/dev/null 2>&1 || true
    if [ -n "${5:-}" ] && ! probe_windows "$5"; then
        # The tests of this prefix need fixture set-up to pass: CTest runs
        # none of them, and make test repeats this line at its end.
        cat "$dir/probe.failed" >&2
        exit 1
    fi
    echo "wine test environment ready in $dir ($arch prefix, $(basename "$loader") loader, display $display)"
    ;;
probe)
    . "$dir/env"
    export WINEPREFIX TMPDIR WINEDLLOVERRIDES WINELOADER WINEARCH
    loader=$WINELOADER arch=$WINEARCH display=$DISPLAY
    if ! probe_windows "$3"; then
        cat "$dir/probe.failed" >&2
        exit 1
    fi
    echo "window probe passed in $dir"
    ;;
hold)
    hold_desktop
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
    echo "usage: $0 setup DIR LOADER [win32|win64 [PROBE]] | probe DIR PROBE | hold DIR | cleanup DIR" >&2
    exit 2
    ;;
esac
