# Builds the small fonts of the mkpackage tests:  make_fonts.py OUTDIR
# Each has two glyphs; the names below decide what mkpackage makes of it.
import os
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.t2CharStringPen import T2CharStringPen
from fontTools.pens.ttGlyphPen import TTGlyphPen

GLYPHS = [".notdef", "A"]


def draw(pen):
    pen.moveTo((50, 0))
    pen.lineTo((50, 700))
    pen.lineTo((550, 700))
    pen.lineTo((550, 0))
    pen.closePath()


def build(path, ps_name, family, cff=False, local=None, mac_postscript=None):
    """local: {Windows language id: family name} added as Windows records."""
    fb = FontBuilder(1000, isTTF=not cff)
    fb.setupGlyphOrder(GLYPHS)
    fb.setupCharacterMap({0x41: "A"})
    if cff:
        strings = {}
        for name in GLYPHS:
            pen = T2CharStringPen(600, None)
            draw(pen)
            strings[name] = pen.getCharString()
        fb.setupCFF(ps_name or "NoName", {"FullName": family}, strings, {})
    else:
        glyphs = {}
        for name in GLYPHS:
            pen = TTGlyphPen(None)
            draw(pen)
            glyphs[name] = pen.glyph()
        fb.setupGlyf(glyphs)
    fb.setupHorizontalMetrics({name: (600, 50) for name in GLYPHS})
    fb.setupHorizontalHeader(ascent=800, descent=-200)
    names = {"familyName": family, "styleName": "Regular"}
    if ps_name:
        names["psName"] = ps_name
    fb.setupNameTable(names, mac=False)
    for lang, text in (local or {}).items():
        fb.font["name"].setName(text, 1, 3, 1, lang)
        fb.font["name"].setName(text + " Regular", 4, 3, 1, lang)
    if mac_postscript:
        fb.font["name"].setName(mac_postscript, 6, 1, 0, 0)
    fb.setupOS2(achVendID="TEST", fsType=0)
    fb.setupPost()
    fb.save(path)


def main(out):
    os.makedirs(os.path.join(out, "a"), exist_ok=True)
    os.makedirs(os.path.join(out, "b"), exist_ok=True)
    # Good fonts: a Traditional Chinese name that Big5 holds, one it does not
    # (simplified characters), and a Japanese one.
    build(os.path.join(out, "GoodSans.ttf"), "GoodSans-Regular", "Good Sans",
          local={0x404: "好字體", 0x411: "グッド"})
    build(os.path.join(out, "OtherSans.ttf"), "OtherSans-Regular", "Other Sans",
          local={0x404: "简体黑"})
    build(os.path.join(out, "Zurich.ttf"), "Zurich-Regular", "Zürich Sans")  # accents beyond ASCII
    build(os.path.join(out, "a", "Same.ttf"), "SameA-Regular", "Same A")
    build(os.path.join(out, "b", "Same.ttf"), "SameB-Regular", "Same B")
    build(os.path.join(out, "NoPostScript.ttf"), None, "No PostScript")
    build(os.path.join(out, "LongName.ttf"), "LongName-Regular", "Long " * 60)
    build(os.path.join(out, "Cff.otf"), "CffSans-Regular", "Cff Sans", cff=True)
    # Another font under GoodSans's family name: the same Fonts value name.
    build(os.path.join(out, "Twin.ttf"), "TwinSans-Regular", "Good Sans")
    # A Macintosh PostScript name with a byte beyond ASCII (Mac Roman é).
    build(os.path.join(out, "HighByte.ttf"), "HighByte-Regular", "High Byte", mac_postscript="CaféSans-Regular")
    # The Big5 form of this category has 0x5C as a second byte.
    build(os.path.join(out, "Split.ttf"), "Split-Regular", "Split Sans", local={0x404: "許功蓋"})
    with open(os.path.join(out, "NotAFont.ttf"), "w") as f:
        f.write("This is not a font.\n")
    with open(os.path.join(out, "GoodSans.ttf"), "rb") as f:
        data = f.read()
    with open(os.path.join(out, "Cut.ttf"), "wb") as f:
        f.write(data[:200])


if __name__ == "__main__":
    main(sys.argv[1])
