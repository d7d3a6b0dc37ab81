// The 4-plane 16-colour format: a pixel row is four plane rows of 1-bit pixels, plane k holding
// colour bit k, each plane `rowBytes` after the one before; in a plane's 32-bit word pixel p is bit
// 7 - (p & 7) of byte p >> 3. Span fills, shaded spans, line pixels and the polygon traits.
#pragma once

#include <cstdint>

#include "foundation/fixed.h"
#include "raster/format_indexed.h"
#include "raster/pixel_access.h"
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

// count pixels from pixel `index` of the plane-0 word at `word`, each plane k from pattern word
// 2k + parity; planeBytes is the distance from one plane to the next.
inline void FillSpanPlanar(uint8_t* word, int32_t index, int32_t rowIndex, uint8_t* rowStart, int32_t planeBytes,
                           int32_t parity, int32_t count, const uint32_t* pattern)
{
    for (int32_t k = 0; k < kPlaneCount; ++k)
        FillWordSpan<LayoutPlanar, false>(word + k * planeBytes, index, count, pattern[2 * k + parity], 0);
}

// As FillSpanPlanar, writing only the odd pixels on even rows and the even pixels on odd rows.
inline void FillSpanHalftonePlanar(uint8_t* word, int32_t index, int32_t rowIndex, uint8_t* rowStart,
                                   int32_t planeBytes, int32_t parity, int32_t count, const uint32_t* pattern)
{
    for (int32_t k = 0; k < kPlaneCount; ++k)
        FillWordSpan<LayoutPlanar, true>(word + k * planeBytes, index, count, pattern[2 * k + parity],
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
    while (count > 0) {
        uint32_t planes[kPlaneCount] = {0, 0, 0, 0};
        uint32_t mask = 0;
        for (; index < 32 && count > 0; index += stride, count -= stride, v += step) {
            const uint8_t* ramp = (index & 1) ? oddRamp : evenRamp;
            const uint32_t c = ramp[ShadeLevel(v, jitterRow[index & 15])];
            const int32_t shift = LayoutPlanar::PixelShift(index);
            for (int32_t k = 0; k < kPlaneCount; ++k) planes[k] |= ((c >> k) & 1) << shift;
            mask |= LayoutPlanar::kPixel[index];
        }
        for (int32_t k = 0; k < kPlaneCount; ++k) MaskedStore32(word + k * planeBytes, ~mask, planes[k]);
        word += 4;
        index -= 32;
    }
}

}  // namespace detail

inline void ShadeSpanPlanar(uint8_t* word, int32_t index, int32_t rowIndex, uint8_t* rowStart, int32_t planeBytes,
                            int32_t y, int32_t count, int32_t spanLength, int32_t skip, Fixed left, Fixed right,
                            const uint8_t* oddRamp, const uint8_t* evenRamp, const uint16_t* jitterRow,
                            const int32_t* deltaRow)
{
    const uint32_t step = uint32_t(SpanIntensityStep(left, right, spanLength));
    detail::ShadePlanes(word, index, planeBytes, count, 1, uint32_t(left) + uint32_t(skip) * step, step, oddRamp,
                        evenRamp, jitterRow);
}

// As ShadeSpanPlanar on the pixels whose index parity equals the parity of y.
inline void ShadeSpanHalftonePlanar(uint8_t* word, int32_t index, int32_t rowIndex, uint8_t* rowStart,
                                    int32_t planeBytes, int32_t y, int32_t count, int32_t spanLength, int32_t skip,
                                    Fixed left, Fixed right, const uint8_t* oddRamp, const uint8_t* evenRamp,
                                    const uint16_t* jitterRow)
{
    const uint32_t step = uint32_t(SpanIntensityStep(left, right, spanLength));
    if (count > 0 && (index & 1) != (y & 1)) {
        ++index;
        ++skip;
        --count;
    }
    detail::ShadePlanes(word, index, planeBytes, count, 2, uint32_t(left) + uint32_t(skip) * step, 2 * step,
                        oddRamp, evenRamp, jitterRow);
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
    static void FillSpan(const RasterTarget& t, int32_t y, int32_t x, int32_t count, const Flat& flat)
    {
        const int32_t column = t.originX + x;
        if constexpr (Halftone)
            FillSpanHalftonePlanar(Word(t, y, column), column & 31, t.originY + y, t.Row(y), t.rowBytes, y & 1, count,
                                   flat.pattern);
        else
            FillSpanPlanar(Word(t, y, column), column & 31, t.originY + y, t.Row(y), t.rowBytes, y & 1, count,
                           flat.pattern);
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
    static void ShadeSpan(const RasterTarget& t, int32_t y, int32_t x, int32_t count, int32_t spanLength,
                          int32_t skip, Fixed left, Fixed right, const Ramps& ramps)
    {
        const int32_t column = t.originX + x;
        if constexpr (Halftone)
            ShadeSpanHalftonePlanar(Word(t, y, column), column & 31, t.originY + y, t.Row(y), t.rowBytes, y, count,
                                    spanLength, skip, left, right, ramps.Odd(y, true), ramps.Even(y, true),
                                    JitterRow(y));
        else
            ShadeSpanPlanar(Word(t, y, column), column & 31, t.originY + y, t.Row(y), t.rowBytes, y, count, spanLength,
                            skip, left, right, ramps.Odd(y, false), ramps.Even(y, false), JitterRow(y), DeltaRow(y));
    }
};

}  // namespace raster
