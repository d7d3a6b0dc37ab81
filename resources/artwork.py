"""The program's cursors, icons, pictures and sounds, drawn in code (with the cursor shapes in
the text art beside this file). tools/make_images.py writes the files named in FILES."""

import math
import os

from imagekit import (Canvas, TRANSPARENT, bmp8_file, cursor_file, ellipse,
                      from_text_art, icon_file, mix, polygon, read_text_art, rect, rgb,
                      rounded_rect, segment, wav_file)

HERE = os.path.dirname(os.path.abspath(__file__))
BLACK = rgb(0x000000)
WHITE = rgb(0xFFFFFF)

WAIT_FRAMES = 7


# ---- cursors ---------------------------------------------------------------------------------

def outlined(canvas):
    """Whitens every transparent pixel that touches an opaque one, so that a black cursor stays
    visible on dark ground."""
    out = Canvas(canvas.width, canvas.height)
    out.pixels = list(canvas.pixels)
    for y in range(canvas.height):
        for x in range(canvas.width):
            if canvas.get(x, y)[3]:
                continue
            near = any(canvas.get(x + dx, y + dy)[3]
                       for dy in (-1, 0, 1) for dx in (-1, 0, 1)
                       if 0 <= x + dx < canvas.width and 0 <= y + dy < canvas.height)
            if near:
                out.set(x, y, WHITE)
    return out


def art_cursor(name):
    settings, rows = read_text_art(os.path.join(HERE, "cursors", name))
    hotspot = tuple(int(v) for v in settings["hotspot"].split())
    return settings, rows, hotspot


def navigation_cursor():
    _, rows, hotspot = art_cursor("navigate.txt")
    canvas = from_text_art(rows, {"#": BLACK, ".": TRANSPARENT})
    return cursor_file(outlined(canvas), hotspot)


def wait_cursor(frame):
    """Frame 0 has all the sand in the top bulb, the last frame all of it in the bottom one; a
    stream runs through the neck in between."""
    _, rows, hotspot = art_cursor("hourglass.txt")
    cells = {ch: [(x, y) for y, row in enumerate(rows) for x, c in enumerate(row) if c == ch]
             for ch in "TB"}
    centre = (len(rows[0]) - 1) / 2.0
    neck_row = max(y for _, y in cells["T"])
    sand_top_row = neck_row - 7
    top_sand = [c for c in cells["T"] if c[1] >= sand_top_row]
    # The top drains from its surface, middle first; the bottom fills from its floor, middle first.
    drain_order = sorted(top_sand, key=lambda c: (c[1], abs(c[0] - centre), c[0]))
    fill_order = sorted(cells["B"], key=lambda c: (-c[1], abs(c[0] - centre), c[0]))
    last = WAIT_FRAMES - 1
    fallen = (len(top_sand) * frame + last // 2) // last
    sand = set(drain_order[fallen:]) | set(fill_order[:fallen])
    if 0 < frame < last:
        pile_top = min(y for _, y in fill_order[:fallen]) if fallen else len(rows)
        for x, y in cells["T"] + cells["B"]:
            if abs(x - centre) < 1 and neck_row - 1 <= y < pile_top:
                sand.add((x, y))
    canvas = from_text_art(rows, {"#": BLACK, ".": TRANSPARENT, "T": WHITE, "B": WHITE})
    for x, y in sand:
        canvas.set(x, y, BLACK)
    return cursor_file(outlined(canvas), hotspot)


# ---- icons -----------------------------------------------------------------------------------

def paint_cube(canvas, cx, cy, size, colours, ink):
    """An isometric cube whose outline fits a size x size square centred at (cx, cy):
    colours are (top, left, right) faces, ink its edges."""
    h = size / 2.0
    q = size * 13.0 / 52.0
    top, upper_right, lower_right = (cx, cy - h), (cx + h, cy - q), (cx + h, cy + q)
    bottom, lower_left, upper_left = (cx, cy + h), (cx - h, cy + q), (cx - h, cy - q)
    middle = (cx, cy)
    faces = [[top, upper_right, middle, upper_left],
             [upper_left, middle, bottom, lower_left],
             [middle, upper_right, lower_right, bottom]]
    for face, colour in zip(faces, colours):
        canvas.paint(polygon(face), colour)
    edge = max(0.5, size / 48.0)
    outline = [top, upper_right, lower_right, bottom, lower_left, upper_left, top]
    for a, b in zip(outline, outline[1:]):
        canvas.paint(segment(a[0], a[1], b[0], b[1], edge), ink)
    for corner in (upper_left, upper_right, bottom):
        canvas.paint(segment(middle[0], middle[1], corner[0], corner[1], edge * 0.7), ink)


PROGRAM_CUBE = (rgb(0x9CCBFF), rgb(0x3F7FD9), rgb(0x1E4C96))
DOCUMENT_CUBE = (rgb(0xFFD08A), rgb(0xE48A2A), rgb(0xA65510))
INK = rgb(0x0C1C3C)


def program_icon(size):
    canvas = Canvas(size, size)
    s = size / 32.0
    paint_cube(canvas, 16 * s, 16 * s, 29 * s, PROGRAM_CUBE, INK)
    return canvas


def document_icon(size):
    canvas = Canvas(size, size)
    s = size / 32.0
    fold = 7 * s
    left, top, right, bottom = 5 * s, 1.5 * s, 27 * s, 30.5 * s
    page = [(left, top), (right - fold, top), (right, top + fold), (right, bottom), (left, bottom)]
    canvas.paint(polygon(page), rgb(0x5A5A5A))
    inset = max(1.0, s)
    inner = [(left + inset, top + inset), (right - fold - inset * 0.4, top + inset),
             (right - inset, top + fold + inset * 0.4), (right - inset, bottom - inset),
             (left + inset, bottom - inset)]
    canvas.paint(polygon(inner), WHITE)
    corner = [(right - fold, top), (right - fold, top + fold), (right, top + fold)]
    canvas.paint(polygon(corner), rgb(0xC8C8C8))
    paint_cube(canvas, 16 * s, 18.5 * s, 17 * s, DOCUMENT_CUBE, INK)
    return canvas


# ---- pictures --------------------------------------------------------------------------------

LETTERS = {
    "Q": [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "Y": ["#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
}


def paint_word(canvas, word, left, top, scale, colour):
    for i, letter in enumerate(word):
        for row, line in enumerate(LETTERS[letter]):
            for col, ch in enumerate(line):
                if ch == "#":
                    x = left + (i * 6 + col) * scale
                    y = top + row * scale
                    canvas.paint(rect(x, y, x + scale, y + scale), colour, samples=1)


def about_picture():
    """The short about window's picture: a cube standing on a chequered floor under the name."""
    width, height, horizon = 320, 180, 112
    canvas = Canvas(width, height)
    sky_top, sky_low = rgb(0x14245E), rgb(0x9CC3EC)
    haze = rgb(0xB8CDE0)
    tiles = (rgb(0x4E6B3A), rgb(0xC9D6B0))
    canvas.paint_rows(lambda y: mix(sky_top, sky_low, min(y, horizon) / horizon))

    eye_height, tile = 40.0, 24.0
    for y in range(horizon, height):
        for x in range(width):
            hits = 0
            for sy in (0.25, 0.75):
                for sx in (0.25, 0.75):
                    depth = eye_height * 160.0 / (y + sy - horizon)
                    u = (x + sx - width / 2.0) * depth / 160.0
                    hits += (math.floor(u / tile) + math.floor(depth / tile)) & 1
            colour = mix(tiles[0], tiles[1], hits / 4.0)
            fog = min(1.0, 6.0 / (y + 0.5 - horizon))
            canvas.set(x, y, mix(colour, haze, round(fog * 8) / 8.0))

    canvas.paint(ellipse(172, 150, 46, 9), rgb(0x000000, 110))
    paint_cube(canvas, 160, 108, 84, PROGRAM_CUBE, INK)

    word, scale = "QPLAYER", 4
    left = (width - (len(word) * 6 - 1) * scale) // 2
    paint_word(canvas, word, left + 2, 16, scale, rgb(0x000000, 140))
    paint_word(canvas, word, left, 14, scale, WHITE)
    return canvas


FACE_COLOURS = [0xC8322D, 0xE07B1F, 0xD9B323, 0x3C9A46, 0x2F6CC0, 0x7B4BB0]
PIPS = {
    1: [(1, 1)],
    2: [(0, 0), (2, 2)],
    3: [(0, 0), (1, 1), (2, 2)],
    4: [(0, 0), (2, 0), (0, 2), (2, 2)],
    5: [(0, 0), (2, 0), (1, 1), (0, 2), (2, 2)],
    6: [(0, 0), (0, 1), (0, 2), (2, 0), (2, 1), (2, 2)],
}


def cube_face(number):
    """A 128 x 128 die face with `number` pips, for the about window's turning cube."""
    base = rgb(FACE_COLOURS[number - 1])
    canvas = Canvas(128, 128, mix(base, BLACK, 0.35))
    canvas.paint(rounded_rect(5, 5, 123, 123, 14), mix(base, WHITE, 0.25))
    canvas.paint(rounded_rect(9, 9, 119, 119, 11), base)
    for col, row in PIPS[number]:
        cx, cy = 32 + 32 * col, 32 + 32 * row
        canvas.paint(ellipse(cx + 1.5, cy + 1.5, 11), mix(base, BLACK, 0.5))
        canvas.paint(ellipse(cx, cy, 11), WHITE)
    return canvas


# ---- sounds ----------------------------------------------------------------------------------

SOUND_RATE = 11025


def tone(seconds, partials, decay, attack=0.004):
    """Samples of a sum of (frequency, level) sine partials under a fast attack and an
    exponential decay."""
    count = int(seconds * SOUND_RATE)
    out = []
    for i in range(count):
        t = i / SOUND_RATE
        envelope = min(1.0, t / attack) * math.exp(-t / decay)
        out.append(envelope * sum(level * math.sin(2 * math.pi * f * t) for f, level in partials))
    return out


def tick_sound():
    return wav_file(tone(0.06, [(1500, 0.8)], 0.012), SOUND_RATE)


def chime_sound():
    return wav_file(tone(0.25, [(880, 0.55), (1320, 0.25)], 0.08), SOUND_RATE)


# ---- the files -------------------------------------------------------------------------------

FILES = {
    **{"wait%d.cur" % (i + 1): (lambda i=i: wait_cursor(i)) for i in range(WAIT_FRAMES)},
    "navigate.cur": navigation_cursor,
    "program.ico": lambda: icon_file([program_icon(32), program_icon(16)]),
    "document.ico": lambda: icon_file([document_icon(32), document_icon(16)]),
    "about.bmp": lambda: bmp8_file(about_picture()),
    **{"face%d.bmp" % n: (lambda n=n: bmp8_file(cube_face(n))) for n in range(1, 7)},
    "tick.wav": tick_sound,
    "chime.wav": chime_sound,
}
