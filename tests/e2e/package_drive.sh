#!/bin/sh
# Gives the disc of package_e2e_tests a drive of its own in the Wine test
# environment: F:, a CD-ROM drive labelled LABEL (the tests copy the disc
# into it). Wine reads a drive's label when the prefix starts, so the prefix
# is started anew.
#   package_drive.sh LABEL
set -eu
label=$1
. "$FI_WINE_DIR/env"
export WINEPREFIX TMPDIR WINEDEBUG WINEDLLOVERRIDES WINELOADER DISPLAY
[ -z "${WINEARCH:-}" ] || export WINEARCH
if [ -x /usr/lib/wine/wineserver64 ]; then server=/usr/lib/wine/wineserver64
else server=/usr/lib/wine/wineserver32; fi

disc=$FI_WINE_DIR/package-disc
rm -rf "$disc"
mkdir -p "$disc"
echo "$label" > "$disc/.windows-label"
ln -sfn "$disc" "$WINEPREFIX/dosdevices/f:"
"$WINELOADER" reg add 'HKLM\Software\Wine\Drives' /v f: /d cdrom /f </dev/null >/dev/null 2>&1
"$server" -k </dev/null >/dev/null 2>&1 || true
"$server" -w </dev/null >/dev/null 2>&1 || true
"$server" -p </dev/null >/dev/null 2>&1
# The restart ended the prefix's desktop holder: start it again.
sh "$(dirname "$0")/../../tools/wine-harness.sh" hold "$FI_WINE_DIR"
"$WINELOADER" wineboot </dev/null >/dev/null 2>&1 || true
echo "package disc drive F: labelled $label"
