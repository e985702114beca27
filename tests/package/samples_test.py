"""The package builder's sample pictures (tools/package/samples.py): drawn in
one batch, they are byte for byte what one convert command per picture
makes, for Latin and Chinese fonts and texts that convert would otherwise
read as escapes; pictures the batch cannot finish are drawn whole; a font
that cannot be drawn is named."""
import os
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "package"))
import samples  # noqa: E402

DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
SERIF = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf"
WQY = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"


@unittest.skipUnless(shutil.which("convert") and all(map(os.path.exists, (DEJAVU, SERIF, WQY))),
                     "ImageMagick or the DejaVu and WenQuanYi fonts are missing")
class Samples(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp()

    def tearDown(self):
        shutil.rmtree(self.dir)

    def path(self, name):
        return os.path.join(self.dir, name)

    def whole(self, font, text):
        out = self.path("whole.bmp")
        samples._draw_whole(out, font, text)
        with open(out, "rb") as f:
            return f.read()

    def test_batch_draws_what_one_command_draws(self):
        jobs = [(self.path("a.bmp"), DEJAVU, "DejaVu Sans"),
                (self.path("b.bmp"), SERIF, "50% off \\ @home"),
                (self.path("c.bmp"), WQY, "文泉驛微米黑"),
                (self.path("d.bmp"), DEJAVU, "No font selected")]
        self.assertEqual(0, samples.render(jobs, workers=2))
        for bmp, font, text in jobs:
            with open(bmp, "rb") as f:
                self.assertEqual(self.whole(font, text), f.read(), text)

    def test_pictures_the_batch_cannot_finish_are_drawn_whole(self):
        jobs = [(self.path("a.bmp"), DEJAVU, "Aa"), (self.path("b.bmp"), SERIF, "Bb")]
        finish = samples.palette_bitmap
        samples.palette_bitmap = lambda grey, indexes: None
        try:
            self.assertEqual(2, samples.render(jobs))
        finally:
            samples.palette_bitmap = finish
        for bmp, font, text in jobs:
            with open(bmp, "rb") as f:
                self.assertEqual(self.whole(font, text), f.read(), text)

    def test_what_the_batch_leaves_to_the_whole_command(self):
        pixels = samples.WIDTH * samples.HEIGHT
        three = [0, 30000, 65535]
        self.assertIsNotNone(samples.palette_bitmap(three, [0, 1, 2] * (pixels // 3)))
        # Two levels only, or two levels in one slot of the reduction's cache
        # (64815 and 65535: 8-bit 252 and 255).
        self.assertIsNone(samples.palette_bitmap(three, [0, 2] * (pixels // 2)))
        self.assertIsNone(samples.palette_bitmap([0, 30000, 64815, 65535], [0, 1, 2, 3] * (pixels // 4)))

    def test_a_font_that_cannot_be_drawn_is_named(self):
        bad = self.path("bad.ttf")
        with open(bad, "w") as f:
            f.write("not a font")
        with self.assertRaisesRegex(samples.RenderError, "cannot render the sample .*bad.bmp"):
            samples.render([(self.path("ok.bmp"), DEJAVU, "ok"), (self.path("bad.bmp"), bad, "bad")])


if __name__ == "__main__":
    unittest.main()
