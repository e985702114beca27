#!/usr/bin/python3
"""Makes the fonts that the catalogue benchmark registers.

    mkcatfonts.py OUTDIR

OUTDIR/QXCat-001.otf .. QXCat-300.otf: maker fonts (vendor ZORV). The first
40 carry the PostScript names of the bench name map (QXBench-01..40), the
others names that the name map does not list (QXCatalog-041..300).
OUTDIR/QXOtherVendor.otf: a font of another vendor, with the maker's initial
in its file name so that the catalogue has to open it to tell.
"""
import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools", "package"))
import mkfonts  # noqa: E402

out = sys.argv[1]
shutil.rmtree(out, ignore_errors=True)
os.makedirs(out)
for i in range(1, 301):
    ps = "QXBench-%02d" % i if i <= 40 else "QXCatalog-%03d" % i
    mkfonts.build(os.path.join(out, "QXCat-%03d.otf" % i), ps, ps.split("-")[0], 5)
mkfonts.build(os.path.join(out, "QXOtherVendor.otf"), "OtherVendor-Regular", "OtherVendor", 5,
              vendor="ABCD")
open(os.path.join(out, "stamp"), "w").close()
