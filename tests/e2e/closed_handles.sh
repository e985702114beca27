#!/bin/sh
# A quiet run started with its standard handles closed (as a scheduler or a
# service may start it) installs every font of the package and ends with 0;
# the uninstall so started removes them again. Wine gives a program the
# process's file descriptors 0, 1 and 2: closed, they are taken by the
# first files that it opens, so that a program that writes to its standard
# error would write into those.
#   closed_handles.sh DISC   DISC: the package disc of the build tree
set -u
disc=$1
. "$FI_WINE_DIR/env"
export WINEPREFIX TMPDIR WINEDEBUG WINEDLLOVERRIDES WINELOADER DISPLAY
[ -z "${WINEARCH:-}" ] || export WINEARCH
fonts=$WINEPREFIX/drive_c/windows/Fonts
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
count() { ls "$fonts" | grep -c '^QX.*\.otf$'; }
closed() { timeout 120 sh -c 'exec "$@" <&- >&- 2>&-' sh "$WINELOADER" "$@"; }

rm -rf "$FI_WINE_DIR/disc/FontData" "$FI_WINE_DIR/disc"/*.exe "$FI_WINE_DIR/disc"/*.dll
cp -r "$disc"/* "$FI_WINE_DIR/disc/"
"$WINELOADER" reg add 'HKCU\Software\Wine\AppDefaults\install.exe' /v Version /d win10 /f </dev/null >/dev/null 2>&1
expected=$(ls "$disc/FontData" | wc -l)

closed 'E:\install.exe' /quiet /all
rc=$?
[ "$rc" = 0 ] || fail "/quiet /all with closed handles ended with $rc"
[ "$(count)" = "$expected" ] || fail "$(count) of $expected fonts installed"
closed 'E:\install.exe' /quiet /uninstall /all
rc=$?
[ "$rc" = 0 ] || fail "/quiet /uninstall /all with closed handles ended with $rc"
[ "$(count)" = 0 ] || fail "$(count) fonts left after the uninstall"

# What a run that failed left: no font of the package stays behind.
"$WINELOADER" 'E:\install.exe' /quiet /uninstall /all </dev/null >/dev/null 2>&1
rm -f "$fonts"/QX*
"$WINELOADER" reg delete 'HKCU\Software\Wine\Fonts\Cache\QXSample' /f </dev/null >/dev/null 2>&1
"$WINELOADER" reg delete 'HKCU\Software\Wine\Fonts\Cache\QXRound' /f </dev/null >/dev/null 2>&1
"$WINELOADER" reg delete 'HKCU\Software\Wine\Fonts\Cache\QXBrush' /f </dev/null >/dev/null 2>&1
if [ "$failures" -ne 0 ]; then
    exit 1
fi
echo "a quiet run with closed standard handles installed and removed $expected fonts"
