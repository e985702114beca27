#!/bin/sh
# The package disc's ISO image as a system without Joliet reads it:
#
#   iso_names_test.sh TOOLS IMAGE FOLDER NAMEMAP
#
# The image (made by TOOLS/mkiso.sh from FOLDER) carries every font of
# NAMEMAP under its own plain ISO 9660 name and the volume id Disc512; the
# check refuses an image with 8.3 names made from the same folder, and
# mkiso.sh removes an image that lacks a font of its name map.
set -u
tools=$1 image=$2 folder=$3 namemap=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
bad() { echo "FAIL: $*"; fail=1; }

sh "$tools/check-iso-names.sh" "$image" "$namemap" || fail=1
xorriso -indev "$image" -pvd_info 2>/dev/null | grep -q '^Volume Id *: Disc512$' || bad "$image: volume id is not Disc512"

xorriso -as mkisofs -quiet -V Disc512 -J -r -o "$work/mangled.iso" "$folder"
sh "$tools/check-iso-names.sh" "$work/mangled.iso" "$namemap" > "$work/out" && bad "8.3 names pass the check"
grep -q 'QXSample-W3 has no plain ISO 9660 name' "$work/out" || bad "no report of the mangled QXSample-W3: $(cat "$work/out")"

{ cat "$namemap"; printf 'FontData\\QXMissing-W9,QXMissing-W9.otf,x,x,x,x,x,x\r\n'; } > "$work/namemap.csv"
sh "$tools/mkiso.sh" Disc512 "$folder" "$work/short.iso" "$work/namemap.csv" > "$work/out" && bad "mkiso.sh passes a missing font"
grep -q 'QXMissing-W9 of the name map is not on the disc' "$work/out" || bad "no report of the missing font: $(cat "$work/out")"
[ ! -e "$work/short.iso" ] || bad "mkiso.sh leaves a failing image behind"
[ $fail = 0 ] && echo "iso names test ok"
exit $fail
