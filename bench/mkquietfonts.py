#!/usr/bin/python3
"""Makes the package of the quiet-run benchmark.

    mkquietfonts.py OUTDIR COUNT

OUTDIR/FontData/QXQuiet-001 .. QXQuiet-COUNT: maker fonts (vendor ZORV) of
about 6 KB each, as the disc holds them (no extension), and
OUTDIR/NameMap.En.csv: their name map (CR LF), which the benchmark's
product module reads from beside install.exe.
"""
import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools", "package"))
import mkfonts  # noqa: E402

out, count = sys.argv[1], int(sys.argv[2])
shutil.rmtree(out, ignore_errors=True)
os.makedirs(os.path.join(out, "FontData"))
lines = ["#File,#Marukan,#Local,#Roman,#Postscript,#Category,#Local_Short,#Registry"]
for i in range(1, count + 1):
    ps = "QXQuiet-%03d" % i
    mkfonts.build(os.path.join(out, "FontData", ps), ps, "QXQuiet", 5)
    lines.append("FontData\\%s,%s.otf,QX Quiet %03d,QX Quiet %03d,%s,Quiet,Quiet %03d,%s Regular (OpenType)"
                 % (ps, ps, i, i, ps, i, ps))
with open(os.path.join(out, "NameMap.En.csv"), "wb") as f:
    f.write("".join(l + "\r\n" for l in lines).encode("ascii"))
open(os.path.join(out, "stamp"), "w").close()
