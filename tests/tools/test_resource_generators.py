"""Tests of the resource generators: the font file's structure read back with an independent
parser, its reproducibility, the glyph source checks, and the image and sound writers.
QP_FONT_FILE names the font file the build made; QP_SOURCE_DIR the source tree."""

import os
import struct
import sys
import tempfile
import unittest

SOURCE_DIR = os.environ.get("QP_SOURCE_DIR",
                            os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(SOURCE_DIR, "tools"))

import imagekit  # noqa: E402
import make_fon  # noqa: E402

GLYPH_SOURCE = os.path.join(SOURCE_DIR, "resources", "fonts", "btnfnt.txt")
NAVIGATION_GLYPHS = (208, 206, 210, 162, 196, 160, 164, 166, 168, 170)


def u16(data, offset):
    return struct.unpack_from("<H", data, offset)[0]


def u32(data, offset):
    return struct.unpack_from("<I", data, offset)[0]


def read_resources(data):
    """{type id: [(id or name, bytes of the resource)]} from an NE module."""
    assert data[:2] == b"MZ"
    ne = u32(data, 0x3C)
    assert data[ne:ne + 2] == b"NE"
    table = ne + u16(data, ne + 0x24)
    shift = u16(data, table)
    pos = table + 2
    resources = {}
    while True:
        type_id = u16(data, pos)
        if type_id == 0:
            break
        count = u16(data, pos + 2)
        pos += 8
        for _ in range(count):
            offset, length, _flags, rid = struct.unpack_from("<HHHH", data, pos)
            if not rid & 0x8000:
                name_len = data[table + rid]
                rid = data[table + rid + 1:table + rid + 1 + name_len].decode("ascii")
            start = offset << shift
            resources.setdefault(type_id, []).append((rid, data[start:start + (length << shift)]))
            pos += 12
    return resources


def glyph_rows(fnt, code):
    """The glyph of a character as rows of '#' and '.', decoded from a FNT 2.0 resource."""
    first, height = fnt[95], u16(fnt, 88)
    entry = 118 + 4 * (code - first)
    width, offset = u16(fnt, entry), u16(fnt, entry + 2)
    rows = []
    for y in range(height):
        row = ""
        for x in range(width):
            byte = fnt[offset + (x // 8) * height + y]
            row += "#" if byte & (0x80 >> (x % 8)) else "."
        rows.append(row)
    return rows


def built_font():
    with open(os.environ["QP_FONT_FILE"], "rb") as f:
        return f.read()


class FontFileTest(unittest.TestCase):
    def test_font_file_is_reproducible(self):
        with tempfile.TemporaryDirectory() as folder:
            outputs = []
            for name in ("a.fon", "b.fon"):
                path = os.path.join(folder, name)
                self.assertEqual(make_fon.main(["--module", "QPLAYX", "-o", path, GLYPH_SOURCE]), 0)
                with open(path, "rb") as f:
                    outputs.append(f.read())
        self.assertEqual(outputs[0], outputs[1])
        self.assertEqual(outputs[0], built_font())

    def test_resource_table_holds_directory_and_font(self):
        resources = read_resources(built_font())
        self.assertEqual(sorted(resources), [0x8007, 0x8008])
        (dir_name, directory), = resources[0x8007]
        (font_id, fnt), = resources[0x8008]
        self.assertEqual(dir_name, "FONTDIR")
        self.assertEqual(font_id, 0x8001)
        # The directory repeats the font's header and names its face.
        self.assertEqual(u16(directory, 0), 1)
        self.assertEqual(u16(directory, 2), 1)
        self.assertEqual(directory[4:4 + 113], fnt[:113])
        self.assertEqual(directory[4 + 113:4 + 113 + 8], b"\0BtnFnt\0")

    def test_button_font_header(self):
        (_, fnt), = read_resources(built_font())[0x8008]
        self.assertEqual(u16(fnt, 0), 0x0200)
        size = u32(fnt, 2)
        self.assertLessEqual(size, len(fnt))
        self.assertGreater(size, len(fnt) - 16)
        self.assertEqual(u16(fnt, 66), 0)           # raster
        self.assertEqual(u16(fnt, 68), 12)          # points
        self.assertEqual(u16(fnt, 70), 96)
        self.assertEqual(u16(fnt, 72), 96)
        self.assertEqual(u16(fnt, 76), 0)           # no internal leading: 16 pixels is the em
        self.assertEqual(fnt[85], 255)              # OEM character set
        self.assertEqual(u16(fnt, 86), 16)          # fixed width
        self.assertEqual(u16(fnt, 88), 16)          # pixel height
        self.assertEqual(fnt[90] & 1, 0)            # fixed pitch
        self.assertEqual((fnt[95], fnt[96]), (32, 255))
        face = u32(fnt, 105)
        self.assertEqual(fnt[face:face + 7], b"BtnFnt\0")
        self.assertEqual(face + 7, size)

    def test_every_character_is_sixteen_wide_and_inside_the_resource(self):
        (_, fnt), = read_resources(built_font())[0x8008]
        for code in range(32, 256 + 1):             # the last entry is the sentinel
            entry = 118 + 4 * (code - 32)
            self.assertEqual(u16(fnt, entry), 16, code)
            self.assertLessEqual(u16(fnt, entry + 2) + 32, u32(fnt, 2), code)

    def test_navigation_glyphs_read_back_as_drawn(self):
        (_, fnt), = read_resources(built_font())[0x8008]
        source = make_fon.parse_source(GLYPH_SOURCE)
        for code in NAVIGATION_GLYPHS:
            rows = glyph_rows(fnt, code)
            self.assertEqual(rows, source["glyphs"][code], code)
            self.assertTrue(any("#" in row for row in rows), code)
        self.assertEqual(glyph_rows(fnt, 65), ["." * 16] * 16)


class GlyphSourceTest(unittest.TestCase):
    HEADER = "face T\nheight 2\nascent 2\nwidth 3\nfirst 65\nlast 66\n"

    def parse(self, text):
        with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
            f.write(text)
        try:
            return make_fon.parse_source(f.name)
        finally:
            os.unlink(f.name)

    def test_variable_widths_make_a_variable_pitch_font(self):
        font = self.parse(self.HEADER + "glyph 65\n#.#\n.#.\nglyph 66\n#\n#\n")
        fnt = make_fon.build_fnt(font)
        self.assertEqual(u16(fnt, 86), 0)
        self.assertEqual(fnt[90] & 1, 1)
        self.assertEqual(u16(fnt, 93), 3)           # widest glyph
        self.assertEqual(glyph_rows(fnt, 65), ["#.#", ".#."])
        self.assertEqual(glyph_rows(fnt, 66), ["#", "#"])

    def test_wide_glyphs_span_several_column_strips(self):
        font = self.parse("face T\nheight 1\nascent 1\nwidth 10\nfirst 65\nlast 65\n"
                          "glyph 65\n#........#\n")
        fnt = make_fon.build_fnt(font)
        self.assertEqual(glyph_rows(fnt, 65), ["#........#"])
        offset = u16(fnt, 120)
        self.assertEqual(fnt[offset:offset + 2], bytes([0x80, 0x40]))

    def test_bad_sources_are_refused_with_the_place(self):
        cases = [
            (self.HEADER + "glyph 65\n#.#\n", "needs 2 rows"),
            (self.HEADER + "glyph 65\n#.#\n.#\n", "differ in width"),
            (self.HEADER + "glyph 65\n#x#\n...\n", "needs 2 rows"),
            (self.HEADER + "glyph 67\n###\n...\n", "outside 65-66"),
            (self.HEADER + "glyph 65\n###\n...\nglyph 65\n###\n...\n", "given twice"),
            ("face T\nheight 2\nwidth 3\nfirst 65\nlast 66\n", "missing ascent"),
            (self.HEADER + "colour red\n", "unknown key colour"),
        ]
        for text, message in cases:
            with self.assertRaises(make_fon.SourceError) as raised:
                self.parse(text)
            self.assertIn(message, str(raised.exception))


class ImageWriterTest(unittest.TestCase):
    def test_cursor_masks_and_hotspot(self):
        canvas = imagekit.Canvas(32, 32)
        canvas.set(0, 0, imagekit.rgb(0x000000))
        canvas.set(1, 0, imagekit.rgb(0xFFFFFF))
        data = imagekit.cursor_file(canvas, (5, 7))
        self.assertEqual(struct.unpack_from("<HHH", data, 0), (0, 2, 1))
        self.assertEqual(struct.unpack_from("<HH", data, 10), (5, 7))
        self.assertEqual(u32(data, 18), 22)
        self.assertEqual(struct.unpack_from("<ii", data, 26), (32, 64))
        xor, and_mask = data[22 + 48:22 + 48 + 128], data[22 + 48 + 128:]
        top_row = 31 * 4                            # rows are stored bottom-up
        self.assertEqual(xor[top_row], 0x40)        # only the white pixel
        self.assertEqual(and_mask[top_row], 0x3F)   # the two opaque pixels are 0
        self.assertEqual(and_mask[0], 0xFF)

    def test_bitmap_palette_and_rows(self):
        canvas = imagekit.Canvas(3, 2, imagekit.rgb(0x102030))
        canvas.set(2, 0, imagekit.rgb(0xFFFFFF))
        data = imagekit.bmp8_file(canvas)
        self.assertEqual(data[:2], b"BM")
        self.assertEqual(u32(data, 2), len(data))
        self.assertEqual(struct.unpack_from("<iiHH", data, 18), (3, 2, 1, 8))
        self.assertEqual(u32(data, 46), 2)          # colours used
        self.assertEqual(data[54:62], bytes((0x30, 0x20, 0x10, 0, 0xFF, 0xFF, 0xFF, 0)))
        pixels = data[u32(data, 10):]
        self.assertEqual(pixels, bytes((0, 0, 0, 0, 0, 0, 1, 0)))  # bottom row first

    def test_bitmap_with_many_colours_is_reduced_to_a_palette(self):
        canvas = imagekit.Canvas(64, 64)
        for y in range(64):
            for x in range(64):
                canvas.set(x, y, (x * 4, y * 4, (x + y) * 2, 255))
        data = imagekit.bmp8_file(canvas)
        self.assertLessEqual(u32(data, 46), 256)

    def test_wave_header(self):
        data = imagekit.wav_file([0.0, 1.0, -1.0], 8000)
        self.assertEqual(data[:4], b"RIFF")
        self.assertEqual(u32(data, 4), len(data) - 8)
        self.assertEqual(data[8:16], b"WAVEfmt ")
        self.assertEqual(struct.unpack_from("<HHIIHH", data, 20), (1, 1, 8000, 8000, 1, 8))
        self.assertEqual(data[36:40], b"data")
        self.assertEqual(u32(data, 40), 3)
        self.assertEqual(data[44:47], bytes((128, 255, 1)))


if __name__ == "__main__":
    unittest.main()
