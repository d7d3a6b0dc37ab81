// The pixel format of an offscreen and the raster globals: the copy of the format of the
// offscreen published last, with its channel tables, which every rasterizer reads.
#pragma once

#include <cstdint>

#include "foundation/port_rect.h"

class DynamicArray;
class Q_Offscreen;

// An offscreen's pixel format, as read from its bitmap.
struct PixelFormat {
    uint8_t** rowTable = nullptr;  // start of every pixel row, top row first
    int32_t width = 0;             // pixels per row of the bitmap
    int32_t height = 0;            // rows
    int32_t rowBytes = 0;          // bytes from one row to the next in one plane
    uint8_t* pixelBits = nullptr;  // the first pixel of the top row
    int32_t planes = 0;
    int32_t bitsPerPixel = 0;      // bits per pixel in one plane
    uint16_t formatWords[3] = {0, 0, 0};
    int32_t pixelAccess = 0;       // 1 when the pixels can be written directly
    DynamicArray* rowTableArray = nullptr;  // owns the row table (pointer-sized entries)
};

// Whether the format's rows are at hand, in one plane, and hold every pixel of `area`.
inline bool RowsCover(const PixelFormat& format, const PortRect& area)
{
    return format.pixelAccess && format.rowTable && format.planes == 1 && area.left >= 0 && area.top >= 0 &&
           area.right > area.left && area.bottom > area.top && area.right <= format.width &&
           area.bottom <= format.height;
}

struct RasterGlobals : PixelFormat {
    // The pixel bits each red, green and blue value (its high byte) sets on a true-colour
    // target, 256 words each; null on indexed targets.
    const uint32_t* redTable = nullptr;
    const uint32_t* greenTable = nullptr;
    const uint32_t* blueTable = nullptr;
};

// The raster globals and the offscreen they describe (null when none is published).
extern RasterGlobals PublishedRaster;
extern Q_Offscreen* PublishedOffscreen;
