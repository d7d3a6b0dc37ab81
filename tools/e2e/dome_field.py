"""A model file of a few kilobytes that builds a million faces: 32 domes of the most faces an
object may have (32,767 each), side by side and apart, without lights. The reader takes seconds
over it, so that the checks and tools that stop a read in the player have one to stop at any
moment, written in no time. With --credits each dome comes in a root chunk of its own, after a
credits chunk whose text alternates between a line and several, and a thousand empty ones: the
loading window lays its credits out again and again as the read goes on.

    dome_field.py [--credits] FILE
"""

import math
import struct
import sys

DOMES = 32
# A dome's outline corners and its bands: the bands times the corners and its cap make the most
# faces an object may have.
CORNERS = 3
BANDS = (32767 - 1) // CORNERS
RADIUS = 1000.0
SPACING = 3000.0
# The empty credits chunks after each one that holds a text.
EMPTY_CREDITS = 1000
# Primitive kind and axis (z), and the file version.
DOME = 4
AXIS_Z = 3
FILE_VERSION = 0x01000000


def word32(value):
    return struct.pack(">I", value & 0xFFFFFFFF)


def word16(value):
    return struct.pack(">H", value & 0xFFFF)


def fixed(value):
    return word32(int(round(value * 65536)))


def chunk(tag, data):
    return tag + word32(len(data)) + data + (b"\0" if len(data) % 2 else b"")


def dome(x):
    """An opaque dome of the most faces around the origin of its outline, placed at (x, 0)."""
    outline = b"".join(fixed(RADIUS * math.cos(2 * math.pi * (i + 0.5) / CORNERS)) +
                       fixed(RADIUS * math.sin(2 * math.pi * (i + 0.5) / CORNERS)) for i in range(CORNERS))
    primitive = (word16(1) + bytes([AXIS_Z, DOME]) + word16(BANDS) + fixed(0) + fixed(RADIUS) +
                 fixed(0) * 4 + word16(CORNERS) + outline)
    colour = word32(0x00808080) + word32(0xFF808080)
    position = fixed(x) + fixed(0) + fixed(0) + fixed(0) + fixed(1) + fixed(1)
    return chunk(b"PRSM", chunk(b"COLR", colour) + chunk(b"POLY", primitive) + chunk(b"POSN", position))


def credits(number):
    """The credits chunks before the dome of the number: one whose text alternates, then empty
    ones."""
    text = (b"Made by A." if number % 2 else
            b"Made by B, with the help of C, D and E, who lent their rooms, and F and G, who measured "
            b"every one of them, twice.")
    return chunk(b"CRED", chunk(b"TEXT", text)) + chunk(b"CRED", b"") * EMPTY_CREDITS


def dome_field(with_credits=False):
    """The model file's bytes."""
    if with_credits:
        body = b"".join(credits(i) + chunk(b"ROOT", dome(SPACING * i)) for i in range(DOMES))
    else:
        body = chunk(b"ROOT", b"".join(dome(SPACING * i) for i in range(DOMES)))
    return chunk(b"FORM", b"QMDL" + chunk(b"VERS", word32(FILE_VERSION)) + body)


def write_dome_field(path, with_credits=False):
    with open(path, "wb") as out:
        out.write(dome_field(with_credits))
    return path


if __name__ == "__main__":
    args = sys.argv[1:]
    with_credits = args[:1] == ["--credits"]
    if with_credits:
        args = args[1:]
    if len(args) != 1:
        print("usage: dome_field.py [--credits] FILE", file=sys.stderr)
        sys.exit(2)
    write_dome_field(args[0], with_credits)
