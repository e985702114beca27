#!/bin/sh
# Checks that a disc image carries every font file of a name map under its
# own name in the plain ISO 9660 directory tree, the one a system without
# Joliet support (Windows NT 3.51) reads:
#
#   check-iso-names.sh IMAGE NAMEMAP
#
# Column 1 of each name-map line is the file's path on the disc without its
# extension. The file's full name (with whatever extension it has) is taken
# from the image's Rock Ridge or Joliet tree; the plain tree must hold the
# same path, with case not counting, as CD file systems on Windows compare
# names, and with the version ";1" and a bare trailing dot removed, as they
# show them. Prints the plain listing's faults and fails on any.
set -eu
image=$1 namemap=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# xorriso quotes each path; "-ecma119_map unmapped" keeps ";1" and the dot.
list() {  # read_fs output
    xorriso -read_fs "$1" -ecma119_map unmapped -indev "$image" -find / -type f 2>"$work/err" |
        sed -n "s/^'\(.*\)'\$/\1/p" > "$2" || { cat "$work/err" >&2; exit 2; }
}
list any "$work/full"
list ecma119 "$work/plain"
if [ ! -s "$work/full" ]; then
    echo "FAIL: $image: no files could be listed" >&2
    cat "$work/err" >&2
    exit 1
fi

awk -v image="$image" -v namemap="$namemap" -v full="$work/full" -v plain="$work/plain" '
function norm(p) { sub(/;[0-9]+$/, "", p); sub(/\.$/, "", p); return toupper(p) }
BEGIN {
    while ((getline line < plain) > 0) shown[norm(line)] = line
    while ((getline line < full) > 0) files[++nfiles] = line
    fail = 0; count = 0
    while ((getline line < namemap) > 0) {
        sub(/\r$/, "", line)
        if (line == "" || substr(line, 1, 1) == "#") continue
        split(line, field, /[,\t]/)
        path = "/" field[1]; gsub(/\\/, "/", path)
        want = toupper(path)
        found = 0
        for (i = 1; i <= nfiles; i++) {
            name = toupper(files[i])
            if (name != want && !(index(name, want ".") == 1 && index(substr(name, length(want) + 2), "/") == 0))
                continue
            found = 1; count++
            if (!(name in shown)) {
                printf "FAIL: %s: %s has no plain ISO 9660 name %s\n", image, files[i], name
                fail = 1
            }
        }
        if (!found) {
            printf "FAIL: %s: %s of the name map is not on the disc\n", image, field[1]
            fail = 1
        }
    }
    if (!fail) printf "iso names ok: %s: %d files of %s under their own names\n", image, count, namemap
    exit fail
}'
