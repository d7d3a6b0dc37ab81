#!/usr/bin/env python3
"""Writes the program's resource images and sounds: runs the artwork module given on the command
line and writes each file of its FILES table into the output folder (only the named ones when
names follow)."""

import importlib
import os
import sys


def load_artwork(path):
    """Imports the artwork module from its folder, with this folder's image kit importable."""
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    sys.path.insert(0, os.path.dirname(os.path.abspath(path)))
    return importlib.import_module(os.path.splitext(os.path.basename(path))[0])


def main(argv):
    if len(argv) < 2:
        print("usage: make_images.py ARTWORK.py OUTPUT_DIR [FILE...]", file=sys.stderr)
        return 2
    artwork = load_artwork(argv[0])
    names = argv[2:] or list(artwork.FILES)
    unknown = [n for n in names if n not in artwork.FILES]
    if unknown:
        print("make_images: no artwork for %s" % ", ".join(unknown), file=sys.stderr)
        return 1
    os.makedirs(argv[1], exist_ok=True)
    for name in names:
        with open(os.path.join(argv[1], name), "wb") as f:
            f.write(artwork.FILES[name]())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
