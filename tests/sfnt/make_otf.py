# Builds a small CFF-flavoured OpenType font for the sfnttool script test:
#   make_otf.py OUT.otf
# Three glyphs drawn with a pen, vendor "ZORV", fsType 0 (installable).
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.t2CharStringPen import T2CharStringPen


def box(width, inset):
    pen = T2CharStringPen(width, None)
    pen.moveTo((inset, 0))
    pen.lineTo((inset, 700))
    pen.lineTo((width - inset, 700))
    pen.lineTo((width - inset, 0))
    pen.closePath()
    return pen.getCharString()


def triangle(width):
    pen = T2CharStringPen(width, None)
    pen.moveTo((50, 0))
    pen.lineTo((width // 2, 700))
    pen.lineTo((width - 50, 0))
    pen.closePath()
    return pen.getCharString()


def main(out):
    family = "Zorv Test"
    style = "Regular"
    ps_name = "ZorvTest-Regular"
    fb = FontBuilder(1000, isTTF=False)
    fb.setupGlyphOrder([".notdef", "space", "A", "B"])
    fb.setupCharacterMap({0x20: "space", 0x41: "A", 0x42: "B"})
    empty = T2CharStringPen(250, None).getCharString()
    charstrings = {".notdef": box(500, 50), "space": empty, "A": triangle(600), "B": box(600, 80)}
    fb.setupCFF(ps_name, {"FullName": family + " " + style}, charstrings, {})
    metrics = {".notdef": (500, 50), "space": (250, 0), "A": (600, 50), "B": (600, 80)}
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=800, descent=-200)
    fb.setupNameTable({"familyName": family, "styleName": style, "psName": ps_name}, mac=True)
    fb.setupOS2(achVendID="ZORV", fsType=0, sTypoAscender=800, sTypoDescender=-200,
                usWinAscent=800, usWinDescent=200)
    fb.setupPost()
    fb.save(out)


if __name__ == "__main__":
    main(sys.argv[1])
