"""The product module's contract, read from product/contract.h: the string
ids of the package strings, the keys of the module's STRMAP and the names
of its resources and exports.

    contract.py strmap OUT    writes the STRMAP text (KEY=id lines, CR LF)
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
HEADER = os.path.join(ROOT, "product", "contract.h")


def _read(path=HEADER):
    ids, names = [], {}
    with open(path, encoding="ascii") as f:
        for line in f:
            m = re.match(r'#define\s+IDS_(\w+)\s+(\d+)\s*$', line)
            if m:
                ids.append((m.group(1), int(m.group(2))))
                continue
            m = re.match(r'#define\s+PRODUCT_(RES|EXPORT)_(\w+)\s+"([^"]*)"\s*$', line)
            if m:
                names[m.group(1) + "_" + m.group(2)] = m.group(3)
    if not ids or len({i for _, i in ids}) != len(ids):
        raise SystemExit("%s: no string ids, or one id twice" % path)
    return ids, names


# The package strings as (STRMAP key, string id), in the order of the header.
STRINGS, _NAMES = _read()
IDS = dict(STRINGS)
RES_STRMAP = _NAMES["RES_STRMAP"]
RES_NAMEMAP = _NAMES["RES_NAMEMAP"]
RES_NAMEMAP_KEYS = _NAMES["RES_NAMEMAP_KEYS"]
RES_SAMPLE_MISSING = _NAMES["RES_SAMPLE_MISSING"]
EXPORT_START = _NAMES["EXPORT_START"]
EXPORT_IS_MINE = _NAMES["EXPORT_IS_MINE"]
# The column keys of every name map, one per line (the installer carries
# the same list).
NAMEMAP_KEYS_FILE = os.path.join(ROOT, "resources", "namemap_keys.txt")


def strmap_bytes():
    return "".join("%s=%d\r\n" % (key, i) for key, i in STRINGS).encode("ascii")


def write_if_changed(path, data):
    """Writes data unless the file already holds it, so that a build that
    depends on the file is not redone for nothing."""
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return
    except OSError:
        pass
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] != "strmap":
        raise SystemExit("usage: contract.py strmap OUT")
    write_if_changed(sys.argv[2], strmap_bytes())
