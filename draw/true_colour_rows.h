// The colours of the pixels of true-colour rows (5-5-5, 24-bit and 32-bit device-independent
// bitmaps, blue first), as the system's GetPixel gives them, read straight from the rows.
#pragma once

#include <cstdint>

#include "foundation/port_rect.h"
#include "draw/color_cube.h"
#include "draw/raster_globals.h"
#include "foundation/rgb_color.h"

// 16-bit channels of pixel x of a row of the depth (16, 24 or 32); a 5-bit channel is widened
// by repeating its high bits, as the system widens it.
inline RGBColor48 TrueColourAt(const uint8_t* row, int32_t x, int32_t depth)
{
    if (depth == 16) {
        const uint32_t v = uint32_t(row[2 * x]) | uint32_t(row[2 * x + 1]) << 8;
        auto channel = [](uint32_t five) { return uint16_t(((five << 3) | (five >> 2)) * 257); };
        return {channel((v >> 10) & 31), channel((v >> 5) & 31), channel(v & 31)};
    }
    const int32_t n = depth / 8;
    return {uint16_t(row[n * x + 2] * 257), uint16_t(row[n * x + 1] * 257), uint16_t(row[n * x] * 257)};
}

// The depth (16, 24 or 32) at which the format's rows hold every pixel of `area` as true colour,
// else 0: the rows are missing, indexed, planar or shorter than the area.
inline int32_t TrueColourRowsDepth(const PixelFormat& format, const PortRect& area)
{
    const int32_t depth = format.bitsPerPixel;
    return RowsCover(format, area) && (depth == 16 || depth == 24 || depth == 32) ? depth : 0;
}

// The cube index of each of the first `width` pixels of a true-colour row of the depth.
inline void MatchRowToCube(const uint8_t* row, int32_t width, int32_t depth, uint8_t* cube)
{
    for (int32_t x = 0; x < width; ++x) cube[x] = uint8_t(ColorCubeIndex(TrueColourAt(row, x, depth)));
}
