#!/bin/sh
# Runs one Windows program in the test environment that wine-harness.sh made.
#
#   wine-run.sh [--version VER] PROGRAM [ARGS...]
#
# --version makes the program see that Windows version (win95, win98, winme,
# nt351, nt40, win2k, winxp, win7, win10): the program is copied to
# NAME-VER.exe beside itself and Wine's per-program setting is made for that
# name, so runs under different versions can go on side by side.
set -eu
version=""
if [ "${1:-}" = "--version" ]; then
    version=$2
    shift 2
fi
prog=$1
shift

dir=${FI_WINE_DIR:-}
if [ -z "$dir" ]; then
    echo "wine-run.sh: FI_WINE_DIR is not set" >&2
    exit 2
fi
. "$dir/env"
export WINEPREFIX TMPDIR WINEDEBUG WINEDLLOVERRIDES WINELOADER DISPLAY FI_WINE_DIR

if [ -n "$version" ]; then
    name=$(basename "$prog" .exe)-$version.exe
    copy=$(dirname "$prog")/$name
    cp -f "$prog" "$copy"
    stamp="$dir/version-$name"
    if [ ! -f "$stamp" ]; then
        "$WINELOADER" reg add "HKCU\\Software\\Wine\\AppDefaults\\$name" /v Version /d "$version" /f </dev/null >/dev/null 2>&1
        touch "$stamp"
    fi
    prog=$copy
fi
exec "$WINELOADER" "$prog" "$@"
