// The 4-plane 16-colour format: a pixel row is four plane rows of 1-bit pixels, plane k holding
// colour bit k, each plane `rowBytes` after the one before; in a plane's 32-bit word pixel p is bit
// 7 - (p & 7) of byte p >> 3. Span fills, shaded spans, line pixels and the polygon traits.
#pragma once

#include <cstdint>

#include "foundation/fixed.h"
#include "raster/format_indexed.h"
#include "raster/pixel_access.h"
#include "raster/pixel_span.h"
#include "raster/raster_target.h"

namespace raster {

using LayoutPlanar = WordLayout<1, WordOrder::kBits>;

constexpr int32_t kPlaneCount = 4;
constexpr uint32_t kHalftoneKeepPlanar[2] = {0xAAAAAAAA, 0x55555555};

// The plane word of plane k for a 16-bit half holding four 4-bit colours in its nibbles 0 to 3:
// colour bit k of nibble 0 sets the bits 0x11111111, of nibble 1 0x22222222, of nibble 2
// 0x44444444, of nibble 3 0x88888888.
constexpr uint32_t PlaneWord(uint32_t half, int32_t k)
{
    uint32_t word = 0;
    for (int32_t nibble = 0; nibble < 4; ++nibble)
        if ((half >> (4 * nibble + k)) & 1) word |= 0x11111111u << nibble;
    return word;
}

// The span's pixels in every plane, plane k from pattern word 2k + row parity; the half-tone form
// writes only the odd pixels on even rows and the even pixels on odd rows.
template <bool Halftone>
inline void FillSpanPlanar(const PixelSpan& s, const uint32_t* pattern)
{
    uint8_t* word = s.FirstWord<LayoutPlanar>();
    const int32_t index = s.FirstIndex<LayoutPlanar>();
    const int32_t count = s.count;
    const int32_t planeBytes = s.planeBytes;
    const int32_t parity = s.Parity();
    for (int32_t k = 0; k < kPlaneCount; ++k)
        FillWordSpan<LayoutPlanar, Halftone>(word + k * planeBytes, index, count, pattern[2 * k + parity],
                                             kHalftoneKeepPlanar[parity]);
}

namespace detail {

// Pixel p takes its jitter from entry p & 15 and the 4-bit colour of the even or odd ramp by its
// parity; the colour bits are gathered per word and each plane word stored through one mask.
inline void ShadePlanes(uint8_t* word, int32_t index, int32_t planeBytes, int32_t count, int32_t stride, uint32_t v,
                        uint32_t step, const uint8_t* oddRamp, const uint8_t* evenRamp, const uint16_t* jitterRow)
{
    word += 4 * (index >> 5);
    index &= 31;
    static_assert(kPlaneCount == 4, "the colour bits are gathered into one variable per plane");
    while (count > 0) {
        uint32_t plane0 = 0, plane1 = 0, plane2 = 0, plane3 = 0;
        uint32_t mask = 0;
        for (; index < 32 && count > 0; index += stride, count -= stride, v += step) {
            const uint8_t* ramp = (index & 1) ? oddRamp : evenRamp;
            const uint32_t c = ramp[ShadeLevel(v, jitterRow[index & 15])];
            const int32_t shift = LayoutPlanar::PixelShift(index);
            plane0 |= (c & 1) << shift;
            plane1 |= ((c >> 1) & 1) << shift;
            plane2 |= ((c >> 2) & 1) << shift;
            plane3 |= ((c >> 3) & 1) << shift;
            mask |= LayoutPlanar::kPixel[index];
        }
        MaskedStore32(word, ~mask, plane0);
        MaskedStore32(word + planeBytes, ~mask, plane1);
        MaskedStore32(word + 2 * planeBytes, ~mask, plane2);
        MaskedStore32(word + 3 * planeBytes, ~mask, plane3);
        word += 4;
        index -= 32;
    }
}

}  // namespace detail

// As ShadeSpan8 for the planes: the 4-bit colour of the chosen ramp entry goes into the pixel's
// bit of every plane.
inline void ShadeSpanPlanar(const PixelSpan& s, const IndexedRamps& ramps)
{
    detail::ShadePlanes(s.FirstWord<LayoutPlanar>(), s.FirstIndex<LayoutPlanar>(), s.planeBytes, s.count, 1,
                        s.intensity, s.step, ramps.Odd(s.y, false), ramps.Even(s.y, false), JitterRow(s.y));
}

// As ShadeSpanPlanar on the pixels whose index parity equals the parity of y, from the half-tone
// ramps.
inline void ShadeSpanHalftonePlanar(const PixelSpan& s, const IndexedRamps& ramps)
{
    const int32_t index = s.FirstIndex<LayoutPlanar>();
    const int32_t skip = HalftoneSkip(s, uintptr_t(index));
    detail::ShadePlanes(s.FirstWord<LayoutPlanar>(), index + skip, s.planeBytes, s.count - skip, 2,
                        s.intensity + uint32_t(skip) * s.step, 2 * s.step, ramps.Odd(s.y, true), ramps.Even(s.y, true),
                        JitterRow(s.y));
}

struct Planar4 {
    static constexpr int32_t kBitsPerPixel = 4;
    static constexpr bool kTakesFillColor = true;

    // Two words per plane: plane k on even rows from the high half of the fill word, on odd rows
    // from its low half.
    struct Flat {
        uint32_t pattern[2 * kPlaneCount];
    };
    static Flat MakeFlat(uint32_t w)
    {
        Flat flat;
        for (int32_t k = 0; k < kPlaneCount; ++k) {
            flat.pattern[2 * k] = PlaneWord(w >> 16, k);
            flat.pattern[2 * k + 1] = PlaneWord(w & 0xFFFF, k);
        }
        return flat;
    }

    static uint8_t* Word(const RasterTarget& t, int32_t y, int32_t column) { return t.Row(y) + ((column & ~31) >> 3); }

    template <bool Halftone>
    static void FillSpan(const PixelSpan& s, const Flat& flat)
    {
        FillSpanPlanar<Halftone>(s, flat.pattern);
    }

    // The 4-bit line words A and B, each made into four plane words; pixels alternate A, B, A ...
    struct Line {
        uint32_t planes[2][kPlaneCount];
    };
    static Line MakeLine(uint32_t w)
    {
        const Packed4::Line packed = Packed4::MakeLine(w);
        Line line;
        for (int32_t which = 0; which < 2; ++which)
            for (int32_t k = 0; k < kPlaneCount; ++k) line.planes[which][k] = PlaneWord(packed.word[which] & 0xFFFF, k);
        return line;
    }
    static void PutPixel(const RasterTarget& t, int32_t x, int32_t y, const Line& line, int32_t ordinal)
    {
        const int32_t column = t.originX + x;
        uint8_t* word = Word(t, y, column);
        const uint32_t keep = ~LayoutPlanar::kPixel[column & 31];
        for (int32_t k = 0; k < kPlaneCount; ++k) MaskedStore32(word + k * t.rowBytes, keep, line.planes[ordinal & 1][k]);
    }

    using Ramps = IndexedRamps;
    static void BuildRamps(Ramps& ramps, const ShadeLevelEntry* levels, int32_t rampByte)
    {
        ramps.Build(levels, rampByte, kByteTables4Bit);
    }

    template <bool Halftone>
    static void ShadeSpan(const PixelSpan& s, const Ramps& ramps)
    {
        if constexpr (Halftone)
            ShadeSpanHalftonePlanar(s, ramps);
        else
            ShadeSpanPlanar(s, ramps);
    }
};

}  // namespace raster
