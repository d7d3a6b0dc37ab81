// PixelSpan: one run of pixels on one row, as the polygon routines hand it to a pixel format's
// span writers: the row, the span's first pixel and length, and for shaded spans the intensity at
// the first pixel and its step. The colour (a flat pattern or the shade ramps) comes beside it.
#pragma once

#include <cstdint>

#include "foundation/fixed.h"
#include "raster/raster_target.h"
#include "raster/shade_ramp.h"

namespace raster {

struct PixelSpan {
    uint8_t* row;        // the row's first byte; in the 4-plane format plane 0's
    int32_t planeBytes;  // the 4-plane format: bytes from one plane of the row to the next
    int32_t y;           // the device row: it picks the dither rows, its parity the pattern word and
                         // the half-tone pixels
    int32_t column;      // the first pixel, counted from the row's start
    int32_t count;       // pixels to write
    uint32_t intensity;  // shaded spans: the first pixel's intensity, 16.16
    uint32_t step;       // shaded spans: added for every pixel to the right

    int32_t Parity() const { return y & 1; }

    // In the formats that pack pixels into 32-bit words: the word holding the first pixel (of plane
    // 0) and the pixel's index in it.
    template <class Layout>
    uint8_t* FirstWord() const
    {
        return row + 4 * (column >> Layout::kIndexShift);
    }
    template <class Layout>
    int32_t FirstIndex() const
    {
        return column & (Layout::kPixelsPerWord - 1);
    }
};

// The half-tone spans that write pixel by pixel write every other pixel, starting with the first
// whose position parity equals the row's: 1 when the span's first pixel, at `position`, is passed
// over, else 0.
inline int32_t HalftoneSkip(const PixelSpan& s, uintptr_t position)
{
    return s.count > 0 && int32_t(position & 1) != s.Parity() ? 1 : 0;
}

// The `count` pixels from device point (x, y) of the target.
inline PixelSpan SpanOn(const RasterTarget& t, int32_t y, int32_t x, int32_t count)
{
    return {t.Row(y), t.rowBytes, y, t.originX + x, count, 0, 0};
}

// The `count` pixels from device point (x, y) of a shaded span of `length` pixels that runs from
// the left to the right intensity and whose first `skip` pixels are not drawn.
inline PixelSpan ShadedSpanOn(const RasterTarget& t, int32_t y, int32_t x, int32_t count, int32_t length, int32_t skip,
                              Fixed left, Fixed right)
{
    const uint32_t step = uint32_t(SpanIntensityStep(left, right, length));
    return {t.Row(y), t.rowBytes, y, t.originX + x, count, uint32_t(left) + uint32_t(skip) * step, step};
}

}  // namespace raster
