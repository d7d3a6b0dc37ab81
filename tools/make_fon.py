#!/usr/bin/env python3
"""Builds a Windows bitmap font file (.FON) from text glyph sources.

The result is a resource-only NE module: a DOS stub, the NE header, a resource table with one
font directory (RT_FONTDIR) and one raster font (RT_FONT, FNT version 2.0) per glyph source.
The output depends on nothing but the sources, so the same sources give the same bytes.

A glyph source holds "key value" lines and glyphs:
    face NAME            face name (required)
    charset N            dfCharSet (0 ANSI, 2 symbol, 255 OEM)
    family NAME          dontcare, roman, swiss, modern, script or decorative
    points N             nominal point size
    resolution N         vertical and horizontal resolution in dots per inch
    height N             pixel height of every glyph
    ascent N             rows above the base line
    width N              width of the glyphs that are not listed (blank)
    first N / last N     the character range
    default N / break N  the default and break characters
    weight N             400 normal, 700 bold
    italic 0|1
    copyright TEXT       at most 60 characters
    glyph CODE [comment] followed by `height` rows of '#' (ink) and '.' (paper); the row length
                         is the glyph's width
Lines starting with '#' before a glyph's rows, and blank lines, are ignored.
"""

import argparse
import struct
import sys

FAMILIES = {"dontcare": 0x00, "roman": 0x10, "swiss": 0x20, "modern": 0x30,
            "script": 0x40, "decorative": 0x50}
INT_KEYS = ("charset", "points", "resolution", "height", "ascent", "width", "first", "last",
            "default", "break", "weight", "italic")

FNT_HEADER_SIZE = 118          # version 2.0 header; the character table follows it
FONTDIR_ENTRY_SIZE = 113       # the FNT header up to dfBitsPointer, as stored in the directory
ALIGN_SHIFT = 4                # resources start on 16-byte boundaries
NE_OFFSET = 0x80


class SourceError(Exception):
    pass


def parse_source(path):
    """Reads one glyph source; returns the font's settings and its glyphs {code: rows}."""
    font = {"charset": 0, "family": "dontcare", "points": 10, "resolution": 96, "weight": 400,
            "italic": 0, "copyright": "", "glyphs": {}}
    with open(path, encoding="ascii") as f:
        lines = f.read().splitlines()
    i = 0
    while i < len(lines):
        line = lines[i].strip()
        i += 1
        if not line or line.startswith("#"):
            continue
        key, _, value = line.partition(" ")
        value = value.strip()
        where = "%s:%d" % (path, i)
        if key == "glyph":
            if "height" not in font:
                raise SourceError("%s: glyph before height" % where)
            code = int(value.split()[0])
            rows = lines[i:i + font["height"]]
            i += font["height"]
            if len(rows) != font["height"] or any(set(r) - {"#", "."} for r in rows):
                raise SourceError("%s: glyph %d needs %d rows of '#' and '.'"
                                  % (where, code, font["height"]))
            if len({len(r) for r in rows}) != 1 or not rows[0]:
                raise SourceError("%s: rows of glyph %d differ in width" % (where, code))
            if code in font["glyphs"]:
                raise SourceError("%s: glyph %d given twice" % (where, code))
            font["glyphs"][code] = rows
        elif key in INT_KEYS:
            font[key] = int(value)
        elif key == "face":
            font["face"] = value
        elif key == "family":
            if value not in FAMILIES:
                raise SourceError("%s: unknown family %s" % (where, value))
            font["family"] = value
        elif key == "copyright":
            font["copyright"] = value
        else:
            raise SourceError("%s: unknown key %s" % (where, key))
    for key in ("face", "height", "ascent", "width", "first", "last"):
        if key not in font:
            raise SourceError("%s: missing %s" % (path, key))
    first, last = font["first"], font["last"]
    if not 0 <= first <= last <= 255:
        raise SourceError("%s: bad character range %d-%d" % (path, first, last))
    for code in font["glyphs"]:
        if not first <= code <= last:
            raise SourceError("%s: glyph %d outside %d-%d" % (path, code, first, last))
    font.setdefault("default", first)
    font.setdefault("break", first)
    if len(font["copyright"]) > 60:
        raise SourceError("%s: copyright longer than 60 characters" % path)
    return font


def glyph_bits(rows, width):
    """Column-major bytes of one glyph: for each 8-pixel column strip, one byte per row."""
    out = bytearray()
    for strip in range(0, width, 8):
        for row in rows:
            byte = 0
            for bit in range(8):
                x = strip + bit
                if x < width and row[x] == "#":
                    byte |= 0x80 >> bit
            out.append(byte)
    return bytes(out)


def build_fnt(font):
    """One FNT 2.0 resource: header, character table, glyph bits, face name."""
    first, last, height = font["first"], font["last"], font["height"]
    blank = ["." * font["width"]] * height
    glyphs = [font["glyphs"].get(code, blank) for code in range(first, last + 1)]
    widths = [len(rows[0]) for rows in glyphs]
    # The table has one entry more than there are characters (the sentinel); it repeats the
    # break character.
    table_entries = len(glyphs) + 1
    bits_offset = FNT_HEADER_SIZE + 4 * table_entries
    bits = bytearray()
    table = bytearray()
    for rows, width in zip(glyphs, widths):
        table += struct.pack("<HH", width, bits_offset + len(bits))
        bits += glyph_bits(rows, width)
    break_index = font["break"] - first
    table += table[4 * break_index:4 * break_index + 4]
    face_offset = bits_offset + len(bits)
    size = face_offset + len(font["face"]) + 1
    if size > 0xFFFF:
        raise SourceError("font %s is too large for the 2.0 format" % font["face"])

    fixed = len(set(widths)) == 1
    pitch = FAMILIES[font["family"]] | (0 if fixed else 1)  # bit 0 set: variable pitch
    avg_width = widths[0] if fixed else (sum(widths) + len(widths) // 2) // len(widths)
    width_bytes = sum((w + 7) // 8 for w in widths)
    width_bytes += width_bytes & 1
    header = struct.pack(
        "<HI60sHHHHHHHBBBHBHHBHHBBBBHIIIIB",
        0x0200, size, font["copyright"].encode("ascii"),
        0,                                  # dfType: raster
        font["points"], font["resolution"], font["resolution"],
        font["ascent"], 0, 0,               # ascent, internal and external leading
        font["italic"], 0, 0, font["weight"], font["charset"],
        widths[0] if fixed else 0, height, pitch, avg_width, max(widths),
        first, last, font["default"] - first, font["break"] - first,
        width_bytes, 0, face_offset, 0, bits_offset, 0)
    assert len(header) == FNT_HEADER_SIZE
    return header + bytes(table) + bytes(bits) + font["face"].encode("ascii") + b"\0"


def build_fontdir(fonts, fnts):
    out = bytearray(struct.pack("<H", len(fnts)))
    for ordinal, (font, fnt) in enumerate(zip(fonts, fnts), start=1):
        out += struct.pack("<H", ordinal) + fnt[:FONTDIR_ENTRY_SIZE]
        out += b"\0" + font["face"].encode("ascii") + b"\0"   # device name (none), face name
    return bytes(out)


def dos_stub():
    message = b"This is a font file, not a program.\r\n$"
    # push cs; pop ds; mov dx, message; mov ah, 9; int 21h; mov ax, 4C01h; int 21h
    code = bytes([0x0E, 0x1F, 0xBA, 0x0E, 0x00, 0xB4, 0x09, 0xCD, 0x21,
                  0xB8, 0x01, 0x4C, 0xCD, 0x21]) + message
    header = struct.pack("<2sHHHHHHHHHHHHH", b"MZ", NE_OFFSET, 1, 0, 4, 0, 0xFFFF, 0, 0xB8,
                         0, 0, 0, 0x40, 0)
    header += bytes(0x3C - len(header)) + struct.pack("<I", NE_OFFSET)
    stub = header + code
    assert len(stub) <= NE_OFFSET
    return stub + bytes(NE_OFFSET - len(stub))


def pascal(text):
    data = text.encode("ascii")
    return bytes([len(data)]) + data


def align(data, shift):
    unit = 1 << shift
    return data + bytes(-len(data) % unit)


def build_fon(module, description, fonts):
    fnts = [build_fnt(font) for font in fonts]
    fontdir = build_fontdir(fonts, fnts)

    # Tables after the 64-byte NE header; the segment table is empty.
    res_table_size = 2 + (8 + 12) + (8 + 12 * len(fnts)) + 2 + len(pascal("FONTDIR")) + 1
    resident = pascal(module) + struct.pack("<H", 0) + b"\0"
    imported = b"\0"
    entries = b"\0\0"
    nonresident = pascal(description) + struct.pack("<H", 0) + b"\0"
    res_offset = 0x40
    resident_offset = res_offset + res_table_size
    modref_offset = resident_offset + len(resident)
    imported_offset = modref_offset
    entry_offset = imported_offset + len(imported)
    nonresident_pos = NE_OFFSET + entry_offset + len(entries)
    tables_end = nonresident_pos + len(nonresident)

    # Resources follow the tables, each on an alignment boundary.
    position = tables_end + (-tables_end % (1 << ALIGN_SHIFT))
    placed = []
    for data in [fontdir] + fnts:
        placed.append((position >> ALIGN_SHIFT, (len(data) + (1 << ALIGN_SHIFT) - 1) >> ALIGN_SHIFT))
        position += len(align(data, ALIGN_SHIFT))

    names_offset = res_table_size - len(pascal("FONTDIR")) - 1
    res_table = struct.pack("<H", ALIGN_SHIFT)
    res_table += struct.pack("<HHI", 0x8007, 1, 0)
    res_table += struct.pack("<HHHHHH", placed[0][0], placed[0][1], 0x0C50, names_offset, 0, 0)
    res_table += struct.pack("<HHI", 0x8008, len(fnts), 0)
    for ordinal, (offset, length) in enumerate(placed[1:], start=1):
        res_table += struct.pack("<HHHHHH", offset, length, 0x1C30, 0x8000 | ordinal, 0, 0)
    res_table += struct.pack("<H", 0) + pascal("FONTDIR") + b"\0"
    assert len(res_table) == res_table_size

    ne = struct.pack(
        "<2sBBHHIHHHHIIHHHHHHHHIHHHBBHHHH",
        b"NE", 5, 10, entry_offset, len(entries), 0,
        0x8000,                 # library module without code or data
        0, 0, 0, 0, 0,          # data segment, heap, stack, CS:IP, SS:SP
        0, 0, len(nonresident), # segments, module references, non-resident table size
        res_offset, res_offset, resident_offset, modref_offset, imported_offset,
        nonresident_pos, 0, ALIGN_SHIFT, 0,
        2, 0,                   # target: Windows
        0, 0, 0, 0x0300)
    assert len(ne) == 0x40

    out = bytearray(dos_stub() + ne + res_table + resident + imported + entries + nonresident)
    out += bytes(-len(out) % (1 << ALIGN_SHIFT))
    for data in [fontdir] + fnts:
        out += align(data, ALIGN_SHIFT)
    return bytes(out)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("-o", "--output", required=True)
    parser.add_argument("--module", required=True, help="module name stored in the file")
    parser.add_argument("--description", help="module description (FONTRES line)")
    parser.add_argument("sources", nargs="+")
    args = parser.parse_args(argv)
    try:
        fonts = [parse_source(path) for path in args.sources]
    except (SourceError, ValueError, OSError) as error:
        print("make_fon: %s" % error, file=sys.stderr)
        return 1
    description = args.description or "FONTRES 100,96,96 : " + ", ".join(
        "%s %d" % (font["face"], font["height"]) for font in fonts)
    data = build_fon(args.module, description, fonts)
    with open(args.output, "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
