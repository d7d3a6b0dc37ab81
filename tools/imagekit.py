"""Small raster kit for the program's resource images and sounds: a canvas painted with
anti-aliased shapes or from text art, and writers for .cur, .ico, .bmp and .wav files.

Shapes are predicates over continuous coordinates (pixel (x, y) covers [x, x+1) x [y, y+1)).
Everything is deterministic: the same calls give the same bytes.
"""

import math
import struct

TRANSPARENT = (0, 0, 0, 0)


def rgb(value, alpha=255):
    """(r, g, b, a) from 0xRRGGBB."""
    return ((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF, alpha)


def mix(a, b, t):
    """Colour a moved towards colour b by t (0..1), alpha included."""
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


# ---- shapes ----------------------------------------------------------------------------------

class Shape:
    """A point test with the box (x0, y0, x1, y1) outside which it is never true."""

    def __init__(self, inside, bounds):
        self.inside = inside
        self.bounds = bounds

    def __call__(self, x, y):
        return self.inside(x, y)


def rect(x0, y0, x1, y1):
    return Shape(lambda x, y: x0 <= x < x1 and y0 <= y < y1, (x0, y0, x1, y1))


def ellipse(cx, cy, rx, ry=None):
    ry = rx if ry is None else ry
    return Shape(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0,
                 (cx - rx, cy - ry, cx + rx, cy + ry))


def polygon(points):
    """Even-odd interior of a closed polygon."""
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    return Shape(inside, (min(xs), min(ys), max(xs), max(ys)))


def rounded_rect(x0, y0, x1, y1, radius):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius
    return Shape(inside, (x0, y0, x1, y1))


def segment(ax, ay, bx, by, radius):
    """A line from a to b of the given half thickness, with round ends."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    def inside(x, y):
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) <= radius
    return Shape(inside, (min(ax, bx) - radius, min(ay, by) - radius,
                          max(ax, bx) + radius, max(ay, by) + radius))


# ---- canvas ----------------------------------------------------------------------------------

class Canvas:
    def __init__(self, width, height, fill=TRANSPARENT):
        self.width = width
        self.height = height
        self.pixels = [tuple(fill)] * (width * height)

    def get(self, x, y):
        return self.pixels[y * self.width + x]

    def set(self, x, y, colour):
        self.pixels[y * self.width + x] = tuple(colour)

    def paint(self, shape, colour, samples=4):
        """Covers the shape with the colour, edges blended by the covered fraction of each pixel
        (samples x samples points per pixel; samples=1 gives hard edges)."""
        step = 1.0 / samples
        offsets = [(i + 0.5) * step for i in range(samples)]
        total = samples * samples
        x0, y0, x1, y1 = shape.bounds
        for y in range(max(0, math.floor(y0)), min(self.height, math.ceil(y1) + 1)):
            for x in range(max(0, math.floor(x0)), min(self.width, math.ceil(x1) + 1)):
                hits = sum(1 for oy in offsets for ox in offsets if shape(x + ox, y + oy))
                if hits:
                    self.blend(x, y, colour, hits / total)

    def blend(self, x, y, colour, coverage):
        """Source-over of the colour at the given coverage."""
        old = self.get(x, y)
        a = colour[3] / 255.0 * coverage
        old_a = old[3] / 255.0
        out_a = a + old_a * (1.0 - a)
        if out_a <= 0.0:
            return
        channels = [(colour[i] * a + old[i] * old_a * (1.0 - a)) / out_a for i in range(3)]
        self.set(x, y, tuple(int(round(c)) for c in channels) + (int(round(out_a * 255)),))

    def paint_rows(self, colour_of_row):
        """Fills every pixel of row y with colour_of_row(y)."""
        for y in range(self.height):
            colour = tuple(colour_of_row(y))
            for x in range(self.width):
                self.set(x, y, colour)

    def scaled(self, width, height):
        """Box-filtered reduction to width x height (whole-number ratio)."""
        fx, fy = self.width // width, self.height // height
        out = Canvas(width, height)
        for y in range(height):
            for x in range(width):
                block = [self.get(x * fx + i, y * fy + j) for j in range(fy) for i in range(fx)]
                alpha = sum(p[3] for p in block)
                if alpha == 0:
                    continue
                channels = [int(round(sum(p[c] * p[3] for p in block) / alpha)) for c in range(3)]
                out.set(x, y, tuple(channels) + (int(round(alpha / len(block))),))
        return out


def from_text_art(rows, palette):
    """A canvas from rows of characters, each character looked up in palette (char -> colour)."""
    canvas = Canvas(len(rows[0]), len(rows))
    for y, row in enumerate(rows):
        if len(row) != canvas.width:
            raise ValueError("text art row %d has %d characters, not %d" % (y, len(row), canvas.width))
        for x, ch in enumerate(row):
            canvas.set(x, y, palette[ch])
    return canvas


def read_text_art(path):
    """Reads "key value" lines and the art rows that follow them from a text file.
    Returns (settings, rows); lines starting with '#' are comments."""
    settings, rows = {}, []
    with open(path, encoding="ascii") as f:
        for line in f.read().splitlines():
            if not line or line.startswith("#"):
                continue
            if " " in line and not rows:
                key, _, value = line.partition(" ")
                settings[key] = value.strip()
            else:
                rows.append(line)
    return settings, rows


# ---- file writers ----------------------------------------------------------------------------

def _mask_rows(canvas, bit_of):
    """Bottom-up 1-bit rows, each padded to 32 bits, bit_of(pixel) giving each bit."""
    stride = (canvas.width + 31) // 32 * 4
    out = bytearray()
    for y in reversed(range(canvas.height)):
        row = bytearray(stride)
        for x in range(canvas.width):
            if bit_of(canvas.get(x, y)):
                row[x >> 3] |= 0x80 >> (x & 7)
        out += row
    return bytes(out)


def cursor_file(canvas, hotspot):
    """A monochrome .cur: transparent where alpha < 128, else black or white by brightness."""
    def opaque(p):
        return p[3] >= 128

    def white(p):
        return opaque(p) and (p[0] * 299 + p[1] * 587 + p[2] * 114) >= 128000

    xor = _mask_rows(canvas, white)
    and_mask = _mask_rows(canvas, lambda p: not opaque(p))
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height * 2, 1, 1, 0,
                       len(xor) + len(and_mask), 0, 0, 2, 0)
    colours = struct.pack("<II", 0x000000, 0xFFFFFF)
    image = info + colours + xor + and_mask
    header = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", canvas.width & 0xFF, canvas.height & 0xFF, 2, 0,
                        hotspot[0], hotspot[1], len(image), 6 + 16)
    return header + entry + image


def icon_file(canvases):
    """An .ico with one 32-bit image (alpha and AND mask) per canvas."""
    images = []
    for canvas in canvases:
        pixels = bytearray()
        for y in reversed(range(canvas.height)):
            for x in range(canvas.width):
                r, g, b, a = canvas.get(x, y)
                pixels += bytes((b, g, r, a))
        and_mask = _mask_rows(canvas, lambda p: p[3] < 128)
        info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height * 2, 1, 32, 0,
                           len(pixels) + len(and_mask), 0, 0, 0, 0)
        images.append((canvas, info + pixels + and_mask))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for canvas, data in images:
        out += struct.pack("<BBBBHHII", canvas.width & 0xFF, canvas.height & 0xFF, 0, 0, 1, 32,
                           len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return bytes(out)


def _level(value, bits):
    """value (0..255) kept to its top bits, set to the middle of the range it stands for."""
    if bits >= 8:
        return value
    step = 256 >> bits
    return min(255, value // step * step + step // 2)


def _palette_of(canvas):
    """The canvas's opaque colours, at most 256: exact when they fit, else with fewer bits per
    channel, down to 3-3-2 bits which always fits."""
    for bits in ((8, 8, 8), (7, 7, 7), (6, 6, 6), (5, 5, 5), (4, 4, 4), (3, 3, 2)):
        def reduce(p, bits=bits):
            return tuple(_level(c, b) for c, b in zip(p[:3], bits))
        colours = sorted({reduce(p) for p in canvas.pixels})
        if len(colours) <= 256:
            return colours, reduce
    raise AssertionError("3-3-2 bits give at most 256 colours")


def bmp8_file(canvas):
    """An 8-bit bottom-up .bmp with the canvas's own palette (alpha ignored)."""
    colours, reduce = _palette_of(canvas)
    index = {c: i for i, c in enumerate(colours)}
    stride = (canvas.width + 3) // 4 * 4
    pixels = bytearray()
    for y in reversed(range(canvas.height)):
        row = bytes(index[reduce(canvas.get(x, y))] for x in range(canvas.width))
        pixels += row + bytes(stride - canvas.width)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 8, 0, len(pixels),
                       2835, 2835, len(colours), 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + palette + bytes(pixels)


def wav_file(samples, rate):
    """A mono 8-bit PCM .wav of samples in -1..1."""
    data = bytes(max(0, min(255, int(round(128 + 127 * s)))) for s in samples)
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate, 1, 8)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt
    body += b"data" + struct.pack("<I", len(data)) + data + bytes(len(data) & 1)
    return b"RIFF" + struct.pack("<I", len(body)) + body
