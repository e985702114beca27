#!/bin/sh
# tools/mkpackage on small fonts made by fontTools: each reason for refusing
# a font, with its message, exit status 1 and nothing made; bad arguments;
# and the name maps of accepted fonts, whose Chinese names fall back to the
# English ones where Big5 cannot hold them.
#   mkpackage_test.sh SFNTTOOL MAKE_FONTS_PY
# Exit 77 (skipped) without fontTools or ImageMagick.
set -u
tool=$1 maker=$2
py=/usr/bin/python3
top=$(cd "$(dirname "$0")/../.." && pwd)
if ! "$py" -c 'import fontTools.fontBuilder' 2>/dev/null || ! command -v convert >/dev/null; then
    echo "SKIP: fontTools or ImageMagick is missing"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
"$py" "$maker" "$work/f" || { echo "FAIL: cannot build the fonts"; exit 1; }
f=$work/f
long=ThisFontFileNameIsTooLongForTheDisc  # 39 characters with ".ttf"
cp "$f/OtherSans.ttf" "$f/$long.ttf"
mk() { "$top/tools/mkpackage" --sfnttool "$tool" --title "Test Fonts" --label TEST "$@"; }

# Every refused font: one line naming the file and the reason; nothing made.
mk --out "$work/out" "$f/GoodSans.ttf" "$f/NotAFont.ttf" "$f/Cut.ttf" "$f/missing.ttf" \
    "$f/NoPostScript.ttf" "$f/LongName.ttf" "$f/a/Same.ttf" "$f/b/Same.ttf" "$f/Cff.otf" \
    "$f/Split.ttf" "$f/$long.ttf" "$f/Twin.ttf" "$f/HighByte.ttf" >"$work/out.txt" 2>"$work/err.txt"
status=$?
cat "$work/err.txt"
[ $status = 1 ] || fail "exit status $status for refused fonts"
[ ! -e "$work/out" ] || fail "something was made"
[ ! -s "$work/out.txt" ] || fail "lines on standard output: $(cat "$work/out.txt")"
expect() {  # file, message
    grep -qxF "mkpackage: $1: $2" "$work/err.txt" || fail "no line '$1: $2'"
}
expect "$f/NotAFont.ttf" "not a font: it begins with no font or collection tag"
expect "$f/Cut.ttf" "cannot be read: cut off or unreadable"
expect "$f/missing.ttf" "cannot be read: no such file"
expect "$f/NoPostScript.ttf" "has no PostScript name"
expect "$f/LongName.ttf" "a name is longer than the installer's buffers: \"Long Long Long Long Long Long Long Lo...\" takes 307 bytes, at most 255"
expect "$f/b/Same.ttf" "would install under the same file name Same.ttf as $f/a/Same.ttf"
expect "$f/Cff.otf" "the outline types are mixed: CFF outlines in a package of TrueType fonts ($f/GoodSans.ttf)"
expect "$f/Split.ttf" "category 許功蓋 would be split at a 0x5C byte in Big5"
expect "$f/$long.ttf" "a name is longer than the disc's file names allow: $long.ttf has 39 characters, at most 31 (rename the file)"
expect "$f/Twin.ttf" "would register under the same name \"Good Sans Regular (TrueType)\" as $f/GoodSans.ttf"
grep -q "^mkpackage: $f/HighByte.ttf: has no PostScript name: 'Caf.*Sans-Regular' is not one$" "$work/err.txt" ||
    fail "no line for the PostScript name beyond ASCII"
[ "$(grep -c "^mkpackage: $f" "$work/err.txt")" = 11 ] || fail "not one line per refused font"
grep -qF "mkpackage: $f/GoodSans.ttf:" "$work/err.txt" && fail "an accepted font was refused"

# Bad arguments: exit status 2, nothing made.
mk --out "$work/out" >/dev/null 2>&1
[ $? = 2 ] || fail "no font: exit status is not 2"
"$top/tools/mkpackage" --sfnttool "$tool" --title T --label "NOT A LABEL" --out "$work/out" "$f/GoodSans.ttf" \
    >/dev/null 2>&1
[ $? = 2 ] || fail "a label with spaces: exit status is not 2"
[ ! -e "$work/out" ] || fail "something was made for bad arguments"

# Accepted fonts: the name maps.
mk --sources-only --out "$work/good" "$f/GoodSans.ttf" "$f/OtherSans.ttf" "$f/Zurich.ttf" >"$work/good.txt" 2>&1 ||
    { cat "$work/good.txt"; fail "good fonts refused"; }
[ "$(grep -c ' -> FontData' "$work/good.txt")" = 3 ] || fail "not one line per font"
grep -aqF 'FontData\Zurich.ttf,Zurich.ttf,Zurich Sans Regular,Zurich Sans Regular,Zurich-Regular,Zurich Sans,Regular,Zurich Sans Regular (TrueType)' \
    "$work/good/work/NameMap.En.csv" || fail "accented English names in ASCII"
w=$work/good/work
tc=$(iconv -f cp950 -t utf-8 "$w/NameMap.Tc.csv" | tr -d '\r')
echo "$tc" | grep -qxF 'FontData\GoodSans.ttf,GoodSans.ttf,好字體 Regular,Good Sans Regular,GoodSans-Regular,好字體,Regular,Good Sans Regular (TrueType)' ||
    fail "Big5 names of GoodSans: $tc"
echo "$tc" | grep -qxF 'FontData\OtherSans.ttf,OtherSans.ttf,Other Sans Regular,Other Sans Regular,OtherSans-Regular,Other Sans,Regular,Other Sans Regular (TrueType)' ||
    fail "the simplified Chinese name did not fall back to English: $tc"
iconv -f cp932 -t utf-8 "$w/NameMap.Jp.csv" | grep -qF ',グッド Regular,Good Sans Regular,GoodSans-Regular,グッド,' ||
    fail "Shift-JIS names of GoodSans"
tr -d '\r' <"$w/NameMap.En.csv" | LC_ALL=C grep -q '[^ -~]' && fail "the English name map is not ASCII"
grep -q '^{"GoodSans-Regular", {.T., .E., .S., .T.}, ' "$w/package_fonts.inc" || fail "IsMyFontFile list"

# Categories from a file, nested, with a Traditional Chinese form.
printf '# PostScript name, category, Chinese\nGoodSans-Regular\tSans\\Good\t無襯線\\好\n' >"$work/cats.txt"
mk --sources-only --categories "$work/cats.txt" --out "$work/cats" "$f/GoodSans.ttf" "$f/OtherSans.ttf" \
    >/dev/null 2>&1 || fail "categories file refused"
grep -aqF ',GoodSans-Regular,Sans\Good,Good Sans Regular,' "$work/cats/work/NameMap.En.csv" ||
    fail "English category from the file"
iconv -f cp950 -t utf-8 "$work/cats/work/NameMap.Tc.csv" | grep -qF ',GoodSans-Regular,無襯線\好,' ||
    fail "Chinese category from the file"
grep -aqF ',OtherSans-Regular,Other Sans,Regular,' "$work/cats/work/NameMap.En.csv" ||
    fail "a font the file does not list keeps its family"
printf 'NoSuchFont\tSans\n' >"$work/bad-cats.txt"
mk --sources-only --categories "$work/bad-cats.txt" --out "$work/bad" "$f/GoodSans.ttf" >/dev/null 2>&1
[ $? = 2 ] || fail "a categories file naming no font of the package: exit status is not 2"

# CFF outlines make an OpenType package.
mk --sources-only --out "$work/otf" "$f/Cff.otf" >/dev/null 2>&1 || fail "the CFF font was refused"
grep -q 'IDS_PRODUCT_FONTTYPE "OpenType"' "$work/otf/work/product.rc" && grep -q 'IDS_PRODUCT_EXTENSIONS ".otf"' "$work/otf/work/product.rc" ||
    fail "strings of the OpenType package"
grep -aqF 'FontData\Cff.otf,Cff.otf,Cff Sans Regular,Cff Sans Regular,CffSans-Regular,Cff Sans,Regular,Cff Sans Regular (OpenType)' \
    "$work/otf/work/NameMap.En.csv" || fail "name map of the OpenType package"

# A name map written by hand: taken as it is, each line matched to its font
# by PostScript name; a font it does not list is refused, a line without a
# font fails the package.
printf '#File,#Marukan,#Local,#Roman,#Postscript,#Category,#Local_Short,#Registry\nFontData\\Good,Good.ttf,Good,Good Sans,GoodSans-Regular,Sans,Good,Good (TrueType)\n' \
    >"$work/map.csv"
mk --sources-only --namemap "$work/map.csv" --out "$work/map" "$f/GoodSans.ttf" >/dev/null 2>&1 ||
    fail "a hand-written name map refused"
[ "$(tr -d '\r' <"$work/map/work/NameMap.En.csv")" = "$(cat "$work/map.csv")" ] ||
    fail "the hand-written name map was not written as it is"
file "$work/map/work/samples/GOODSANS-REGULAR.bmp" | grep -q '240 x 48 x 4' || fail "sample of the hand-written map"
mk --sources-only --namemap "$work/map.csv" --out "$work/map2" "$f/GoodSans.ttf" "$f/OtherSans.ttf" \
    >/dev/null 2>"$work/map2.txt"
[ $? = 1 ] && grep -qxF "mkpackage: $f/OtherSans.ttf: is not in the name map: no line has its PostScript name OtherSans-Regular" \
    "$work/map2.txt" || fail "a font the name map does not list: $(cat "$work/map2.txt")"
mk --sources-only --namemap "$work/map.csv" --out "$work/map3" "$f/OtherSans.ttf" >/dev/null 2>"$work/map3.txt"
[ $? = 1 ] && grep -qF "lists GoodSans-Regular, but no font of that PostScript name is given" "$work/map3.txt" ||
    fail "a name-map line without its font: $(cat "$work/map3.txt")"

[ $failures = 0 ] && echo "mkpackage: all checks passed"
[ $failures = 0 ]
