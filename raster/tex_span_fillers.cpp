// The 96 textured span fillers, made from one template over the texture options (row) and the
// pixel write (column), and the table that gathers them when the program is built.
#include "raster/tex_span_fillers.h"

#include <algorithm>
#include <utility>

#include "raster/format_direct.h"
#include "raster/pixel_access.h"

int32_t TexDepthMode = kTexDepth8Bit;
int32_t TexBitPhase = 0;

namespace {

// The integer part of a 16.16 coordinate: its high 16 bits read as a signed 16-bit number.
inline int32_t IntegerPart(uint32_t c) { return int16_t(uint16_t(c >> 16)); }

// The texel index along one axis of n texels (mask n - 1). Without masks the running coordinate
// is brought back into one period (two for mirroring) by whole periods, its fraction kept, as
// repeated addition or subtraction of the period would; with masks it is left alone.
template <bool Mirror, bool Masked>
struct Axis {
    static int32_t Texel(uint32_t& c, int32_t n, int32_t mask)
    {
        int32_t t = IntegerPart(c);
        if constexpr (Masked) {
            if constexpr (Mirror) {
                const int32_t period = (mask << 1) | 1;
                t &= period;
                return t > mask ? period - t : t;
            } else {
                return t & mask;
            }
        } else {
            const int32_t period = Mirror ? 2 * n : n;
            if (uint32_t(t) >= uint32_t(period)) {
                t %= period;
                if (t < 0) t += period;
                c = (uint32_t(t) << 16) | (c & 0xFFFF);
            }
            if constexpr (Mirror) return t >= n ? 2 * n - 1 - t : t;
            return t;
        }
    }
};

// The texture walk of one span: the record's texture fields in locals (the pixel writes go
// through byte pointers, which could otherwise alias them).
template <int32_t Row>
class TexelWalk {
public:
    static constexpr bool kTransparent = (Row & kTexRowTransparent) != 0;
    using U = Axis<(Row & kTexRowMirrorU) != 0, (Row & kTexRowPowerOfTwo) != 0>;
    using V = Axis<(Row & kTexRowMirrorV) != 0, (Row & kTexRowPowerOfTwo) != 0>;

    explicit TexelWalk(const TexSpanRecord* s)
        : rows_(s->rows), u_(uint32_t(s->u)), du_(uint32_t(s->du)), v_(uint32_t(s->v)), dv_(uint32_t(s->dv)),
          width_(s->width), widthMask_(s->widthMask), height_(s->height), heightMask_(s->heightMask)
    {
    }

    uint8_t Fetch()
    {
        const int32_t column = U::Texel(u_, width_, widthMask_);
        const int32_t row = V::Texel(v_, height_, heightMask_);
        return rows_[row][column];
    }
    void Step()
    {
        u_ += du_;
        v_ += dv_;
    }
    // Whether the texel leaves its pixel alone.
    static bool Skipped(uint8_t texel) { return kTransparent && texel == 0; }

private:
    uint8_t* const* rows_;
    uint32_t u_, du_, v_, dv_;
    int32_t width_, widthMask_, height_, heightMask_;
};

// ---- columns 1 to 4: one pixel per byte or more, fetch first and step after ----

// One pixel: fetch, translate unless skipped, step.
template <class Walk>
inline void Put8(Walk& walk, uint8_t* p, const uint8_t* table)
{
    const uint8_t texel = walk.Fetch();
    if (!Walk::Skipped(texel)) *p = table[texel];
    walk.Step();
}

template <int32_t Row>
void Fill8(const TexSpanRecord* s)
{
    TexelWalk<Row> walk(s);
    const auto* even = static_cast<const uint8_t*>(s->tableA);
    const auto* odd = static_cast<const uint8_t*>(s->tableB);
    uint8_t* p = s->destination;
    uint8_t* const end = p + s->count;
    if (p < end && (raster::AddressOf(p) & 1)) Put8(walk, p++, odd);
    for (; end - p >= 2; p += 2) {
        Put8(walk, p, even);
        Put8(walk, p + 1, odd);
    }
    if (p < end) Put8(walk, p, even);
}

template <int32_t Row, int32_t Bytes, class Entry>
void FillDirect(const TexSpanRecord* s)
{
    TexelWalk<Row> walk(s);
    const auto* table = static_cast<const Entry*>(s->tableA);
    uint8_t* p = s->destination;
    for (int32_t n = s->count; n > 0; --n, p += Bytes) {
        const uint8_t texel = walk.Fetch();
        if (!walk.Skipped(texel)) raster::DirectPixel<Bytes>::Put(p, table[texel]);
        walk.Step();
    }
}

// ---- columns 0 and 5: several pixels per byte, step first and fetch after ----

// Packed pixels of `Bits` bits, position 0 in the most significant bits of the byte; odd
// positions translate through table B, even ones through table A.
template <int32_t Bits>
struct PackedUnit {
    using Word = uint8_t;
    static constexpr int32_t kPerUnit = 8 / Bits;
    static constexpr Word Keep(int32_t k) { return Word(~(((1u << Bits) - 1) << (8 - Bits * (k + 1)))); }

    Word Load(const uint8_t* p) const { return *p; }
    void Store(uint8_t* p, Word w) const { *p = w; }
    Word Value(int32_t k, uint8_t texel) const { return (k & 1 ? odd : even)[texel]; }

    const uint8_t* even;
    const uint8_t* odd;
};

// Four planes of 1-bit pixels gathered into one word (plane 0 the highest byte); every position
// translates through table A.
struct PlanarUnit {
    using Word = uint32_t;
    static constexpr int32_t kPerUnit = 8;
    static constexpr Word Keep(int32_t k) { return PackedUnit<1>::Keep(k) * 0x01010101u; }

    Word Load(const uint8_t* p) const
    {
        return (uint32_t(p[0]) << 24) | (uint32_t(p[stride]) << 16) | (uint32_t(p[2 * stride]) << 8) |
               uint32_t(p[3 * stride]);
    }
    void Store(uint8_t* p, Word w) const
    {
        p[0] = uint8_t(w >> 24);
        p[stride] = uint8_t(w >> 16);
        p[2 * stride] = uint8_t(w >> 8);
        p[3 * stride] = uint8_t(w);
    }
    Word Value(int32_t, uint8_t texel) const { return table[texel]; }

    const uint32_t* table;
    int32_t stride;
};

template <class Unit, class Walk>
inline typename Unit::Word Merge(const Unit& unit, Walk& walk, int32_t k, typename Unit::Word w)
{
    walk.Step();
    const uint8_t texel = walk.Fetch();
    if (walk.Skipped(texel)) return w;
    const typename Unit::Word keep = Unit::Keep(k);
    return typename Unit::Word((w & keep) | (unit.Value(k, texel) & ~keep));
}

// The positions of a whole unit, unrolled.
template <class Unit, class Walk, std::size_t... K>
inline typename Unit::Word MergeWhole(const Unit& unit, Walk& walk, typename Unit::Word w, std::index_sequence<K...>)
{
    ((w = Merge(unit, walk, int32_t(K), w)), ...);
    return w;
}

// From the bit phase inside the first unit: the partial first unit keeps the pixels before the
// phase, whole units in between start from 0 in the opaque rows (every pixel is written) and from
// the destination in the transparent ones, and a partial last unit keeps the pixels after the
// span.
template <int32_t Row, class Unit>
void FillSubByte(const TexSpanRecord* s, uint8_t* p, const Unit& unit)
{
    constexpr int32_t kPer = Unit::kPerUnit;
    TexelWalk<Row> walk(s);
    int32_t position = TexBitPhase & (kPer - 1);
    int32_t remaining = s->count;
    if (remaining <= 0) return;
    if (position != 0 || remaining < kPer) {
        const int32_t end = std::min(kPer, position + remaining);
        typename Unit::Word w = unit.Load(p);
        for (int32_t k = position; k < end; ++k) w = Merge(unit, walk, k, w);
        unit.Store(p, w);
        remaining -= end - position;
        ++p;
    }
    for (; remaining >= kPer; remaining -= kPer, ++p) {
        const typename Unit::Word start = TexelWalk<Row>::kTransparent ? unit.Load(p) : 0;
        unit.Store(p, MergeWhole(unit, walk, start, std::make_index_sequence<kPer>()));
    }
    if (remaining > 0) {
        typename Unit::Word w = unit.Load(p);
        for (int32_t k = 0; k < remaining; ++k) w = Merge(unit, walk, k, w);
        unit.Store(p, w);
    }
}

template <int32_t Row>
void FillPacked(const TexSpanRecord* s)
{
    const auto* even = static_cast<const uint8_t*>(s->tableA);
    const auto* odd = static_cast<const uint8_t*>(s->tableB);
    switch (TexDepthMode) {
    case kTexDepth1Bit:
        FillSubByte<Row>(s, s->destination, PackedUnit<1>{even, odd});
        break;
    case kTexDepth2Bit:
        FillSubByte<Row>(s, s->destination, PackedUnit<2>{even, odd});
        break;
    default:
        FillSubByte<Row>(s, s->destination, PackedUnit<4>{even, odd});
        break;
    }
}

template <int32_t Row>
void FillPlanar(const TexSpanRecord* s)
{
    FillSubByte<Row>(s, s->planes, PlanarUnit{static_cast<const uint32_t*>(s->tableA), s->planeStride});
}

template <int32_t Row, int32_t Column>
void TexSpanFill(const TexSpanRecord* s)
{
    if constexpr (Column == kTexColumnPacked) FillPacked<Row>(s);
    else if constexpr (Column == kTexColumn8) Fill8<Row>(s);
    else if constexpr (Column == kTexColumn16) FillDirect<Row, 2, uint16_t>(s);
    else if constexpr (Column == kTexColumn24) FillDirect<Row, 3, uint32_t>(s);
    else if constexpr (Column == kTexColumn32) FillDirect<Row, 4, uint32_t>(s);
    else FillPlanar<Row>(s);
}

template <std::size_t... I>
constexpr std::array<TexSpanFiller, sizeof...(I)> MakeTexSpanTable(std::index_sequence<I...>)
{
    return {{&TexSpanFill<int32_t(I / kTexColumns), int32_t(I % kTexColumns)>...}};
}

}  // namespace

const std::array<TexSpanFiller, kTexRows * kTexColumns> TexSpanTable =
    MakeTexSpanTable(std::make_index_sequence<kTexRows * kTexColumns>());
