// The textured polygon fill: the set-up against the destination's format, the span gradients and
// the affine row walk.
#include "raster/textured_fill.h"

#include <algorithm>

#include "foundation/fixed.h"
#include "foundation/loop_turns.h"
#include "raster/textured_walk.h"

using namespace raster;

namespace {

int32_t BitLength64(uint64_t v) { return v == 0 ? 0 : 64 - __builtin_clzll(v); }

Fixed Saturate(int64_t v) { return Fixed(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// a / b in 16.16 with 64-bit operands, truncated toward zero and held to 32 bits; 0 for b = 0.
Fixed Divide(int64_t a, int64_t b)
{
    if (b == 0) return 0;
    const __int128 q = ScaledQuotient16(a, b);
    return q > INT32_MAX ? INT32_MAX : q < INT32_MIN ? INT32_MIN : Fixed(q);
}

// a x 2^shift, or a / 2^-shift for a negative shift (toward zero).
int64_t Scale(int64_t a, int32_t shift)
{
    return shift >= 0 ? a * (int64_t(1) << shift) : a / (int64_t(1) << -shift);
}

bool PowerOfTwo(int32_t n) { return (n & (n - 1)) == 0; }

// The edges of a polygon of n 16.16 positions (FixedPoint, or the ClipPoint3 of a piece).
template <class Point>
struct AffineEdges {
    const Point* points;
    const TextureCoord* coords;
    const TextureSetup* setup;
    int32_t n;

    Fixed Y(int32_t i) const { return points[i].y; }
    int32_t Row(int32_t i) const { return NearestInt(points[i].y); }

    // The tagged line of the polygon edge between two neighbouring vertices, or null.
    const EdgeLine* LineOf(int32_t from, int32_t to) const
    {
        if (!setup->edgeTags || !setup->edgeLines) return nullptr;
        const int32_t first = to == (from + 1 == n ? 0 : from + 1) ? from : from == (to + 1 == n ? 0 : to + 1) ? to : -1;
        const int32_t tag = first >= 0 ? setup->edgeTags[first] : -1;
        return tag >= 0 ? &setup->edgeLines[tag] : nullptr;
    }

    void Setup(TexEdge& e, int32_t from, int32_t to) const
    {
        e.start = from;
        e.end = to;
        const int32_t firstRow = Row(from);
        e.rows = std::max(Row(to) - firstRow, 0);
        if (e.rows == 0) return;
        const Point& a = points[from];
        const Point& b = points[to];
        const Fixed dy = WrapSub(b.y, a.y);
        e.dx = TexSlope(int64_t(b.x) - a.x, dy);
        e.du = TexSlope(int64_t(coords[to].u) - coords[from].u, dy);
        e.dv = TexSlope(int64_t(coords[to].v) - coords[from].v, dy);
        // To the centre of the first row, then half a unit on so that integer parts round.
        const Fixed t = WrapSub(WrapAdd(IntToFixed(firstRow), kFixedHalf), a.y);
        e.x = WrapAdd(WrapAdd(a.x, FixMul(e.dx, t)), kFixedHalf);
        e.u = WrapAdd(WrapAdd(coords[from].u, FixMul(e.du, t)), kFixedHalf);
        e.v = WrapAdd(WrapAdd(coords[from].v, FixMul(e.dv, t)), kFixedHalf);
        if (const EdgeLine* line = LineOf(from, to)) {
            e.dx = line->step;
            e.x = WrapAdd(line->rowZeroX, WrapMul(line->step, firstRow));
        }
    }
};

// The walk of one polygon. Where the corners' coordinates come from one affine mapping (a face of
// one depth), the span gradient is the same on every row of a segment and is interpolated from
// the segment's ends; the corners of a perspective piece carry perspective-correct coordinates,
// so the gradient along its edges changes by the ratio of two linear functions down the rows and
// is taken on each row from the span's two ends.
template <class Point>
int32_t FillAffine(TextureSetup* setup, const TextureCoord* coords, const Point* points, int32_t count,
                   bool gradientPerRow)
{
    if (count < 3 || !setup->filler) return 0;
    TexDepthMode = setup->depthMode;
    SpanGradients g{};
    int64_t accumulatedU = 0;
    int64_t accumulatedV = 0;
    const AffineEdges<Point> edges{points, coords, setup, count};
    return WalkTexturedPolygon(
        edges, count, setup->destHeight - setup->destY,
        [&](int32_t h, const TexEdge& l, const TexEdge& r, bool triangle) {
            if (gradientPerRow) return;
            g = ComputeSpanGradients(h, l.x, l.dx, r.x, r.dx, l.u, l.du, r.u, r.du, l.v, l.dv, r.v, r.dv, triangle);
            accumulatedU = 0;
            accumulatedV = 0;
        },
        [&](int32_t y, const TexEdge& l, const TexEdge& r) {
            const int32_t first = l.x >> 16;
            const int32_t count = (r.x >> 16) - first;
            if (count > 0) {
                if (gradientPerRow) {
                    const int64_t width = int64_t(r.x) - l.x;
                    TexEmitSpan(*setup, y, first, count, l.u, l.v, Divide(int64_t(r.u) - l.u, width),
                                Divide(int64_t(r.v) - l.v, width));
                } else {
                    TexEmitSpan(*setup, y, first, count, l.u, l.v,
                                SpanGradients::Gradient(g.du0, accumulatedU, g.uShift),
                                SpanGradients::Gradient(g.dv0, accumulatedV, g.vShift));
                }
            }
            accumulatedU += g.ddu;
            accumulatedV += g.ddv;
        });
}

}  // namespace

bool MakeEdgeLine(FixedPoint a, FixedPoint b, EdgeLine* line)
{
    if (a.y > b.y) std::swap(a, b);
    const int32_t firstRow = NearestInt(a.y);
    if (NearestInt(b.y) == firstRow) return false;
    // As AffineEdges::Setup steps the edge from the upper end.
    const Fixed dx = TexSlope(int64_t(b.x) - a.x, WrapSub(b.y, a.y));
    const Fixed t = WrapSub(WrapAdd(IntToFixed(firstRow), kFixedHalf), a.y);
    const Fixed x = WrapAdd(WrapAdd(a.x, FixMul(dx, t)), kFixedHalf);
    line->step = dx;
    line->rowZeroX = WrapSub(x, WrapMul(dx, firstRow));
    return true;
}

bool TextureDestinationFormat(const PixelFormat& format, int32_t* depthMode, int32_t* column)
{
    const int32_t depth = format.bitsPerPixel * format.planes;
    switch (depth) {
    case 4:
        *depthMode = format.planes == 4 ? kTexDepthPlanar : kTexDepth4Bit;
        *column = format.planes == 4 ? kTexColumnPlanar : kTexColumnPacked;
        return true;
    case 8:
        *depthMode = kTexDepth8Bit;
        *column = kTexColumn8;
        return true;
    case 16:
        *depthMode = kTexDepth16Bit;
        *column = kTexColumn16;
        return true;
    case 24:
        *depthMode = kTexDepth24Bit;
        *column = kTexColumn24;
        return true;
    case 32:
        *depthMode = kTexDepth32Bit;
        *column = kTexColumn32;
        return true;
    default:
        return false;
    }
}

int32_t TextureOptionRow(const TextureSource& source, int32_t width, int32_t height)
{
    return (source.mirrorV ? kTexRowMirrorV : 0) | (source.mirrorU ? kTexRowMirrorU : 0) |
           (source.transparent ? kTexRowTransparent : 0) |
           (PowerOfTwo(width) && PowerOfTwo(height) ? kTexRowPowerOfTwo : 0);
}

bool SetupTexturedSource(TextureSetup* setup, const TextureSource* source, uint8_t* const* textureRows, int32_t width,
                         int32_t height, const PixelFormat& destination)
{
    setup->source = source;
    setup->destX = 0;
    setup->destY = 0;
    setup->destBytes = destination.rowBytes * destination.planes * destination.height;
    setup->rowTable = textureRows;
    setup->width = width;
    setup->height = height;
    setup->widthMask = width - 1;
    setup->heightMask = height - 1;
    setup->tables = source->tables;
    setup->destRows = destination.rowTable;
    setup->destWidth = destination.width;
    setup->destHeight = destination.height;
    setup->planeBytes = destination.rowBytes;
    setup->edgeLines = nullptr;
    setup->edgeTags = nullptr;
    setup->covered = source->covered;
    setup->filler = nullptr;
    setup->column = -1;
    if (!TextureDestinationFormat(destination, &setup->depthMode, &setup->column)) return false;
    if (!setup->tables || !textureRows || !destination.rowTable || width < 1 || height < 1 || width > kMaxTextureSide ||
        height > kMaxTextureSide)
        return false;
    setup->filler = TexSpanTable[TextureOptionRow(*source, width, height) * kTexColumns + setup->column];
    return true;
}

void ApplyTextureFlips(const TextureSource& source, int32_t width, int32_t height, TextureCoord* coords, int32_t count)
{
    const Fixed right = IntToFixed(width - 1);
    const Fixed bottom = IntToFixed(height - 1);
    for (int32_t i = 0; i < count; ++i) {
        if (source.flipU) coords[i].u = WrapSub(right, coords[i].u);
        if (source.flipV) coords[i].v = WrapSub(bottom, coords[i].v);
    }
    CountTurns(count);
}

int32_t FillTexturedPolygonAffine(TextureSetup* setup, const TextureCoord* coords, const FixedPoint* positions,
                                  int32_t count)
{
    return FillAffine(setup, coords, positions, count, false);
}

int32_t FillTexturedPieceAffine(TextureSetup* setup, const TextureCoord* coords, const ClipPoint3* vertices,
                                int32_t count)
{
    return FillAffine(setup, coords, vertices, count, true);
}

int64_t MaxAbs(int64_t a, int64_t b)
{
    const int64_t x = a < 0 ? -a : a;
    const int64_t y = b < 0 ? -b : b;
    return std::max(x, y);
}

Fixed SpanGradients::Gradient(Fixed start, int64_t accumulated, int32_t shift)
{
    const int64_t value = accumulated + start;
    return Saturate(shift >= 0 ? value >> shift : value * (int64_t(1) << -shift));
}

SpanGradients ComputeSpanGradients(int32_t h, Fixed xL, Fixed dxL, Fixed xR, Fixed dxR, Fixed uL, Fixed duL, Fixed uR,
                                   Fixed duR, Fixed vL, Fixed dvL, Fixed vR, Fixed dvR, bool triangle)
{
    const int64_t widening = int64_t(dxR) - dxL;
    const int64_t uWidening = int64_t(duR) - duL;
    const int64_t vWidening = int64_t(dvR) - dvL;
    int64_t w0 = int64_t(xR) - xL;
    int64_t w1 = w0 + widening * h;
    int64_t u0 = int64_t(uR) - uL;
    int64_t u1 = u0 + uWidening * h;
    int64_t v0 = int64_t(vR) - vL;
    int64_t v1 = v0 + vWidening * h;
    SpanGradients g{};
    if (triangle) {
        const bool bottom = MaxAbs(w1, 0) > MaxAbs(w0, 0);
        g.du0 = bottom ? Divide(u1, w1) : Divide(u0, w0);
        g.dv0 = bottom ? Divide(v1, w1) : Divide(v0, w0);
        return g;
    }
    // Where one end is less than half as wide as the other, the middle row stands in for it.
    if (h >= 4 && std::max(w0, w1) >= 2 * std::min(w0, w1)) {
        const int32_t half = h >> 1;
        if (w1 < w0) {
            u1 = u0 + uWidening * half;
            v1 = v0 + vWidening * half;
            w1 = w0 + widening * half;
        } else {
            u0 += uWidening * half;
            v0 += vWidening * half;
            w0 += widening * half;
        }
    }
    auto axis = [&](int64_t d0, int64_t d1, Fixed* start, Fixed* change, int32_t* shift) {
        *shift = 31 - BitLength64(uint64_t(MaxAbs(d1, d0)));
        d0 = Scale(d0, *shift);
        d1 = Scale(d1, *shift);
        const Fixed first = w0 != 0 ? Divide(d0, w0) : 0;
        const Fixed last = w1 != 0 ? Divide(d1, w1) : 0;
        *start = first;
        *change = h != 0 ? Saturate((int64_t(last) - first) / h) : 0;
    };
    axis(u0, u1, &g.du0, &g.ddu, &g.uShift);
    axis(v0, v1, &g.dv0, &g.ddv, &g.vShift);
    return g;
}
