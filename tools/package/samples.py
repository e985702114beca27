"""The sample bitmaps of a package: 240 x 48 pixels at 4 bits per pixel,
each a text drawn with the font itself by ImageMagick and fitted into the
picture.

A picture is what this single command makes of it:

    convert -background white -fill black -font FONT -size 228x40 -gravity west
            label:TEXT -bordercolor white -border 6x4 -extent 240x48
            -colors 16 -type Palette -depth 4 BMP3:FILE

ImageMagick's palette reduction allocates and clears a table of 128 MB each
time it runs, twice a picture there (-colors, and -type once more), and a
new process pays the kernel for every page of it again. So one convert
process draws a whole batch of pictures, each in parentheses of its own
with the options above up to -colors 16, and hands their pixels on as they
are (MIFF); the C library is told to keep freed memory for the next picture
instead of handing it back. What the rest of the command does to such a
picture is done here (palette_bitmap): its grey levels in ascending order
as the palette, each cut to 4 bits, written as a 4-bit BMP. A picture that
is not of that kind (not grey and opaque, fewer than 3 levels, two levels
close enough for the second reduction to map one to the other) is made by
the whole command. So is
every picture when the first one, made both ways, comes out otherwise: an
ImageMagick that draws differently then still gives its own pictures.
"""
import array
import os
import struct
import subprocess
import sys

# The options of one picture, around its label.
_BEFORE = ["-background", "white", "-fill", "black"]
_AFTER = ["-bordercolor", "white", "-border", "6x4", "-extent", "240x48", "-colors", "16"]
_FINISH = ["-type", "Palette", "-depth", "4"]
WIDTH, HEIGHT = 240, 48
# Pictures per convert process: enough that the process start and the first
# clearing of the tables are paid rarely, few enough for a command line.
BATCH = 400


class RenderError(Exception):
    pass


def _label(text):
    # ImageMagick reads "label:@name" from a file and expands % escapes.
    text = text.replace("\\", "\\\\").replace("%", "%%")
    if text.startswith("@"):
        text = "\\" + text
    return "label:" + text


def _drawing(font, text):
    return _BEFORE + ["-font", font, "-size", "228x40", "-gravity", "west", _label(text)] + _AFTER


def _whole_command(bmp, font, text):
    return ["convert"] + _drawing(font, text) + _FINISH + ["BMP3:" + bmp]


def _char(value):
    """ImageMagick's 16-bit to 8-bit scaling."""
    return ((value + 128) - ((value + 128) >> 8)) >> 8


def read_miff(data, at):
    """The next picture of a stream of MIFF pictures from at: (its palette
    of 16-bit grey levels, its pixels' palette indexes, the position after
    it), or None with the position when it is not a 16-bit palette picture
    of WIDTH x HEIGHT that is grey and opaque throughout."""
    end = data.find(b":\x1a", at)
    if end < 0:
        raise ValueError("no MIFF header")
    fields = dict(f.split("=", 1) for f in data[at:end].decode("latin-1").split() if "=" in f)
    at = end + 2
    colors = int(fields.get("colors", "0"))
    matte = fields.get("matte") == "True"
    size = int(fields["columns"]) * int(fields["rows"])
    plain = (fields.get("class") == "PseudoClass" and fields.get("depth") == "16" and 0 < colors <= 65536 and
             (int(fields["columns"]), int(fields["rows"])) == (WIDTH, HEIGHT) and
             fields.get("compression", "None") == "None")
    if not plain:
        raise ValueError("not a 16-bit palette picture of %dx%d" % (WIDTH, HEIGHT))
    palette = array.array("H", data[at:at + 6 * colors])
    at += 6 * colors
    step = 4 if matte else 2
    pixels = array.array("H", data[at:at + step * size])
    at += step * size
    if sys.byteorder == "little":
        palette.byteswap()
        pixels.byteswap()
    grey = palette[0::3]
    if grey != palette[1::3] or grey != palette[2::3] or (matte and set(pixels[1::2]) != {0xFFFF}):
        return None, at
    return (grey, pixels[0::2] if matte else pixels), at


def palette_bitmap(grey, indexes):
    """The 4-bit BMP that -type Palette -depth 4 BMP3: writes of a picture
    of at most 16 grey levels (grey: its palette, indexes: its pixels), or
    None when the picture is not one this handles."""
    used = sorted(set(indexes))
    levels = sorted({grey[i] for i in used})
    # -type Palette maps each pixel to its colour through a cache whose slot
    # is the colour's 8-bit value without its two lowest bits: two levels
    # of one slot share the answer for the first of them that it meets, and
    # the error spreads from there. Only levels that each have a slot of
    # their own map to themselves. Fewer than three are written with fewer
    # bits.
    if len(levels) != len(used) or not 3 <= len(levels) <= 16 or len({_char(v) >> 2 for v in levels}) != len(levels):
        return None
    position = {v: n for n, v in enumerate(levels)}
    index = [position.get(v, 0) for v in grey]  # unused entries: any index
    palette = b"".join(bytes((n, n, n, 0)) for n in (v * 15 // 65535 * 17 for v in levels))
    palette += bytes(4 * (16 - len(levels)))
    rows = []
    for y in range(HEIGHT - 1, -1, -1):
        row = [index[i] for i in indexes[y * WIDTH:(y + 1) * WIDTH]]
        rows.append(bytes((a << 4) | b for a, b in zip(row[0::2], row[1::2])))
    bits = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + 64 + len(bits), 0, 0, 14 + 40 + 64)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 4, 0, len(bits), 0, 0, 16, 16)
    return header + info + palette + bits


def _picture(bmp, font, text):
    return ["("] + _drawing(font, text) + ["-write", "MIFF:-", "+delete", ")"]


def _environment():
    env = dict(os.environ)
    # Large blocks from the heap, and freed ones kept there: the tables of
    # the next picture then reuse pages that are already mapped.
    env["MALLOC_MMAP_MAX_"] = "0"
    env["MALLOC_TRIM_THRESHOLD_"] = str(1 << 30)
    return env


def _command(jobs):
    cmd = ["convert", "-respect-parentheses"]
    for bmp, font, text in jobs:
        cmd += _picture(bmp, font, text)
    # convert wants an image to end with; this one is thrown away.
    return cmd + ["xc:white", "null:"]


def _finish(jobs, stream):
    """Writes the BMP of each picture of a batch from its pixels; returns
    the jobs that need the whole command."""
    rest, at = [], 0
    for n, (bmp, font, text) in enumerate(jobs):
        try:
            picture, at = read_miff(stream, at)
        except (ValueError, KeyError):
            return rest + jobs[n:]
        data = picture and palette_bitmap(*picture)
        if data is None:
            rest.append((bmp, font, text))
            continue
        with open(bmp, "wb") as f:
            f.write(data)
    return rest


def render(jobs, workers=None):
    """Draws every (bmp, font file, text) of jobs, at most `workers` convert
    processes at a time; returns how many of them took the whole command.
    Raises RenderError naming a picture that could not be drawn."""
    if not jobs:
        return 0
    for bmp, _, _ in jobs:
        if os.path.exists(bmp):
            os.remove(bmp)
    workers = workers or min(2, os.cpu_count() or 1)
    # Batches of even size, as few as the workers and the batch size allow.
    count = max(workers, -(-len(jobs) // BATCH))
    count = min(count, len(jobs))
    size = -(-len(jobs) // count)
    batches = [jobs[i:i + size] for i in range(0, len(jobs), size)]
    env = _environment()
    running, rest = [], []
    while batches or running:
        while batches and len(running) < workers:
            batch = batches.pop(0)
            proc = subprocess.Popen(_command(batch), stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
            running.append((batch, proc))
        batch, proc = running.pop(0)
        raw, _ = proc.communicate()
        # A batch that failed is drawn picture by picture below, where the
        # failing one shows with its message.
        rest += _finish(batch, raw) if proc.returncode == 0 else batch
    if jobs[0] not in rest and not _same_as_whole_command(jobs[0]):
        print("mkpackage: note: this ImageMagick's pictures differ from the batch's; each sample is drawn by a "
              "convert of its own", file=sys.stderr)
        rest = jobs
    for bmp, font, text in rest:
        _draw_whole(bmp, font, text)
    return len(rest)


def _draw_whole(bmp, font, text):
    r = subprocess.run(_whole_command(bmp, font, text), capture_output=True)
    if r.returncode != 0 or not os.path.isfile(bmp):
        raise RenderError("cannot render the sample %s: %s"
                          % (bmp, r.stderr.decode("utf-8", "replace").strip() or "convert failed"))


def _same_as_whole_command(job):
    bmp, font, text = job
    check = bmp + ".whole.bmp"
    try:
        _draw_whole(check, font, text)
        with open(check, "rb") as a, open(bmp, "rb") as b:
            return a.read() == b.read()
    finally:
        if os.path.exists(check):
            os.remove(check)
