"""How many fonts of a package Windows 95, 98 and Me can register.

Those systems keep every value of one registry key in at most 64 KB, and
all installed fonts are values of the one Fonts key; GDI keeps the file
names of the installed fonts in a table of 10 KB (Microsoft Knowledge Base
article 131943, "TrueType Font Limits in Windows 95/98/Me": about 1000
TrueType fonts, 1000 to 1500 by the key with font names of 20 and file
names of 10 characters). A font beyond either fails to register.

The key's arithmetic puts the cost of one value at its two texts and 14 to
36 bytes of the registry's own; the smaller figure is taken, so that the
warning stands only where registering must fail. GDI is a 16-bit library
there and takes the short (8.3) file name, at most 12 characters.

OpenType packages are registered on those systems in Adobe Type Manager's
profile atm.ini instead, two lines a font (the name with the installed
path, and "@name" with its folder and file name); a profile file is read
only up to 64 KB (Knowledge Base article 78346).
"""
import re

KEY_BYTES = 64 * 1024
VALUE_OVERHEAD = 14
GDI_NAME_BYTES = 10 * 1024
PROFILE_BYTES = 64 * 1024
# What Windows itself has registered before a package comes: about 50 fonts
# with the averages of the article (20-character names, 10-character files).
SYSTEM_FONTS = 50
SYSTEM_VALUE = 20 + 10 + 2 + VALUE_OVERHEAD
SYSTEM_FILE = 10 + 1
# The folder that Adobe Type Manager installs into by default.
ATM_FOLDER = "C:\\PSFONTS\\"


def short_name_length(file_name):
    """The length of the file's 8.3 name: its own when it is one, else the
    system's form NAME~1.EXT of 6 + 2 characters and the extension."""
    stem, dot, ext = file_name.rpartition(".")
    if not dot:
        stem, ext = file_name, ""
    if re.fullmatch(r"[A-Za-z0-9_~!#$%&'()@^`{}-]{1,8}", stem) and len(ext) <= 3:
        return len(file_name)
    return 8 + (1 + min(len(ext), 3) if ext else 0)


def costs(package_type, fonts):
    """For each font (registry name, installed file name): the bytes it
    takes of each budget, as [(budget name, bytes a font, budget left)]."""
    if package_type == "OpenType":
        per_font = [2 * len(name) + 1 + 3 + 2 * (len(ATM_FOLDER) + len(file)) + 4 for name, file in fonts]
        return [("the 64 KB of the profile atm.ini", per_font, PROFILE_BYTES)]
    per_value = [len(name) + len(file) + 2 + VALUE_OVERHEAD for name, file in fonts]
    per_file = [short_name_length(file) + 1 for _, file in fonts]
    return [("the 64 KB of the Fonts registry key", per_value, KEY_BYTES - SYSTEM_FONTS * SYSTEM_VALUE),
            ("the 10 KB of GDI's table of font files", per_file, GDI_NAME_BYTES - SYSTEM_FONTS * SYSTEM_FILE)]


def registrable(package_type, fonts):
    """How many of the fonts, in order, fit every budget, and the budget
    that the next one would overrun (None when all fit)."""
    fit, limit = len(fonts), None
    for name, per_font, room in costs(package_type, fonts):
        used = 0
        for count, cost in enumerate(per_font):
            used += cost
            if used > room:
                if count < fit:
                    fit, limit = count, name
                break
    return fit, limit


def warning(package_type, fonts):
    """The warning for a package of these fonts, or None when Windows 95, 98
    and Me can register them all."""
    fit, limit = registrable(package_type, fonts)
    if limit is None:
        return None
    return ("%d fonts are more than Windows 95, 98 and Me can register: about %d of them fill %s; "
            "there the fonts after that fail to install" % (len(fonts), fit, limit))
