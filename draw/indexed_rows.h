// The pixels of indexed rows (1, 4 and 8 bits a pixel, the leftmost pixel in the high bits):
// each pixel's index into its bitmap's colour table, read straight from the rows.
#pragma once

#include <cstdint>

#include "draw/raster_globals.h"

// The colour-table index of pixel x of an indexed row of the depth.
template <int32_t kDepth>
inline uint32_t IndexAt(const uint8_t* row, int32_t x)
{
    static_assert(kDepth == 1 || kDepth == 4 || kDepth == 8, "an indexed depth");
    if constexpr (kDepth == 1) return (row[x >> 3] >> (7 - (x & 7))) & 1;
    if constexpr (kDepth == 4) return (x & 1) ? row[x >> 1] & 15 : row[x >> 1] >> 4;
    return row[x];
}

// The depth (1, 4 or 8) at which the format's rows hold every pixel of `area` as an index, else
// 0: the rows are missing, true-colour, planar or shorter than the area.
inline int32_t IndexedRowsDepth(const PixelFormat& format, const PortRect& area)
{
    const int32_t depth = format.bitsPerPixel;
    return RowsCover(format, area) && (depth == 1 || depth == 4 || depth == 8) ? depth : 0;
}

// Each of the first `width` pixels of an indexed row of the depth, through `map` (an entry for
// every index the depth holds).
inline void MapIndexedRow(const uint8_t* row, int32_t width, int32_t depth, const uint8_t* map, uint8_t* out)
{
    switch (depth) {
    case 1:
        for (int32_t x = 0; x < width; ++x) out[x] = map[IndexAt<1>(row, x)];
        break;
    case 4:
        for (int32_t x = 0; x < width; ++x) out[x] = map[IndexAt<4>(row, x)];
        break;
    default:
        for (int32_t x = 0; x < width; ++x) out[x] = map[IndexAt<8>(row, x)];
    }
}
