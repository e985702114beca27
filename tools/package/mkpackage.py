#!/usr/bin/python3
"""Builds the data of one font package from its name map.

    mkpackage.py --namemap NAMEMAP.en.csv [--local NAMEMAP.tc.csv] --out DIR
                 [--truetype] [--pad BYTES]

The English name map (ASCII) lists the fonts: for each line it makes the font
file (PostScript name from column 5, "-Wn" giving the weight), places it on
the disc as FontData/<name> (column 1, without extension), renders a
240 x 48 sample bitmap from the font itself, and writes:

    DIR/fonts/<PostScript>.<otf|ttf>     the fonts
    DIR/disc/FontData/...                the disc's font folder
    DIR/samples/<POSTSCRIPT>.bmp         sample bitmaps (4 bits per pixel)
    DIR/samples/SAMPLE_MISSING.bmp       the picture for no selection
    DIR/samples.rc                       the bitmap resources
    DIR/NameMap.En.csv                   the name map, CR LF
    DIR/NameMap.Tc.csv                   the local name map in Big5 (code page 950)
"""
import argparse
import os
import re
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import mkfonts  # noqa: E402

SAMPLE_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"


def read_lines(path):
    with open(path, "rb") as f:
        data = f.read().decode("utf-8")
    return [l for l in re.split(r"\r\n|\r|\n", data) if l]


def fields(line):
    return [f for f in re.split(r"[,\t]+", line) if f]


def write_crlf(path, lines, encoding):
    data = "".join(l + "\r\n" for l in lines).encode(encoding)
    with open(path, "wb") as f:
        f.write(data)
    return data


def check_big5_categories(lines):
    """A Big5 category whose character has 0x5C as its second byte would be
    split there; refuse such a name map."""
    for line in lines:
        if line.startswith(("#", ";")):
            continue
        cols = fields(line)
        if len(cols) < 6:
            continue
        raw = cols[5].encode("big5")
        i = 0
        while i < len(raw):
            if raw[i] >= 0x81 and i + 1 < len(raw):
                if raw[i + 1] == 0x5C:
                    sys.exit("mkpackage: category %r has a Big5 character ending in 0x5C" % cols[5])
                i += 2
            else:
                i += 1


def render(bmp, font, text, size=30):
    subprocess.run(["convert", "-size", "240x48", "xc:white", "-font", font,
                    "-pointsize", str(size), "-fill", "black", "-annotate", "+6+36", text,
                    "-colors", "16", "-type", "Palette", "-depth", "4", "BMP3:" + bmp],
                   check=True)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--namemap", required=True)
    ap.add_argument("--local")
    ap.add_argument("--out", required=True)
    ap.add_argument("--truetype", action="store_true")
    ap.add_argument("--pad", type=int, default=0)
    args = ap.parse_args()

    out = args.out
    for sub in ("fonts", "disc/FontData", "samples"):
        shutil.rmtree(os.path.join(out, sub), ignore_errors=True)
        os.makedirs(os.path.join(out, sub))

    lines = read_lines(args.namemap)
    ext = ".ttf" if args.truetype else ".otf"
    rc = ["// Sample bitmaps, one per font, named by the PostScript name."]
    for line in lines:
        if line.startswith(("#", ";")):
            continue
        cols = fields(line)
        suitcase, marukan, roman, ps = cols[0], cols[1], cols[3], cols[4]
        m = re.search(r"-W(\d)$", ps)
        weight = int(m.group(1)) if m else 5
        family = ps.split("-")[0]
        font = os.path.join(out, "fonts", ps + ext)
        mkfonts.build(font, ps, family, weight, truetype=args.truetype, pad_to=args.pad)
        disc_path = os.path.join(out, "disc", *suitcase.split("\\"))
        os.makedirs(os.path.dirname(disc_path), exist_ok=True)
        shutil.copyfile(font, disc_path)
        bmp = os.path.join(out, "samples", ps.upper() + ".bmp")
        render(bmp, font, roman.upper())
        rc.append('%s BITMAP "%s"' % (ps.upper(), bmp))
    missing = os.path.join(out, "samples", "SAMPLE_MISSING.bmp")
    render(missing, SAMPLE_FONT, "No font selected", size=20)
    rc.append('SAMPLE_MISSING BITMAP "%s"' % missing)
    with open(os.path.join(out, "samples.rc"), "w") as f:
        f.write("\n".join(rc) + "\n")

    write_crlf(os.path.join(out, "NameMap.En.csv"), lines, "ascii")
    if args.local:
        local = read_lines(args.local)
        check_big5_categories(local)
        write_crlf(os.path.join(out, "NameMap.Tc.csv"), local, "big5")


if __name__ == "__main__":
    main()
