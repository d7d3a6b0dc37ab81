"""Writes the test picture of the picture tests: a 5 x 3 bitmap file of 24 bits per pixel whose
pixel (x, y) has red 40 x x + 10, green 80 x y + 20 and blue 200."""
import struct
import sys

WIDTH, HEIGHT = 5, 3
row_bytes = (WIDTH * 3 + 3) & ~3
pixels = bytearray()
for y in reversed(range(HEIGHT)):  # bottom row first
    row = bytearray()
    for x in range(WIDTH):
        row += bytes((200, 80 * y + 20, 40 * x + 10))  # blue, green, red
    pixels += row + bytes(row_bytes - len(row))
header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
offset = 14 + len(header)
with open(sys.argv[1], "wb") as out:
    out.write(b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + header + pixels)
