#!/bin/sh
# Runs the installer on the sample package disc in a fresh Wine prefix.
#
# With a display (DISPLAY set) the installer's window opens there for you to
# use. Without one it runs under Xvfb, a screenshot is saved to
# build/demo/installer.png and the installer is closed again.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    tree=$top/build/win32 loader=/usr/lib/wine/wine
else
    # This kernel cannot run 32-bit programs: use the 64-bit build of the same sources.
    tree=$top/build/win64 loader=/usr/lib/wine/wine64
fi
demo=$top/build/demo
rm -rf "$demo"
mkdir -p "$demo"
user_display=${DISPLAY:-}
sh "$top/tools/wine-harness.sh" setup "$demo/wine" "$loader"
trap 'sh "$top/tools/wine-harness.sh" cleanup "$demo/wine"' EXIT
. "$demo/wine/env"
[ -n "$user_display" ] && DISPLAY=$user_display
export WINEPREFIX TMPDIR WINEDEBUG WINEDLLOVERRIDES WINELOADER DISPLAY

# The package disc, attached as the CD-ROM drive E: labelled Disc512.
disc=$demo/wine/disc
cp "$tree/shell/install.exe" "$tree/product/product.dll" "$disc/"
mkdir -p "$disc/FontData"
echo "package disc: $disc (E:, label $(cat "$disc/.windows-label"))"

if [ -n "$user_display" ]; then
    echo "starting the installer on $DISPLAY"
    "$loader" 'E:\install.exe'
    exit 0
fi

echo "no display: running the installer under Xvfb"
"$loader" 'E:\install.exe' &
pid=$!
sleep 8
import -window root "$demo/installer.png" 2>/dev/null && echo "screenshot: $demo/installer.png"
kill $pid 2>/dev/null || true
wait $pid 2>/dev/null || true
