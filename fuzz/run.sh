#!/bin/sh
# Runs fuzz targets from their seed corpus and regression inputs.
#
#   run.sh BUILD_DIR --seconds N [TARGET...]   each target for N seconds
#   run.sh BUILD_DIR --runs N [TARGET...]      each target for N executions
#
# New inputs go to BUILD_DIR/work/TARGET, crashing ones to
# BUILD_DIR/crashes; the checked-in corpus is only read. One line per
# target: executions and crashes. Exit status 1 when any target crashed.
set -u
here=$(cd "$(dirname "$0")" && pwd)
bin=$1
case $2 in
--seconds) limit="-max_total_time=$3" ;;
--runs) limit="-runs=$3"; fresh=yes ;;
*) echo "usage: run.sh BUILD_DIR --seconds N|--runs N [TARGET...]" >&2; exit 2 ;;
esac
shift 3
targets=${*:-container fontfile nameprofile namemap strmap}

fresh=${fresh:-no}
status=0
for t in $targets; do
    work=$bin/work/$t
    crashes=$bin/crashes
    # A smoke run starts from the checked-in inputs alone, every time.
    [ "$fresh" = yes ] && work=$bin/work-smoke/$t && rm -rf "$work"
    mkdir -p "$work" "$crashes"
    dirs="$work $here/corpus/$t"
    [ -d "$here/regressions/$t" ] && dirs="$dirs $here/regressions/$t"
    log=$bin/$t.log
    # shellcheck disable=SC2086
    "$bin/${t}_fuzzer" $limit -seed=1 -print_final_stats=1 -artifact_prefix="$crashes/$t-" $dirs >"$log" 2>&1
    rc=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    found=0
    if [ $rc -ne 0 ]; then
        found=1
        status=1
        grep -m 3 -E 'ERROR|SUMMARY|Test unit written' "$log" >&2
    fi
    echo "$t: ${runs:-0} executions, $found crashes"
done
exit $status
