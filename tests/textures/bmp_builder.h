// Test helpers: bitmap files built byte by byte, so that every header form, depth, encoding and
// flaw can be made on purpose.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

using Bytes = std::vector<uint8_t>;

struct BmpLayout {
    int32_t width = 1;
    int32_t height = 1;
    int32_t depth = 24;
    uint32_t compression = 0;
    bool os2 = false;
    std::vector<uint32_t> palette;  // 0xRRGGBB; written as 2^depth entries (missing ones black)
    uint32_t colorsUsed = 0;
    int32_t offsetAdjust = 0;       // added to the pixel data offset
    char type[2] = {'B', 'M'};
    uint32_t headerSize = 0;        // 0: 40, or 12 for OS/2
};

// A layout of the given size, depth, encoding and colour table, the rest at the defaults.
inline BmpLayout BmpShape(int32_t width, int32_t height, int32_t depth = 24, uint32_t compression = 0,
                          std::vector<uint32_t> palette = {})
{
    BmpLayout layout;
    layout.width = width;
    layout.height = height;
    layout.depth = depth;
    layout.compression = compression;
    layout.palette = std::move(palette);
    return layout;
}

inline void PutLE(Bytes& b, uint32_t v, int32_t n)
{
    for (int32_t i = 0; i < n; i++) b.push_back(uint8_t(v >> (8 * i)));
}

// The whole file: headers, colour table and the given pixel data.
inline Bytes MakeBmp(const BmpLayout& s, const Bytes& pixels)
{
    Bytes table;
    if (s.depth <= 8) {
        const int32_t entries = 1 << s.depth;
        for (int32_t i = 0; i < entries; i++) {
            const uint32_t c = i < int32_t(s.palette.size()) ? s.palette[size_t(i)] : 0;
            table.push_back(uint8_t(c));
            table.push_back(uint8_t(c >> 8));
            table.push_back(uint8_t(c >> 16));
            if (!s.os2) table.push_back(0);
        }
    }
    const uint32_t headerSize = s.headerSize ? s.headerSize : (s.os2 ? 12 : 40);
    const uint32_t offset = uint32_t(int32_t(14 + headerSize + table.size()) + s.offsetAdjust);
    Bytes b = {uint8_t(s.type[0]), uint8_t(s.type[1])};
    PutLE(b, uint32_t(offset + pixels.size()), 4);
    PutLE(b, 0, 4);
    PutLE(b, offset, 4);
    PutLE(b, headerSize, 4);
    if (s.os2) {
        PutLE(b, uint32_t(s.width), 2);
        PutLE(b, uint32_t(s.height), 2);
        PutLE(b, 1, 2);
        PutLE(b, uint32_t(s.depth), 2);
    } else {
        PutLE(b, uint32_t(s.width), 4);
        PutLE(b, uint32_t(s.height), 4);
        PutLE(b, 1, 2);
        PutLE(b, uint32_t(s.depth), 2);
        PutLE(b, s.compression, 4);
        PutLE(b, uint32_t(pixels.size()), 4);
        PutLE(b, 2835, 4);
        PutLE(b, 2835, 4);
        PutLE(b, s.colorsUsed, 4);
        PutLE(b, 0, 4);
        for (uint32_t i = 40; i < headerSize; i++) b.push_back(0);
    }
    b.insert(b.end(), table.begin(), table.end());
    while (int64_t(b.size()) < int64_t(offset)) b.push_back(0);
    b.resize(offset);
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

// Rows of pixel values (palette indices for depths up to 8, else 0xRRGGBB), given top row
// first, as the file stores them: padded to 4 bytes, bottom row first unless top-down.
inline Bytes PackRows(const std::vector<std::vector<uint32_t>>& rows, int32_t depth, bool topDown = false)
{
    Bytes out;
    for (size_t k = 0; k < rows.size(); k++) {
        const auto& row = rows[topDown ? k : rows.size() - 1 - k];
        Bytes r(((row.size() * size_t(depth) + 31) / 32) * 4, 0);
        for (size_t x = 0; x < row.size(); x++) {
            const uint32_t v = row[x];
            switch (depth) {
            case 1: r[x / 8] |= uint8_t((v & 1) << (7 - x % 8)); break;
            case 4: r[x / 2] |= uint8_t(x % 2 ? v & 15 : (v & 15) << 4); break;
            case 8: r[x] = uint8_t(v); break;
            case 16: {
                const uint32_t w = ((v >> 19) & 31) << 10 | ((v >> 11) & 31) << 5 | ((v >> 3) & 31);
                r[2 * x] = uint8_t(w);
                r[2 * x + 1] = uint8_t(w >> 8);
                break;
            }
            case 24:
            case 32: {
                const size_t n = size_t(depth / 8);
                r[n * x] = uint8_t(v);
                r[n * x + 1] = uint8_t(v >> 8);
                r[n * x + 2] = uint8_t(v >> 16);
                break;
            }
            }
        }
        out.insert(out.end(), r.begin(), r.end());
    }
    return out;
}
