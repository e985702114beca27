#!/bin/sh
# The unattended install of a large package, timed against its floor.
#
#   bench/quiet.sh [TREE]    TREE: the build tree whose install.exe runs (as
#                            bench/run.sh chooses by default)
#
# A package of FI_QUIET_FONTS (500) small fonts goes onto E: with the
# benchmark's product module, which reads its name map from beside
# install.exe. `install.exe /quiet /all` installs all of them into the
# system fonts folder of a fresh 64-bit prefix (win10 emulation) three
# ways: standard error sent to /dev/null (Wine treats it as a character
# device), to a file, and with all standard handles closed; the floor is
# plainloop.exe (CopyFileA, AddFontResourceA and the Fonts value per font).
# Each is one whole process, timed from outside, taken in turns, three
# times; the medians are printed, with what each run wrote to the file.
# Between runs `install.exe /quiet /uninstall /all` removes the fonts again.
# FI_PLAINLOOP may name another build's plainloop.exe (to time an older
# tree against the same floor); FI_QUIET_TIMEOUT (300) is the seconds after
# which a run counts as hung and is killed.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/wine-tree.sh"
if [ $# -gt 0 ]; then
    tree=$(cd "$1" && pwd)
    if grep -q 'mingw-i686' "$tree/CMakeCache.txt" 2>/dev/null; then
        loader=/usr/lib/wine/wine
    else
        loader=/usr/lib/wine/wine64
    fi
fi
count=${FI_QUIET_FONTS:-500}
turns=3
# A run that takes longer hangs: it is killed (exit 124) and the next begins.
limit=${FI_QUIET_TIMEOUT:-300}
work=$top/build/bench/quiet
dir=$work/wine
plain=${FI_PLAINLOOP:-$tree/bench/plainloop.exe}
for f in "$tree/disc/install.exe" "$tree/bench/product.dll" "$plain"; do
    [ -e "$f" ] || { echo "quiet.sh: $f is missing (build the benchmarks target first)" >&2; exit 2; }
done

mkdir -p "$work"
if [ ! -f "$work/package-$count/stamp" ]; then
    /usr/bin/python3 "$top/bench/mkquietfonts.py" "$work/package-$count" "$count"
fi
sh "$top/tools/wine-harness.sh" setup "$dir" "$loader" win64 >/dev/null
trap 'sh "$top/tools/wine-harness.sh" cleanup "$dir"; rm -rf "$dir"' EXIT
cp -r "$work/package-$count/FontData" "$work/package-$count/NameMap.En.csv" "$dir/disc/"
cp "$tree/disc/install.exe" "$tree/bench/product.dll" "$plain" "$dir/disc/"
. "$dir/env"
export WINEPREFIX TMPDIR WINEDEBUG WINEDLLOVERRIDES WINELOADER DISPLAY

now() { date +%s.%N; }
if [ -x /usr/lib/wine/wineserver64 ]; then server=/usr/lib/wine/wineserver64
else server=/usr/lib/wine/wineserver32; fi
# Removes the fonts (and the faces Wine remembers of them) after a run. A
# run that hung may have left the Wine server unable to answer (a program
# that writes into the descriptors that Wine gave to its own files does):
# the server is then started anew.
reset() {
    if [ "${rc:-0}" = 124 ]; then
        "$server" -k </dev/null >/dev/null 2>&1 || true
        "$server" -w </dev/null >/dev/null 2>&1 || true
        "$server" -p </dev/null >/dev/null 2>&1
    fi
    timeout "$limit" "$loader" 'E:\install.exe' /quiet /uninstall /all </dev/null >/dev/null 2>&1 || true
    timeout 60 "$loader" reg delete 'HKCU\Software\Wine\Fonts\Cache\QXQuiet' /f </dev/null >/dev/null 2>&1 || true
}
installed() {
    ls "$WINEPREFIX/drive_c/windows/Fonts" | grep -c '^QXQuiet-.*\.otf$' || true
}
# run NAME COMMAND...: one timed turn; the seconds go to $work/NAME.times.
timed() {
    name=$1
    shift
    t0=$(now)
    if timeout "$limit" "$@"; then rc=0; else rc=$?; fi
    t1=$(now)
    n=$(installed)
    echo "$t0 $t1" | awk '{ printf "%.3f\n", $2 - $1 }' >>"$work/$name.times"
    echo "  $name: exit $rc, $n fonts installed, $(tail -n 1 "$work/$name.times") s" >>"$work/quiet.log"
    if [ "$rc" != 0 ] || [ "$n" != "$count" ]; then
        echo "quiet.sh: $name: exit $rc, $n of $count fonts" >&2
    fi
    reset
}
median() { sort -n "$work/$1.times" | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

rm -f "$work"/*.times "$work/quiet.log" "$work/stderr.txt"
reset
for turn in $(seq $turns); do
    timed null "$loader" 'E:\install.exe' /quiet /all </dev/null >/dev/null 2>/dev/null
    : >"$work/stderr.txt"
    timed file "$loader" 'E:\install.exe' /quiet /all </dev/null >/dev/null 2>"$work/stderr.txt"
    bytes=$(wc -c <"$work/stderr.txt")
    timed closed sh -c 'exec "$@" <&- >&- 2>&-' sh "$loader" 'E:\install.exe' /quiet /all
    timed plain "$loader" 'E:\plainloop.exe' "$count" </dev/null >/dev/null 2>&1
done

echo "quiet install of $count fonts: ${tree#$top/} under $(basename "$loader"), $($loader --version), win10, $(nproc) cores"
echo "  median of $turns, whole process, seconds:"
printf '  %-50s %8s\n' "install.exe /quiet /all, stderr to /dev/null" "$(median null)"
printf '  %-50s %8s  (%s bytes of stderr)\n' "install.exe /quiet /all, stderr to a file" "$(median file)" "$bytes"
printf '  %-50s %8s\n' "install.exe /quiet /all, standard handles closed" "$(median closed)"
printf '  %-50s %8s\n' "plain loop: CopyFile + AddFontResource + Fonts value" "$(median plain)"
echo "(per-run lines: $work/quiet.log)"
