#!/bin/sh
# Screenshots of the main dialog in English, Japanese and Traditional Chinese,
# of the tool tip over a label that the size column cuts (Japanese), and of
# the dialog that installs for the current user alone (English, Japanese).
#
#   screenshot.sh [PROGRAM]
#
# SHOTS (environment) names the screenshots to take, e.g. SHOTS="user-en
# user-ja"; by default every one.
# PROGRAM (default: the showcase of the Windows test tree, which shows the
# real main dialog over the installer's own name map) runs under Xvfb once
# per locale in a fresh Wine prefix. It writes its window's screen rectangle
# into the file named by its argument; the root window is then captured,
# cut to that rectangle and saved as docs/installer-NAME.png.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/wine-tree.sh"
prog=${1:-$tree/tests/ui/ui_showcase.exe}
work=$top/build/screenshots
mkdir -p "$work" "$top/docs"

shoot() {  # name locale [option]
    name=$1 locale=$2 option=${3:-}
    case " ${SHOTS:-$name} " in *" $name "*) ;; *) return 0 ;; esac
    dir=$work/$name
    rm -rf "$dir"
    sh "$top/tools/wine-harness.sh" setup "$dir/wine" "$loader" >/dev/null
    (
        . "$dir/wine/env"
        export WINEPREFIX TMPDIR WINEDEBUG WINEDLLOVERRIDES WINELOADER DISPLAY
        rect=$dir/rect.txt
        winrect="Z:$(echo "$rect" | tr / '\\')"
        LANG=$locale LC_ALL=$locale "$loader" "$prog" $option "$winrect" &
        pid=$!
        i=0
        while [ ! -s "$rect" ] && [ $i -lt 600 ]; do sleep 0.1; i=$((i + 1)); done
        if [ ! -s "$rect" ]; then
            echo "screenshot: $name: the program showed no window" >&2
            kill $pid 2>/dev/null || true
            exit 1
        fi
        read -r x y w h < "$rect"
        import -window root "$dir/root.png"
        convert "$dir/root.png" -crop "${w}x${h}+${x}+${y}" +repage "$top/docs/installer-$name.png"
        rm -f "$rect"
        wait $pid || true
        echo "screenshot: docs/installer-$name.png ($locale, ${w}x${h})"
    )
    sh "$top/tools/wine-harness.sh" cleanup "$dir/wine"
}

shoot en C.UTF-8
shoot ja ja_JP.UTF-8
shoot zh-tw zh_TW.UTF-8
shoot tooltip ja_JP.UTF-8 /tip
shoot user-en C.UTF-8 /user
shoot user-ja ja_JP.UTF-8 /user
