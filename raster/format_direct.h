// The direct-colour pixel formats: 16 bits (two pixels per 32-bit word, pixel 0 the low half),
// 24 bits (three bytes per pixel, lowest first, packed without gaps) and 32 bits. Their span fills,
// shaded spans and line pixels, and the polygon traits. The half-tone pattern and the jitter look
// at the pixel's position in memory: byte address / 2 at 16 bits, the byte address itself at 24,
// byte address / 4 at 32.
#pragma once

#include <cstdint>

#include "foundation/fixed.h"
#include "raster/dither_tables.h"
#include "raster/format_indexed.h"
#include "raster/pixel_access.h"
#include "raster/pixel_span.h"
#include "raster/raster_target.h"
#include "raster/shade_ramp.h"

namespace raster {

using Layout16 = WordLayout<16, WordOrder::kLowFirst>;
constexpr uint32_t kHalftoneKeep16[2] = {0xFFFF0000, 0x0000FFFF};

template <int32_t Bytes>
struct DirectPixel;

template <>
struct DirectPixel<2> {
    using Value = uint16_t;
    static uintptr_t Position(const uint8_t* p) { return AddressOf(p) >> 1; }
    static void Put(uint8_t* p, uint32_t v) { Store16(p, uint16_t(v)); }
};

template <>
struct DirectPixel<3> {
    using Value = uint32_t;
    static uintptr_t Position(const uint8_t* p) { return AddressOf(p); }
    static void Put(uint8_t* p, uint32_t v)
    {
        p[0] = uint8_t(v);
        p[1] = uint8_t(v >> 8);
        p[2] = uint8_t(v >> 16);
    }
};

template <>
struct DirectPixel<4> {
    using Value = uint32_t;
    static uintptr_t Position(const uint8_t* p) { return AddressOf(p) >> 2; }
    static void Put(uint8_t* p, uint32_t v) { Store32(p, v); }
};

namespace detail {

// A solid 24-bit span: single pixels until the address is word-aligned, then groups of four pixels
// (three words) until it is 16-byte aligned, then sixteen pixels per three 16-byte stores, then
// groups of four and single pixels for the rest.
inline void FillSpan24Solid(uint8_t* p, int32_t count, uint32_t w)
{
    for (; count > 0 && (AddressOf(p) & 3) != 0; --count, p += 3) DirectPixel<3>::Put(p, w);
    const uint32_t b0 = w & 0xFF, b1 = (w >> 8) & 0xFF, b2 = (w >> 16) & 0xFF;
    const uint32_t w0 = b0 | (b1 << 8) | (b2 << 16) | (b0 << 24);
    const uint32_t w1 = b1 | (b2 << 8) | (b0 << 16) | (b1 << 24);
    const uint32_t w2 = b2 | (b0 << 8) | (b1 << 16) | (b2 << 24);
    const auto group = [w0, w1, w2](uint8_t* q) {
        Store32(q, w0);
        Store32(q + 4, w1);
        Store32(q + 8, w2);
    };
    for (; count >= 4 && (AddressOf(p) & 15) != 0; count -= 4, p += 12) group(p);
    for (; count >= 16; count -= 16, p += 48) {
        group(p);
        group(p + 12);
        group(p + 24);
        group(p + 36);
    }
    for (; count >= 4; count -= 4, p += 12) group(p);
    for (; count > 0; --count, p += 3) DirectPixel<3>::Put(p, w);
}

}  // namespace detail

// ---- the span writers ----

// The 16-bit flat spans: two pixels per word, from pattern word [row parity]; the half-tone form
// writes only index-0 pixels on even rows and index-1 pixels on odd rows.
template <bool Halftone>
inline void FillSpan16(const PixelSpan& s, const uint32_t* pattern)
{
    FillWordSpan<Layout16, Halftone>(s.FirstWord<Layout16>(), s.FirstIndex<Layout16>(), s.count, pattern[s.Parity()],
                                     kHalftoneKeep16[s.Parity()]);
}

// The 24- and 32-bit flat spans; the half-tone form writes every other pixel from the first whose
// position parity is the row's.
template <int32_t Bytes, bool Halftone>
inline void FillSpanDirect(const PixelSpan& s, uint32_t pixel)
{
    static_assert(Bytes == 3 || Bytes == 4);
    using Pixel = DirectPixel<Bytes>;
    uint8_t* p = s.row + Bytes * s.column;
    if constexpr (Halftone) {
        const int32_t skip = HalftoneSkip(s, Pixel::Position(p));
        p += Bytes * skip;
        for (int32_t count = s.count - skip; count > 0; count -= 2, p += 2 * Bytes) Pixel::Put(p, pixel);
    } else if constexpr (Bytes == 3) {
        detail::FillSpan24Solid(p, s.count, pixel);
    } else {
        ForWordRun(p, s.count, [pixel](uint8_t* q) { Store32(q, pixel); });
    }
}

// The shaded spans of every direct format, pixel by pixel from the span's first intensity: the
// pixel at position q takes ramp [(I + jitter) >> 16], the jitter being entry (q & 15) of the
// row's window of the matrix table (DitherMatrixWindows).
template <int32_t Bytes>
inline void ShadeSpanDirect(const PixelSpan& s, const typename DirectPixel<Bytes>::Value* ramp)
{
    using Pixel = DirectPixel<Bytes>;
    const uint16_t* jitter = DitherMatrixWindows[s.y & 7].data();
    const uint32_t step = s.step;
    uint32_t v = s.intensity;
    uint8_t* p = s.row + Bytes * s.column;
    int32_t count = s.count;
    for (; count >= 2; count -= 2, p += 2 * Bytes) {
        Pixel::Put(p, ramp[ShadeLevel(v, jitter[Pixel::Position(p) & 15])]);
        v += step;
        Pixel::Put(p + Bytes, ramp[ShadeLevel(v, jitter[Pixel::Position(p + Bytes) & 15])]);
        v += step;
    }
    if (count > 0) Pixel::Put(p, ramp[ShadeLevel(v, jitter[Pixel::Position(p) & 15])]);
}

// As ShadeSpanDirect on every other pixel, starting with the first whose position parity is the
// row's, the jitter from the half-tone jitter row (a DitherJitterTable row).
template <int32_t Bytes>
inline void ShadeSpanHalftoneDirect(const PixelSpan& s, const typename DirectPixel<Bytes>::Value* ramp)
{
    using Pixel = DirectPixel<Bytes>;
    const uint16_t* jitterRow = JitterRow(s.y);
    const uint32_t step = s.step;
    const int32_t skip = HalftoneSkip(s, Pixel::Position(s.row + Bytes * s.column));
    uint8_t* p = s.row + Bytes * (s.column + skip);
    uint32_t v = s.intensity + uint32_t(skip) * step;
    for (int32_t count = s.count - skip; count > 0; count -= 2, p += 2 * Bytes, v += 2 * step)
        Pixel::Put(p, ramp[ShadeLevel(v, jitterRow[Pixel::Position(p) & 15])]);
}

// ---- traits ----

// Fill and frame pixels always come from the exact colour word (option 16 changes nothing).
struct Direct16 {
    static constexpr int32_t kBitsPerPixel = 16;
    static constexpr bool kTakesFillColor = false;

    struct Flat {
        uint32_t pattern[2];
    };
    static Flat MakeFlat(uint32_t w) { return {{w, w}}; }

    template <bool Halftone>
    static void FillSpan(const PixelSpan& s, const Flat& flat)
    {
        FillSpan16<Halftone>(s, flat.pattern);
    }

    // A pixel takes the half of the colour word that belongs to its index, stored on its own.
    struct Line {
        uint32_t value;
    };
    static Line MakeLine(uint32_t w) { return {w}; }
    static void PutPixel(const RasterTarget& t, int32_t x, int32_t y, const Line& line, int32_t)
    {
        const int32_t column = t.originX + x;
        Store16(t.Row(y) + 2 * column, uint16_t(line.value >> Layout16::PixelShift(column & 1)));
    }

    struct Ramps {
        ShadeRamp<uint16_t> ramp;
    };
    static void BuildRamps(Ramps& ramps, const ShadeLevelEntry* levels, int32_t rampByte)
    {
        ramps.ramp.Build(levels, rampByte, [](const ShadeLevelEntry& e) { return e.Pixels16; });
    }

    template <bool Halftone>
    static void ShadeSpan(const PixelSpan& s, const Ramps& ramps)
    {
        if constexpr (Halftone)
            ShadeSpanHalftoneDirect<2>(s, ramps.ramp.Levels());
        else
            ShadeSpanDirect<2>(s, ramps.ramp.Levels());
    }
};

// The 24- and 32-bit sets: one design, differing in the pixel size and the shade table they read.
template <int32_t Bytes>
struct DirectWide {
    static constexpr int32_t kBitsPerPixel = 8 * Bytes;
    static constexpr bool kTakesFillColor = false;

    struct Flat {
        uint32_t pixel;
    };
    static Flat MakeFlat(uint32_t w) { return {w}; }

    template <bool Halftone>
    static void FillSpan(const PixelSpan& s, const Flat& flat)
    {
        FillSpanDirect<Bytes, Halftone>(s, flat.pixel);
    }

    struct Line {
        uint32_t value;
    };
    static Line MakeLine(uint32_t w) { return {w}; }
    static void PutPixel(const RasterTarget& t, int32_t x, int32_t y, const Line& line, int32_t)
    {
        DirectPixel<Bytes>::Put(t.Row(y) + Bytes * (t.originX + x), line.value);
    }

    struct Ramps {
        ShadeRamp<uint32_t> ramp;
    };
    static void BuildRamps(Ramps& ramps, const ShadeLevelEntry* levels, int32_t rampByte)
    {
        ramps.ramp.Build(levels, rampByte,
                         [](const ShadeLevelEntry& e) { return Bytes == 3 ? e.Pixels24 : e.Pixels32; });
    }

    template <bool Halftone>
    static void ShadeSpan(const PixelSpan& s, const Ramps& ramps)
    {
        if constexpr (Halftone)
            ShadeSpanHalftoneDirect<Bytes>(s, ramps.ramp.Levels());
        else
            ShadeSpanDirect<Bytes>(s, ramps.ramp.Levels());
    }
};

using Direct24 = DirectWide<3>;
using Direct32 = DirectWide<4>;

}  // namespace raster
