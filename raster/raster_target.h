// RasterTarget: what the rasterizers need to know of the pixels they write: the row start of every
// pixel row, the buffer's size, the pixel origins, and the destination rectangle that the unclipped
// routines clip to. Made from the published offscreen, or over any suitably laid-out memory.
#pragma once

#include <algorithm>
#include <cstdint>

#include "foundation/port_rect.h"

// A rectangle in device coordinates, right and bottom exclusive.
using RasterRect = PortRect;

struct RasterTarget {
    uint8_t* const* rows;  // start of each pixel row (of plane 0), top row first; rows are 32-bit aligned
    int32_t width;         // pixels per row
    int32_t height;        // rows
    int32_t rowBytes;      // bytes per row of one plane; in the 4-plane format the distance between planes
    int32_t originX;       // added to device x and y before addressing
    int32_t originY;
    RasterRect destination;  // device coordinates, right and bottom exclusive

    uint8_t* Row(int32_t y) const { return rows[originY + y]; }

    // The pixels that exist, in device coordinates.
    RasterRect Buffer() const { return {-originX, -originY, width - originX, height - originY}; }

    // The destination rectangle cut to the pixels that exist.
    RasterRect Drawable() const
    {
        const RasterRect b = Buffer();
        RasterRect r{std::max(destination.left, b.left), std::max(destination.top, b.top),
                     std::min(destination.right, b.right), std::min(destination.bottom, b.bottom)};
        r.right = std::max(r.right, r.left);
        r.bottom = std::max(r.bottom, r.top);
        return r;
    }

    bool Contains(int32_t x, int32_t y) const { return Buffer().Contains(x, y); }
};
