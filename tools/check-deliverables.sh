#!/bin/sh
# Checks the shipped programs of a Windows build tree:
#   check-deliverables.sh OBJDUMP install.exe product.dll
# install.exe must be a PE32 GUI program for the Intel 80386 and product.dll a
# PE32 DLL; both export `start` and are stripped (no symbols, no debug
# sections: those stay in the .debug files of the build tree); install.exe
# imports nothing but system DLLs.
set -u
objdump=$1 exe=$2 dll=$3
fail=0
bad() { echo "FAIL: $*"; fail=1; }

file -b "$exe" | grep -q '^PE32 executable (GUI) Intel 80386' || bad "$exe: $(file -b "$exe")"
file -b "$dll" | grep -q '^PE32 executable (DLL).*Intel 80386' || bad "$dll: $(file -b "$dll")"
for f in "$exe" "$dll"; do
    "$objdump" -p "$f" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -qw 'start' \
        || bad "$f does not export start"
    "$objdump" -t "$f" | grep -q '^no symbols$' || bad "$f carries a symbol table"
    "$objdump" -h "$f" | grep -q ' \.debug_' && bad "$f carries debug sections"
done
imports=$("$objdump" -p "$exe" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
echo "install.exe imports: $(echo $imports)"
for d in $imports; do
    case "$d" in
        kernel32.dll|user32.dll|gdi32.dll|comctl32.dll|shell32.dll|ole32.dll|advapi32.dll|msvcrt.dll|comdlg32.dll) ;;
        *) bad "install.exe imports $d, which is not a Windows system DLL" ;;
    esac
done
[ $fail = 0 ] && echo "deliverables ok: $(file -b "$exe" | cut -d, -f1); $(file -b "$dll" | cut -d, -f1); stripped"
exit $fail
