#!/bin/sh
# Makes the ISO 9660 image of a package disc folder.
#
#   mkiso.sh LABEL FOLDER IMAGE
#
# LABEL becomes the volume id, which the installer's disc search compares
# with the package's disc labels.
set -eu
label=$1 folder=$2 image=$3
xorriso -as mkisofs -quiet -V "$label" -J -r -o "$image" "$folder"
