#!/usr/bin/python3
"""Makes the fonts of the scale benchmark's packages.

    mkscalefonts.py OUTDIR N

OUTDIR/QXScale-0001.ttf .. QXScale-NNNN.ttf: N distinct small TrueType fonts
of the maker (vendor ZORV), PostScript names QXScale-0001.., full names
"QXScale 0001 W5" (the weights go round 1 to 7).
OUTDIR/categories.txt: every font in the one category "QX Scale", for the
package builder's --categories, so that the tree has one top category
holding all N fonts.
OUTDIR/stamp: the count, written last.
"""
import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools", "package"))
import mkfonts  # noqa: E402

out, count = sys.argv[1], int(sys.argv[2])
shutil.rmtree(out, ignore_errors=True)
os.makedirs(out)
lines = []
for i in range(1, count + 1):
    ps = "QXScale-%04d" % i
    mkfonts.build(os.path.join(out, ps + ".ttf"), ps, "QXScale %04d" % i, 1 + (i - 1) % 7, truetype=True)
    lines.append("%s\tQX Scale\n" % ps)
with open(os.path.join(out, "categories.txt"), "w") as f:
    f.writelines(lines)
with open(os.path.join(out, "stamp"), "w") as f:
    f.write("%d\n" % count)
