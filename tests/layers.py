#!/usr/bin/env python3
"""The product folders are layers: each includes only from the layers below
it (and from resources/ and product/, which every layer may read).

    tests/layers.py ROOT

Prints the number of includes between each pair of folders and every
include that points up or into a folder that is no layer; exits 1 when
there is one.
"""
import collections
import os
import re
import sys

# Lowest first.
LAYERS = ["base", "sfnt", "platform", "catalogue", "controls", "pipeline", "dialogs", "program"]
SHARED = ["product", "resources"]
INCLUDE = re.compile(r'\s*#\s*include\s+"([^/"]+)/')


def main(root):
    counts = collections.Counter()
    wrong = []
    for folder in LAYERS + SHARED:
        for top, _, names in os.walk(os.path.join(root, folder)):
            for name in sorted(names):
                if not name.endswith((".h", ".cpp", ".rc")):
                    continue
                path = os.path.join(top, name)
                with open(path, encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m or m.group(1) == folder:
                            continue
                        target = m.group(1)
                        counts[(folder, target)] += 1
                        if folder in SHARED:
                            allowed = target in SHARED
                        else:
                            allowed = target in SHARED or (
                                target in LAYERS and LAYERS.index(target) < LAYERS.index(folder))
                        if not allowed:
                            wrong.append(f"{os.path.relpath(path, root)}:{number}: {folder}/ includes {target}/")
    order = LAYERS + SHARED
    for (a, b), n in sorted(counts.items(), key=lambda kv: (order.index(kv[0][0]), order.index(kv[0][1])
                                                            if kv[0][1] in order else 99)):
        print(f"{a:10} -> {b:10} {n:3}")
    for line in wrong:
        print("upward or foreign include:", line)
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")))
