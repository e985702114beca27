# Builds the small real fonts that the Windows tests install and register:
#   make_fonts.py OUTDIR
# Each font has three glyphs, a Macintosh Roman English PostScript name and
# the vendor id given below; TrueType outlines for ".ttf", CFF for ".otf".
import os
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.t2CharStringPen import T2CharStringPen
from fontTools.pens.ttGlyphPen import TTGlyphPen

# file name, PostScript name, family name, vendor id
FONTS = [
    ("QXSampleTT-W5.ttf", "QXSampleTT-W5", "QX SampleTT W5", "ZORV"),
    ("QXSample-W5.otf", "QXSample-W5", "QX Sample W5", "ZORV"),
    ("QXOther-W3.otf", "QXOther-W3", "QX Other W3", "ZORU"),
    ("QXForeign-W1.otf", "QXForeign-W1", "QX Foreign W1", "ABCD"),
    ("ABCDSans.ttf", "ABCDSans-Regular", "ABCD Sans", "ABCD"),
]

GLYPHS = [".notdef", "space", "A"]


def draw(pen, width):
    pen.moveTo((50, 0))
    pen.lineTo((50, 700))
    pen.lineTo((width - 50, 700))
    pen.lineTo((width - 50, 0))
    pen.closePath()


def build(path, ps_name, family, vendor, mac=True, windows_ps_name=None):
    cff = path.endswith(".otf")
    fb = FontBuilder(1000, isTTF=not cff)
    fb.setupGlyphOrder(GLYPHS)
    fb.setupCharacterMap({0x20: "space", 0x41: "A"})
    if cff:
        strings = {}
        for name in GLYPHS:
            pen = T2CharStringPen(600, None)
            if name != "space":
                draw(pen, 600)
            strings[name] = pen.getCharString()
        fb.setupCFF(ps_name, {"FullName": family + " Regular"}, strings, {})
    else:
        glyphs = {}
        for name in GLYPHS:
            pen = TTGlyphPen(None)
            if name != "space":
                draw(pen, 600)
            glyphs[name] = pen.glyph()
        fb.setupGlyf(glyphs)
    fb.setupHorizontalMetrics({name: (600, 50) for name in GLYPHS})
    fb.setupHorizontalHeader(ascent=800, descent=-200)
    fb.setupNameTable({"familyName": family, "styleName": "Regular", "psName": ps_name}, mac=mac)
    if windows_ps_name:
        fb.font["name"].setName(windows_ps_name, 6, 3, 1, 0x409)
    fb.setupOS2(achVendID=vendor, fsType=0, sTypoAscender=800, sTypoDescender=-200,
                usWinAscent=800, usWinDescent=200)
    fb.setupPost()
    fb.save(path)


def main(outdir):
    os.makedirs(outdir, exist_ok=True)
    for file_name, ps_name, family, vendor in FONTS:
        build(os.path.join(outdir, file_name), ps_name, family, vendor)
    # Names only in Windows records, as many current fonts have them; and a
    # font whose Windows PostScript name differs from its Macintosh one.
    build(os.path.join(outdir, "QXWinOnly-W4.otf"), "QXWinOnly-W4", "QX WinOnly W4", "ZORV", mac=False)
    build(os.path.join(outdir, "QXTwoNames-W4.otf"), "QXMacName-W4", "QX MacName W4", "ZORV",
          windows_ps_name="QXWinName-W4")


if __name__ == "__main__":
    main(sys.argv[1])
