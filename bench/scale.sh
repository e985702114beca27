#!/bin/sh
# The scale section of the benchmarks: packages of 500 and 2000 generated
# TrueType fonts, made by the package builder (tools/mkpackage), and for each
# the installer's start until its dialog shows (nothing installed, and
# everything installed), ticking every font by the top category's box, the
# dialog's refresh, and `/quiet /all` and `/quiet /uninstall /all` against
# the plain loops, all measured in one run; then a table with the ratios and
# how each cost grows from 500 to 2000 fonts.
#
#   bench/scale.sh [TREE]    TREE as for bench/run.sh
#
# The packages are kept in build/bench/scale/package-N with the builder's
# time; they are made again (and the builder timed again) when the builder,
# the module's sources, the sfnt code or the fonts change, or with
# BENCH_SCALE_BUILD=always; BENCH_SCALE_BUILD=never keeps the packages there
# are (to time two trees on the same packages). BENCH_SCALE_COUNTS="500 2000"
# picks the sizes.
# Each measurement takes up to five turns (three for the runs), fewer once
# it has taken a minute.
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
counts=${BENCH_SCALE_COUNTS:-500 2000}
# BENCH_SCALE_ONLY=runs: only the quiet runs and the plain loops.
role=scale
[ "${BENCH_SCALE_ONLY:-}" = runs ] && role=runs
work=$top/build/bench/scale
bin=$tree/bench
python=/usr/bin/python3
for f in "$bin/bench_scale.exe" "$tree/program/install.exe"; do
    [ -e "$f" ] || { echo "scale.sh: $f is missing (build the benchmarks target first)" >&2; exit 2; }
done
mkdir -p "$work"
log=$work/scale.log
: > "$log"

# What the builder builds on its own, built beforehand so that its time is
# its own work: the native sfnttool and the tree's installer and sfnt library.
# Only when a package is to be made.
builder_ready=
prepare_builder() {
    [ -z "$builder_ready" ] || return 0
    [ -f "$top/build/native/CMakeCache.txt" ] || (cd "$top" && cmake --preset native >>"$log" 2>&1)
    cmake --build "$top/build/native" --target sfnttool -j 2 >>"$log" 2>&1
    cmake --build "$tree" --target installer sfnt -j 2 >>"$log" 2>&1
    builder_ready=yes
}

# What the package is made of: the builder, the module's sources, the sfnt
# and stream code it links, and the fonts (not the tree: trees built from the
# same sources make the same package).
inputs_key() {
    { find "$top/tools/mkpackage" "$top/tools/package" "$top/sfnt" -type f | sort | xargs cat
      cat "$top/product/product.cpp" "$top/product/ismine.cpp" "$top/product/fontid.cpp" \
          "$top/product/fontid.h" "$top/product/contract.h" \
          "$top/base/stream.cpp" "$top/base/stream.h" "$1/stamp"; } 2>/dev/null | sha256sum | cut -c1-16
}

for n in $counts; do
    fonts=$work/fonts-$n
    if [ "$(cat "$fonts/stamp" 2>/dev/null)" != "$n" ]; then
        echo "scale.sh: making $n fonts" >&2
        $python "$top/bench/mkscalefonts.py" "$fonts" "$n"
    fi
    pkg=$work/package-$n
    key=$(inputs_key "$fonts")
    if [ "${BENCH_SCALE_BUILD:-}" = never ] && [ -f "$pkg/disc/product.dll" ]; then
        echo "when built on $(date -r "$pkg/builder-seconds" '+%Y-%m-%d %H:%M') (kept)" > "$pkg/builder-when"
    elif [ "${BENCH_SCALE_BUILD:-}" = always ] || [ "$(cat "$pkg/key" 2>/dev/null)" != "$key" ] ||
       [ ! -f "$pkg/disc/product.dll" ]; then
        prepare_builder
        echo "scale.sh: making the package of $n fonts with tools/mkpackage (timed)" >&2
        rm -rf "$pkg"
        mkdir -p "$pkg"
        t0=$(date +%s.%N)
        (cd "$top" && $python tools/mkpackage --title "QX Scale $n" --label Disc512 --out "$pkg" \
            --tree "$tree" --categories "$fonts/categories.txt" "$fonts"/QXScale-*.ttf) >"$pkg/builder.log" 2>&1 ||
            { tail -5 "$pkg/builder.log" >&2; echo "scale.sh: the package builder failed" >&2; exit 1; }
        t1=$(date +%s.%N)
        echo "$t0 $t1" | awk '{printf "%.1f\n", $2 - $1}' > "$pkg/builder-seconds"
        echo "now" > "$pkg/builder-when"
        echo "$key" > "$pkg/key"
    else
        echo "when built on $(date -r "$pkg/builder-seconds" '+%Y-%m-%d %H:%M')" > "$pkg/builder-when"
    fi
done

dir=$work/wine
sh "$top/tools/wine-harness.sh" setup "$dir" "$loader" win64 >/dev/null
trap 'sh "$top/tools/wine-harness.sh" cleanup "$dir"; rm -rf "$dir"' EXIT
. "$dir/env"
export WINEPREFIX TMPDIR WINEDEBUG WINEDLLOVERRIDES WINELOADER DISPLAY
# Every program of this prefix sees Windows 10.
"$loader" reg add 'HKCU\Software\Wine' /v Version /d win10 /f </dev/null >/dev/null 2>&1

kind=$(file -b "$bin/bench_scale.exe" | cut -d, -f1)
echo "scale: tree ${tree#$top/} ($kind) under $(basename "$loader"), Wine $($loader --version), win10, $(nproc) cores"
for n in $counts; do
    pkg=$work/package-$n
    # The package's disc on E: (label Disc512), and the installer with its
    # product module and this benchmark's program in C:\Scale.
    rm -rf "$dir/disc/FontData"
    cp -r "$pkg/disc/FontData" "$dir/disc/"
    scale=$dir/prefix/drive_c/Scale
    rm -rf "$scale"
    mkdir -p "$scale"
    cp "$tree/program/install.exe" "$pkg/disc/product.dll" "$bin/bench_scale.exe" "$scale/"
    cp "$pkg/work/NameMap.En.csv" "$scale/namemap.csv"
    echo "== $n fonts" >>"$log"
    if ! "$loader" 'C:\Scale\bench_scale.exe' "$role" E "$n" 'C:\Scale\results.txt' 2>>"$log"; then
        grep -a 'bench_scale' "$log" | tail -5 >&2
        echo "scale.sh: the scale benchmark of $n fonts failed; log: $log" >&2
        exit 1
    fi
    { cat "$scale/results.txt"
      echo "builder $(cat "$pkg/builder-seconds")"
      echo "builder_when $(cat "$pkg/builder-when")"; } > "$work/results-$n.txt"
done
files=""
for n in $counts; do files="$files $n=$work/results-$n.txt"; done
# shellcheck disable=SC2086
$python "$top/bench/scale_report.py" $files
echo "(per-run figures: $log)"
