#!/bin/sh
# Runs the installer on the sample package disc in a fresh Wine prefix.
#
# The package disc (install.exe, product.dll, FontData\) is attached as the
# CD-ROM drive E: labelled Disc512. With a display (DISPLAY set) the
# installer opens there for you to use. Without one it runs under Xvfb and a
# guided run ticks two fonts, installs them, uninstalls one, prints the
# registry values, files and embedding type of each installed copy, and saves
# a screenshot of each step in build/demo/.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/wine-tree.sh"
demo=$top/build/demo
rm -rf "$demo"
mkdir -p "$demo"
user_display=${DISPLAY:-}
sh "$top/tools/wine-harness.sh" setup "$demo/wine" "$loader"
trap 'sh "$top/tools/wine-harness.sh" cleanup "$demo/wine"' EXIT
. "$demo/wine/env"
[ -n "$user_display" ] && DISPLAY=$user_display
export WINEPREFIX TMPDIR WINEDEBUG WINEDLLOVERRIDES WINELOADER DISPLAY

disc=$demo/wine/disc
cp -r "$tree/disc/." "$disc/"
echo "package disc: $disc as E: (label $(cat "$disc/.windows-label")); ISO image: $tree/disc512.iso"

if [ -n "$user_display" ]; then
    echo "starting the installer on $DISPLAY"
    "$loader" 'E:\install.exe'
    exit 0
fi

echo "no display: a guided run under Xvfb"
"$loader" "$tree/tools/demo/demodriver.exe" "Z:$demo" 2>/dev/null | tr -d '\r'
for bmp in "$demo"/step*.bmp; do
    [ -f "$bmp" ] || continue
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
echo "screenshots: $(ls "$demo"/step*.png 2>/dev/null | tr '\n' ' ')"
