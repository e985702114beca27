#!/bin/sh
# Runs the benchmarks in a fresh Wine prefix and prints their table.
#
#   bench/run.sh [TREE]    TREE: the build tree whose benchmark programs run;
#                          by default the shipped 32-bit tree (build/win32)
#                          where 32-bit Wine runs, else build/win64
#                          (tools/wine-tree.sh, honouring FI_WIN32_RUNS)
#
# The benchmark package's disc goes onto E: (label Disc512) and the
# catalogue's fonts into C:\BenchCat; the prefix (a 64-bit one, as the
# programs see Windows 10) lives in build/bench/wine and is torn down at the end.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/wine-tree.sh"
if [ $# -gt 0 ]; then
    use_tree "$1"
fi
work=$top/build/bench
dir=$work/wine
bin=$tree/bench

for f in "$bin/bench_installer.exe" "$bin/product.dll" "$tree/bench_package/disc/FontData" "$bin/catfonts/stamp"; do
    [ -e "$f" ] || { echo "run.sh: $f is missing (build the benchmarks target first)" >&2; exit 2; }
done

mkdir -p "$work"
sh "$top/tools/wine-harness.sh" setup "$dir" "$loader" win64 >/dev/null
trap 'sh "$top/tools/wine-harness.sh" cleanup "$dir"; rm -rf "$dir"' EXIT

cp -r "$tree/bench_package/disc/FontData" "$dir/disc/"
mkdir -p "$dir/prefix/drive_c/BenchCat"
cp "$bin"/catfonts/*.otf "$dir/prefix/drive_c/BenchCat/"

kind=$(file -b "$bin/bench_installer.exe" | cut -d, -f1)
echo "benchmarks: tree ${tree#$top/} ($kind) under $(basename "$loader"), Wine $($loader --version), win10, $(nproc) cores"
# The per-run lines (and the installer's own diagnostics) go to a log.
log=$work/bench.log
if FI_WINE_DIR=$dir sh "$top/tools/wine-run.sh" --version win10 "$bin/bench_installer.exe" 2>"$log"; then
    grep '^  [a-z]' "$log" || true
    echo "(per-run figures above; full log: $log)"
else
    rc=$?
    grep -a 'bench:\|^  [a-z]' "$log" | tail -20 >&2
    echo "run.sh: the benchmark failed ($rc); log: $log" >&2
    exit $rc
fi

# The scale section: packages of 500 and 2000 fonts, in a prefix of its own.
sh "$top/bench/scale.sh" "$tree"
