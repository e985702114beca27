"""The package builder's Windows 95/98/Me limit (tools/package/win9x.py) on
made-up packages: the budget that a package overruns first, and none for
one that fits."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "package"))
import win9x  # noqa: E402


def package(count, name_length, file_name):
    return [("F%0*d" % (name_length - 1, i), file_name % i) for i in range(count)]


class Win9xLimit(unittest.TestCase):
    def test_short_names_fill_gdis_table_first(self):
        # 8.3 names of 12 characters: 13 bytes each of GDI's 10 KB, less
        # Windows's own fonts; the registry key holds more of them.
        self.assertIsNone(win9x.warning("TrueType", package(700, 20, "Q%07d.TTF")))
        fit, limit = win9x.registrable("TrueType", package(800, 20, "Q%07d.TTF"))
        self.assertEqual("the 10 KB of GDI's table of font files", limit)
        self.assertTrue(700 < fit < 800, fit)

    def test_long_file_names_count_as_their_short_form(self):
        self.assertEqual(win9x.registrable("TrueType", package(900, 20, "Q%07d.TTF")),
                         win9x.registrable("TrueType", package(900, 20, "QXScaleLongName-%07d.ttf")))

    def test_long_registry_names_fill_the_fonts_key_first(self):
        fit, limit = win9x.registrable("TrueType", package(700, 120, "Q%07d.TTF"))
        self.assertEqual("the 64 KB of the Fonts registry key", limit)
        self.assertTrue(400 < fit < 500, fit)

    def test_opentype_packages_fill_the_atm_profile(self):
        self.assertIsNone(win9x.warning("OpenType", package(100, 30, "QXSample-%05d.otf")))
        text = win9x.warning("OpenType", package(600, 30, "QXSample-%05d.otf"))
        self.assertRegex(text, r"^600 fonts are more than Windows 95, 98 and Me can register: about \d+ of them "
                               r"fill the 64 KB of the profile atm.ini")


if __name__ == "__main__":
    unittest.main()
