#!/usr/bin/python3
"""Builds the sample fonts of a package: dot-matrix outlines drawn in code.

Each font is a real sfnt file (CFF-based ".otf" or glyf-based ".ttf") with a
Macintosh Roman PostScript name, vendor id ZORV and embedding type 0
(installable), so that the installer can recognise, stamp and register it.

    mkfonts.py --namemap NAMEMAP.csv --out DIR [--truetype] [--pad BYTES]
        one font per line of the name map, DIR/<PostScript name>.otf (.ttf),
        weight from a "-Wn" ending of the PostScript name (column 5)
    mkfonts.py --count N --out DIR [--truetype]
        N distinct fonts QXScale-00001 ... for packages of many fonts
"""
import argparse
import os
import re
import shutil
from fontTools.fontBuilder import FontBuilder
from fontTools.pens.t2CharStringPen import T2CharStringPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import newTable

from glyphs import GLYPHS

UPM = 1000
CELL = 100        # one dot of the 5 x 7 matrix
ADVANCE = 6 * CELL
# Weight digit (W3, W5, ...) -> share of a cell that each dot covers.
DOT = {1: 0.45, 2: 0.5, 3: 0.55, 4: 0.65, 5: 0.75, 6: 0.85, 7: 0.95}


def glyph_name(ch):
    return {" ": "space", "-": "hyphen", ".": "period"}.get(ch, "uni%04X" % ord(ch))


def draw(pen, pattern, share, clockwise):
    rows = pattern.split("|")
    size = CELL * share
    pad = (CELL - size) / 2
    for r, row in enumerate(rows):
        for c, dot in enumerate(row):
            if dot != "#":
                continue
            x0 = 50 + c * CELL + pad
            y0 = (6 - r) * CELL + pad
            pts = [(x0, y0), (x0 + size, y0), (x0 + size, y0 + size), (x0, y0 + size)]
            if clockwise:
                pts = [pts[0], pts[3], pts[2], pts[1]]
            pen.moveTo(tuple(round(v) for v in pts[0]))
            for p in pts[1:]:
                pen.lineTo(tuple(round(v) for v in p))
            pen.closePath()


def build(path, ps_name, family, weight, truetype=False, pad_to=0, vendor="ZORV", fs_type=0):
    share = DOT.get(weight, 0.75)
    order = [".notdef"] + [glyph_name(ch) for ch in GLYPHS]
    cmap = {}
    for ch in GLYPHS:
        cmap[ord(ch)] = glyph_name(ch)
        if ch.isalpha():
            cmap[ord(ch.lower())] = glyph_name(ch)
    fb = FontBuilder(UPM, isTTF=truetype)
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap(cmap)
    metrics = {name: (ADVANCE, 0) for name in order}
    notdef = "#####|#...#|#...#|#...#|#...#|#...#|#####"
    if truetype:
        glyphs = {}
        for name, pattern in [(".notdef", notdef)] + [(glyph_name(c), p) for c, p in GLYPHS.items()]:
            pen = TTGlyphPen(None)
            draw(pen, pattern, share, clockwise=True)
            glyphs[name] = pen.glyph()
        fb.setupGlyf(glyphs)
        for name in order:
            g = glyphs[name]
            metrics[name] = (ADVANCE, getattr(g, "xMin", 0))
    else:
        charstrings = {}
        for name, pattern in [(".notdef", notdef)] + [(glyph_name(c), p) for c, p in GLYPHS.items()]:
            pen = T2CharStringPen(ADVANCE, None)
            draw(pen, pattern, share, clockwise=False)
            charstrings[name] = pen.getCharString()
        fb.setupCFF(ps_name, {"FullName": "%s W%d" % (family, weight)}, charstrings, {})
        for name in order:
            bounds = charstrings[name].calcBounds(None)
            metrics[name] = (ADVANCE, bounds[0] if bounds else 0)
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=800, descent=-200)
    names = {
        "familyName": "%s W%d" % (family, weight),
        "styleName": "Regular",
        "uniqueFontIdentifier": "%s;1.000" % ps_name,
        "fullName": "%s W%d" % (family, weight),
        "psName": ps_name,
        "version": "Version 1.000",
    }
    fb.setupNameTable(names, mac=True)
    fb.setupOS2(achVendID=vendor, fsType=fs_type, usWeightClass=100 * weight,
                sTypoAscender=800, sTypoDescender=-200, sTypoLineGap=0,
                usWinAscent=800, usWinDescent=200)
    fb.setupPost()
    if pad_to:
        # Large files for benchmarks: a private table of zero bytes.
        size = max(0, pad_to - 4096)
        table = newTable("zzzz")
        table.data = bytes(size)
        fb.font["zzzz"] = table
    fb.save(path)


def postscript_names(namemap):
    """The PostScript names (column 5) of a name map's font lines."""
    with open(namemap, "rb") as f:
        lines = [l for l in re.split(r"\r\n|\r|\n", f.read().decode("utf-8")) if l]
    names = []
    for line in lines:
        if line.startswith(("#", ";")):
            continue
        cols = [c for c in re.split(r"[,\t]+", line) if c]
        if len(cols) >= 5:
            names.append(cols[4])
    return names


def main():
    ap = argparse.ArgumentParser(description="Builds dot-matrix sample fonts.")
    which = ap.add_mutually_exclusive_group(required=True)
    which.add_argument("--namemap", help="one font per line of this name map")
    which.add_argument("--count", type=int, help="this many distinct fonts")
    ap.add_argument("--out", required=True)
    ap.add_argument("--truetype", action="store_true", help="glyf outlines (.ttf) instead of CFF (.otf)")
    ap.add_argument("--pad", type=int, default=0, help="pad each font to this many bytes")
    args = ap.parse_args()
    shutil.rmtree(args.out, ignore_errors=True)
    os.makedirs(args.out)
    ext = ".ttf" if args.truetype else ".otf"
    if args.namemap:
        names = postscript_names(args.namemap)
    else:
        names = ["QXScale-%05d" % i for i in range(1, args.count + 1)]
    for ps in names:
        m = re.search(r"-W(\d)$", ps)
        # Fonts made by count differ in their family names as well.
        family = ps.split("-")[0] if args.namemap else ps.replace("-", " ")
        build(os.path.join(args.out, ps + ext), ps, family, int(m.group(1)) if m else 5,
              truetype=args.truetype, pad_to=args.pad)


if __name__ == "__main__":
    main()
