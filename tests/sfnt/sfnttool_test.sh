#!/bin/sh
# sfnttool on a real OpenType (CFF) font made with fontTools:
#   sfnttool_test.sh SFNTTOOL MAKE_OTF_PY
# The rewritten copy must have fsType 2 for fontTools, hold its checksums
# for `sfnttool check` and pass the OpenType sanitizer. Exit 77 (skipped)
# when fontTools or ots-sanitize is missing.
set -u
tool=$1
maker=$2
py=/usr/bin/python3

if ! "$py" -c 'import fontTools.fontBuilder' 2>/dev/null; then
    echo "SKIP: fontTools is not available to $py"
    exit 77
fi
if ! command -v ots-sanitize >/dev/null 2>&1; then
    echo "SKIP: ots-sanitize is not installed"
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

"$py" "$maker" "$work/orig.otf" || { echo "FAIL: cannot build the font"; exit 1; }
cp "$work/orig.otf" "$work/copy.otf"

"$tool" check "$work/orig.otf" || fail "the font from fontTools does not check"
[ "$("$tool" maker "$work/orig.otf")" = 1 ] || fail "maker test is not 1"
[ "$("$tool" name "$work/orig.otf")" = ZorvTest-Regular ] || fail "PostScript name"

result=$("$tool" embed "$work/copy.otf" 2>"$work/embed.err")
[ "$result" = 96 ] || fail "embed printed '$result', expected 96"
grep -q '^Checksum(OS2)=' "$work/embed.err" || fail "no Checksum(OS2) line"
grep -q '^checkSumAdjustment=' "$work/embed.err" || fail "no checkSumAdjustment line"

fstype=$("$py" -c 'import sys; from fontTools.ttLib import TTFont; print(TTFont(sys.argv[1])["OS/2"].fsType)' "$work/copy.otf")
[ "$fstype" = 2 ] || fail "fsType after embed is '$fstype'"
"$tool" check "$work/copy.otf" || fail "checksums of the rewritten copy"
ots-sanitize "$work/copy.otf" "$work/sanitized.otf" >"$work/ots.out" 2>&1 || { cat "$work/ots.out"; fail "ots-sanitize rejects the copy"; }
size_a=$(wc -c <"$work/orig.otf")
size_b=$(wc -c <"$work/copy.otf")
[ "$size_a" = "$size_b" ] || fail "the copy changed its length"

# A second run has nothing to do.
cp "$work/copy.otf" "$work/again.otf"
[ "$("$tool" embed "$work/again.otf" 2>/dev/null)" = 0 ] || fail "second embed is not 0"
cmp -s "$work/copy.otf" "$work/again.otf" || fail "second embed changed the file"

# No such name: nothing on standard output, exit 1.
out=$("$tool" name "$work/orig.otf" 3 1 1033 99)
rc=$?
[ "$rc" = 1 ] && [ -z "$out" ] || fail "missing name gave exit $rc and '$out'"
# A damaged copy: the rewrite refuses and the file stays as it was.
head -c 200 "$work/orig.otf" >"$work/cut.otf"
cp "$work/cut.otf" "$work/cut-before.otf"
"$tool" embed "$work/cut.otf" >/dev/null 2>&1
rc=$?
[ "$rc" = 1 ] || fail "embed on a cut file gave exit $rc"
cmp -s "$work/cut.otf" "$work/cut-before.otf" || fail "embed changed a cut file"
# Missing file and bad arguments: exit 2 with one line on standard error.
"$tool" name "$work/none.otf" >/dev/null 2>"$work/err"
rc=$?
[ "$rc" = 2 ] && [ "$(wc -l <"$work/err")" = 1 ] || fail "missing file gave exit $rc"
"$tool" embed "$work/copy.otf" 70000 >/dev/null 2>&1
[ $? = 2 ] || fail "embed with a value above 65535 is not exit 2"
"$tool" frobnicate "$work/copy.otf" >/dev/null 2>&1
[ $? = 2 ] || fail "unknown command is not exit 2"

if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "all sfnttool checks passed"
