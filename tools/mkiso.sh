#!/bin/sh
# Makes the ISO 9660 image of a package disc folder.
#
#   mkiso.sh LABEL FOLDER IMAGE [NAMEMAP]
#
# LABEL becomes the volume id, which the installer's disc search compares
# with the package's disc labels. With SOURCE_DATE_EPOCH set, the image's
# own dates are that time and the same folder makes the same image.
#
# Besides the Joliet and Rock Ridge names, the plain ISO 9660 names must be
# the files' own names, since a system that reads no Joliet (Windows NT
# 3.51) looks the fonts up by them: level 2 allows names of up to 31
# characters, and relaxed names keep characters such as "-" (upper case
# only; Windows compares CD names without case). Given the package's name
# map, the image is checked for every font file of it under its own name
# (check-iso-names.sh), and a failing image is removed.
set -eu
label=$1 folder=$2 image=$3 namemap=${4:-}
# Every date of a file is its modification time, so that the same folder
# (with SOURCE_DATE_EPOCH for the image's own dates) makes the same image.
xorriso -as mkisofs -quiet -V "$label" -iso-level 2 -relaxed-filenames -J -r --set_all_file_dates set_to_mtime \
    -o "$image" "$folder"
if [ -n "$namemap" ]; then
    sh "$(dirname "$0")/check-iso-names.sh" "$image" "$namemap" || { rm -f "$image"; exit 1; }
fi
