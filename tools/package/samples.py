"""The sample bitmaps of a package: 240 x 48 pixels at 4 bits per pixel,
each a text drawn with the font itself by ImageMagick and fitted into the
picture.

ImageMagick's palette reduction allocates and clears two tables of 128 MB
for every picture, and a new process pays the kernel for every page of them
again. So one convert process draws a whole batch of pictures, each in
parentheses of its own with the same options as a single picture would
have (the bytes come out the same), and the C library is told to keep
freed memory for the next picture instead of handing it back.
"""
import os
import subprocess

# The options of one picture, around its label.
_BEFORE = ["-background", "white", "-fill", "black"]
_AFTER = ["-bordercolor", "white", "-border", "6x4", "-extent", "240x48",
          "-colors", "16", "-type", "Palette", "-depth", "4"]
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


def _picture(bmp, font, text):
    return (["("] + _BEFORE + ["-font", font, "-size", "228x40", "-gravity", "west", _label(text)] + _AFTER +
            ["-write", "BMP3:" + bmp, "+delete", ")"])


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


def _check(jobs, result):
    """The batch's error, naming the first picture that is missing."""
    message = result.stderr.decode("utf-8", "replace").strip()
    for bmp, _, _ in jobs:
        if not os.path.isfile(bmp):
            return "cannot render the sample %s: %s" % (bmp, message or "convert failed")
    if result.returncode != 0:
        return "cannot render the samples: %s" % (message or "convert failed")
    return None


def render(jobs, workers=None):
    """Draws every (bmp, font file, text) of jobs, at most `workers` convert
    processes at a time. Raises RenderError naming a picture that could not
    be drawn."""
    if not jobs:
        return
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
    running, error = [], None
    while batches or running:
        while batches and len(running) < workers:
            batch = batches.pop(0)
            proc = subprocess.Popen(_command(batch), stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env)
            running.append((batch, proc))
        batch, proc = running.pop(0)
        _, err = proc.communicate()
        error = error or _check(batch, subprocess.CompletedProcess(proc.args, proc.returncode, b"", err))
    if error:
        raise RenderError(error)
