#!/bin/sh
# The worked example of tools/mkpackage: a TrueType package of DejaVu fonts
# and the WenQuanYi Micro Hei collection, made against the Windows tree TREE
# into OUT, and what the tool wrote for them.
#   mkpackage_example.sh TREE OUT
# Exit 77 (skipped) when the fonts are not installed.
set -u
tree=$1 out=$2
top=$(cd "$(dirname "$0")/../.." && pwd)
dejavu=/usr/share/fonts/truetype/dejavu
wqy=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
for f in "$dejavu/DejaVuSans.ttf" "$wqy"; do
    [ -f "$f" ] || { echo "SKIP: $f is not installed (tools/setup.sh)"; exit 77; }
done

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

rm -rf "$out"
cd "$top" || exit 1
tools/mkpackage --tree "$tree" --title "DejaVu and WenQuanYi" --label DEJAVU_WQY --out "$out" \
    "$dejavu/DejaVuSans.ttf" "$dejavu/DejaVuSans-Bold.ttf" "$dejavu/DejaVuSerif.ttf" "$wqy" \
    >"$out.log" 2>&1
status=$?
cat "$out.log"
[ $status = 0 ] || { echo "FAIL: mkpackage exit status $status"; exit 1; }
[ "$(grep -c ' -> FontData' "$out.log")" = 4 ] || fail "not one line per font"

for f in install.exe product.dll FontData/DejaVuSans.ttf FontData/DejaVuSans-Bold.ttf \
         FontData/DejaVuSerif.ttf FontData/wqy-microhei.ttc; do
    [ -s "$out/disc/$f" ] || fail "disc/$f missing"
done
cmp -s "$wqy" "$out/disc/FontData/wqy-microhei.ttc" || fail "the collection was changed on the disc"
xorriso -indev "$out/DEJAVU_WQY.iso" -pvd_info 2>/dev/null | grep -q "^Volume Id *: DEJAVU_WQY$" ||
    fail "ISO volume id"
# (The 64-bit objdump reads the modules of both Windows trees.)
x86_64-w64-mingw32-objdump -p "$out/disc/product.dll" 2>/dev/null | grep -q '\] IsMyFontFile$' ||
    fail "product.dll does not export IsMyFontFile"

work=$out/work
en=$work/NameMap.En.csv
line() { grep -a "^FontData\\\\$1," "$2" | tr -d '\r'; }
[ "$(line DejaVuSans-Bold.ttf "$en")" = 'FontData\DejaVuSans-Bold.ttf,DejaVuSans-Bold.ttf,DejaVu Sans Bold,DejaVu Sans Bold,DejaVuSans-Bold,DejaVu Sans,Bold,DejaVu Sans Bold (TrueType)' ] ||
    fail "English line of DejaVuSans-Bold: $(line DejaVuSans-Bold.ttf "$en")"
[ "$(line wqy-microhei.ttc "$en")" = 'FontData\wqy-microhei.ttc,wqy-microhei.ttc,WenQuanYi Micro Hei & WenQuanYi Micro Hei Mono,WenQuanYi Micro Hei & WenQuanYi Micro Hei Mono,WenQuanYiMicroHei,WenQuanYi Micro Hei,Regular & Mono,WenQuanYi Micro Hei & WenQuanYi Micro Hei Mono (TrueType)' ] ||
    fail "English line of the collection: $(line wqy-microhei.ttc "$en")"
# The Chinese maps carry the collection's own Traditional Chinese names in
# Big5; it has no Japanese names, so the Japanese map has the English ones.
tc=$(line wqy-microhei.ttc "$work/NameMap.Tc.csv" | iconv -f cp950 -t utf-8)
case $tc in
*',文泉驛微米黑 & 文泉驛等寬微米黑,WenQuanYi Micro Hei & WenQuanYi Micro Hei Mono,WenQuanYiMicroHei,文泉驛微米黑,Regular & 文泉驛等寬微米黑,'*) ;;
*) fail "Traditional Chinese line of the collection: $tc" ;;
esac
cmp -s "$work/NameMap.Hk.csv" "$work/NameMap.Tc.csv" || fail "the Hong Kong map differs"
[ "$(line wqy-microhei.ttc "$work/NameMap.Jp.csv")" = "$(line wqy-microhei.ttc "$en")" ] ||
    fail "Japanese line of the collection"
for ps in DEJAVUSANS DEJAVUSANS-BOLD DEJAVUSERIF WENQUANYIMICROHEI SAMPLE_MISSING; do
    file "$work/samples/$ps.bmp" | grep -q '240 x 48 x 4' || fail "sample $ps"
done
[ $failures = 0 ] && echo "mkpackage example: all checks passed"
[ $failures = 0 ]
