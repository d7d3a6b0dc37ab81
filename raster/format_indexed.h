// The indexed pixel formats that pack colour indices into 32-bit words: 8-bit pixels (four per
// word, pixel 0 the lowest-addressed byte) and 4-bit pixels (eight per word, pixel 0 the high nibble
// of the lowest byte). Their span fills, shaded spans and line pixels, and the traits through which
// the polygon routines use them.
#pragma once

#include <cstdint>

#include "foundation/fixed.h"
#include "raster/dither_tables.h"
#include "raster/pixel_access.h"
#include "raster/pixel_span.h"
#include "raster/raster_target.h"
#include "raster/shade_ramp.h"

namespace raster {

// The four shade ramps of an indexed format, one per position of the 2 x 2 dither cell of the
// shade tables' byte tables. Even rows take table 2 for odd pixels and table 3 for even ones, odd
// rows table 0 and table 1; the half-tone spans take tables 0 and 1 on every row.
struct IndexedRamps {
    ShadeRamp<uint8_t> table[4];

    // From the four byte tables of the depth's group, starting at `firstTable`.
    void Build(const ShadeLevelEntry* levels, int32_t rampByte, int32_t firstTable)
    {
        for (int32_t j = 0; j < 4; ++j)
            table[j].Build(levels, rampByte,
                           [firstTable, j](const ShadeLevelEntry& e) { return e.ByteTables[firstTable + j]; });
    }
    const uint8_t* Odd(int32_t y, bool halftone) const { return table[halftone || (y & 1) ? 0 : 2].Levels(); }
    const uint8_t* Even(int32_t y, bool halftone) const { return table[halftone || (y & 1) ? 1 : 3].Levels(); }
};

inline const uint16_t* JitterRow(int32_t y) { return DitherJitterTable[(y >> 1) & 7].data(); }

// The shade level of intensity v with jitter j.
inline int32_t ShadeLevel(uint32_t v, uint32_t j) { return int32_t(v + j) >> 16; }

using Layout8 = WordLayout<8, WordOrder::kLowFirst>;
using Layout4 = WordLayout<4, WordOrder::kNibbles>;

constexpr uint32_t kHalftoneKeep8[2] = {0xFF00FF00, 0x00FF00FF};
constexpr uint32_t kHalftoneKeep4[2] = {0xF0F0F0F0, 0x0F0F0F0F};

// ---- 8-bit pixels ----

// The span's pixels from pattern word [row parity]; the half-tone form writes only pixels 0 and 2
// of each word on even rows and 1 and 3 on odd rows.
template <bool Halftone>
inline void FillSpan8(const PixelSpan& s, const uint32_t* pattern)
{
    FillWordSpan<Layout8, Halftone>(s.FirstWord<Layout8>(), s.FirstIndex<Layout8>(), s.count, pattern[s.Parity()],
                                    kHalftoneKeep8[s.Parity()]);
}

// The span's pixels from its first intensity on: the pixel at byte address A takes level
// (I + jitter[A & 15]) >> 16 of the odd-pixel ramp of the row when A is odd, of its even-pixel ramp
// when A is even, the jitter from the jitter table's row (y >> 1) & 7.
inline void ShadeSpan8(const PixelSpan& s, const IndexedRamps& ramps)
{
    const uint8_t* oddRamp = ramps.Odd(s.y, false);
    const uint8_t* evenRamp = ramps.Even(s.y, false);
    const uint16_t* jitterRow = JitterRow(s.y);
    const uint32_t step = s.step;
    uint32_t v = s.intensity;
    uint8_t* p = s.row + s.column;
    int32_t count = s.count;
    if (count > 0 && (AddressOf(p) & 1)) {
        *p = oddRamp[ShadeLevel(v, jitterRow[AddressOf(p) & 15])];
        ++p;
        --count;
        v += step;
    }
    for (; count >= 2; count -= 2, p += 2) {
        const uintptr_t a = AddressOf(p);
        p[0] = evenRamp[ShadeLevel(v, jitterRow[a & 15])];
        v += step;
        p[1] = oddRamp[ShadeLevel(v, jitterRow[(a + 1) & 15])];
        v += step;
    }
    if (count > 0) *p = evenRamp[ShadeLevel(v, jitterRow[AddressOf(p) & 15])];
}

// As ShadeSpan8 on the pixels whose address parity equals the parity of y, from the half-tone
// ramps.
inline void ShadeSpanHalftone8(const PixelSpan& s, const IndexedRamps& ramps)
{
    const uint32_t step = s.step;
    const int32_t skip = HalftoneSkip(s, AddressOf(s.row + s.column));
    uint8_t* p = s.row + s.column + skip;
    int32_t count = s.count - skip;
    uint32_t v = s.intensity + uint32_t(skip) * step;
    const uint16_t* jitterRow = JitterRow(s.y);
    const uint8_t* ramp = (AddressOf(p) & 1) ? ramps.Odd(s.y, true) : ramps.Even(s.y, true);
    for (; count > 0; count -= 2, p += 2, v += 2 * step) *p = ramp[ShadeLevel(v, jitterRow[AddressOf(p) & 15])];
}

struct Indexed8 {
    static constexpr int32_t kBitsPerPixel = 8;
    static constexpr bool kTakesFillColor = true;  // option 16 chooses between the two matchers

    // The pattern pair: the fill word on even rows, rotated by 16 bits on odd rows.
    struct Flat {
        uint32_t pattern[2];
    };
    static Flat MakeFlat(uint32_t w) { return {{w, RotateLeft16(w)}}; }

    template <bool Halftone>
    static void FillSpan(const PixelSpan& s, const Flat& flat)
    {
        FillSpan8<Halftone>(s, flat.pattern);
    }

    // Lines are one palette index (bits 16 to 23 of the colour word) in every byte: never dithered.
    struct Line {
        uint32_t value;
    };
    static Line MakeLine(uint32_t w) { return {((w >> 16) & 0xFF) * 0x01010101u}; }
    // One byte store: a line's pixels along a row then never wait on each other's word.
    static void PutPixel(const RasterTarget& t, int32_t x, int32_t y, const Line& line, int32_t)
    {
        t.Row(y)[t.originX + x] = uint8_t(line.value);
    }

    using Ramps = IndexedRamps;
    static void BuildRamps(Ramps& ramps, const ShadeLevelEntry* levels, int32_t rampByte)
    {
        ramps.Build(levels, rampByte, kByteTables8Bit);
    }

    template <bool Halftone>
    static void ShadeSpan(const PixelSpan& s, const Ramps& ramps)
    {
        if constexpr (Halftone)
            ShadeSpanHalftone8(s, ramps);
        else
            ShadeSpan8(s, ramps);
    }
};

// ---- 4-bit pixels ----

// The 4-bit flat spans, as FillSpan8; the half-tone form writes only the odd pixels on even rows
// and the even pixels on odd rows.
template <bool Halftone>
inline void FillSpan4(const PixelSpan& s, const uint32_t* pattern)
{
    FillWordSpan<Layout4, Halftone>(s.FirstWord<Layout4>(), s.FirstIndex<Layout4>(), s.count, pattern[s.Parity()],
                                    kHalftoneKeep4[s.Parity()]);
}

namespace detail {

// The 4-bit shaded spans: pixel p of the word at `word` (nibble address 2 x address + p) takes its
// jitter from entry (nibble address & 15); even pixels read the even ramp. `stride` 1 writes every
// pixel, 2 every other one. Pixels are gathered per word and stored through one mask.
inline void ShadeNibbles(uint8_t* word, int32_t index, int32_t count, int32_t stride, uint32_t v, uint32_t step,
                         const uint8_t* oddRamp, const uint8_t* evenRamp, const uint16_t* jitterRow)
{
    word += 4 * (index >> 3);
    index &= 7;
    while (count > 0) {
        const uintptr_t nibbleBase = 2 * AddressOf(word);
        uint32_t bits = 0;
        uint32_t mask = 0;
        for (; index < 8 && count > 0; index += stride, count -= stride, v += step) {
            const uint8_t* ramp = (index & 1) ? oddRamp : evenRamp;
            const uint32_t c = ramp[ShadeLevel(v, jitterRow[(nibbleBase + index) & 15])] & 0xF;
            bits |= c << Layout4::PixelShift(index);
            mask |= Layout4::kPixel[index];
        }
        MaskedStore32(word, ~mask, bits);
        word += 4;
        index -= 8;
    }
}

}  // namespace detail

// As ShadeSpan8 for 4-bit pixels: the 4-bit colour of the chosen ramp entry goes into the pixel's
// nibble, the other nibbles kept.
inline void ShadeSpan4(const PixelSpan& s, const IndexedRamps& ramps)
{
    detail::ShadeNibbles(s.FirstWord<Layout4>(), s.FirstIndex<Layout4>(), s.count, 1, s.intensity, s.step,
                         ramps.Odd(s.y, false), ramps.Even(s.y, false), JitterRow(s.y));
}

// As ShadeSpan4 on the pixels whose index parity equals the parity of y, from the half-tone ramps.
inline void ShadeSpanHalftone4(const PixelSpan& s, const IndexedRamps& ramps)
{
    const int32_t index = s.FirstIndex<Layout4>();
    const int32_t skip = HalftoneSkip(s, uintptr_t(index));
    detail::ShadeNibbles(s.FirstWord<Layout4>(), index + skip, s.count - skip, 2, s.intensity + uint32_t(skip) * s.step,
                         2 * s.step, ramps.Odd(s.y, true), ramps.Even(s.y, true), JitterRow(s.y));
}

struct Packed4 {
    static constexpr int32_t kBitsPerPixel = 4;
    static constexpr bool kTakesFillColor = true;

    // Even rows take the high half of the fill word in both halves, odd rows the low half.
    struct Flat {
        uint32_t pattern[2];
    };
    static Flat MakeFlat(uint32_t w) { return {{(w >> 16) * 0x00010001u, (w & 0xFFFF) * 0x00010001u}}; }

    template <bool Halftone>
    static void FillSpan(const PixelSpan& s, const Flat& flat)
    {
        FillSpan4<Halftone>(s, flat.pattern);
    }

    // Word A holds the low nibbles of the colour word's two upper bytes, word B their high nibbles,
    // each in both nibbles of its byte and in both halves; a line's pixels alternate A, B, A ...
    struct Line {
        uint32_t word[2];
    };
    static Line MakeLine(uint32_t w)
    {
        auto spread = [](uint32_t nibble2, uint32_t nibble3) {
            const uint32_t upper = ((nibble3 * 0x11u) << 24) | ((nibble2 * 0x11u) << 16);
            return upper | (upper >> 16);
        };
        return {{spread((w >> 16) & 0xF, (w >> 24) & 0xF), spread((w >> 20) & 0xF, (w >> 28) & 0xF)}};
    }
    static void PutPixel(const RasterTarget& t, int32_t x, int32_t y, const Line& line, int32_t ordinal)
    {
        const int32_t column = t.originX + x;
        MaskedStore32(t.Row(y) + ((column & ~7) >> 1), ~Layout4::kPixel[column & 7], line.word[ordinal & 1]);
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
            ShadeSpanHalftone4(s, ramps);
        else
            ShadeSpan4(s, ramps);
    }
};

}  // namespace raster
