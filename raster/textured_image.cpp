// The textured fills over offscreens: a face's set-up from its texture's pixel map and the
// destination offscreen, and the textured image path.
#include "raster/textured_fill.h"

#include <algorithm>

#include "draw/q_offscreen.h"
#include "foundation/dynamic_array.h"
#include "raster/device_point_list.h"
#include "raster/span_region.h"
#include "raster/textured_walk.h"

using namespace raster;

namespace {

// The edges of a polygon of whole device pixels: a point's row is its y, and each edge starts
// at the middle of its first row.
struct ImageEdges {
    const DevicePoint* points;
    const TextureCoord* coords;

    Fixed Y(int32_t i) const { return IntToFixed(points[i].y); }
    int32_t Row(int32_t i) const { return points[i].y; }

    void Setup(TexEdge& e, int32_t from, int32_t to) const
    {
        e.start = from;
        e.end = to;
        const int64_t dy = int64_t(points[to].y) - points[from].y;
        e.rows = int32_t(std::clamp<int64_t>(dy, 0, INT32_MAX));
        if (e.rows == 0) return;
        auto perRow = [dy](int64_t difference) { return Fixed(std::clamp<int64_t>(difference / dy, INT32_MIN, INT32_MAX)); };
        e.dx = perRow((int64_t(points[to].x) - points[from].x) * 65536);
        e.du = perRow(int64_t(coords[to].u) - coords[from].u);
        e.dv = perRow(int64_t(coords[to].v) - coords[from].v);
        e.x = WrapAdd(WrapAdd(IntToFixed(points[from].x), e.dx / 2), kFixedHalf);
        e.u = WrapAdd(WrapAdd(coords[from].u, e.du / 2), kFixedHalf);
        e.v = WrapAdd(WrapAdd(coords[from].v, e.dv / 2), kFixedHalf);
    }
};

// The pixels [first, end) of row y whose centres lie inside the convex clip shape.
bool ShapeRowSpan(const SpanRegion* region, int32_t y, int32_t* first, int32_t* end)
{
    const int32_t n = region->ClipVertexCount();
    const FixedPoint* p = region->ClipVertices();
    const int64_t centre = int64_t(y) * 65536 + kFixedHalf;
    int64_t low = INT64_MAX;
    int64_t high = INT64_MIN;
    for (int32_t i = 0; i < n; ++i) {
        const FixedPoint& a = p[i];
        const FixedPoint& b = p[i + 1 == n ? 0 : i + 1];
        if ((centre < a.y && centre < b.y) || (centre > a.y && centre > b.y)) continue;
        if (a.y == b.y) {
            low = std::min<int64_t>(low, std::min(a.x, b.x));
            high = std::max<int64_t>(high, std::max(a.x, b.x));
            continue;
        }
        const int64_t x = a.x + (int64_t(b.x) - a.x) * (centre - a.y) / (int64_t(b.y) - a.y);
        low = std::min(low, x);
        high = std::max(high, x);
    }
    if (low > high) return false;
    *first = int32_t(std::clamp<int64_t>((low - kFixedHalf + 0xFFFF) >> 16, INT32_MIN, INT32_MAX));
    *end = int32_t(std::clamp<int64_t>(((high - kFixedHalf) >> 16) + 1, INT32_MIN, INT32_MAX));
    return *end > *first;
}

}  // namespace

bool SetupTexturedPolygon(const TextureSource* source, Q_Offscreen* destination, TextureCoord* coords, int32_t count,
                          TextureSetup* setup)
{
    setup->destination = destination;
    setup->filler = nullptr;
    if (!source || !source->pixels || !destination) return false;
    PortRect bounds;
    source->pixels->GetBounds(&bounds);
    const bool drawable =
        SetupTexturedSource(setup, source, source->pixels->GetRowTable(), bounds.right, bounds.bottom, destination->Format());
    setup->destination = destination;
    setup->destX = -Q_Offscreen::OffscreenOriginX();
    setup->destY = -Q_Offscreen::OffscreenOriginY();
    ApplyTextureFlips(*source, bounds.right, bounds.bottom, coords, count);
    return drawable;
}

namespace {

// DrawTexturedImage with the texture's rows taken.
int32_t FillTexturedImage(const TextureSource* source, uint8_t* const* rows, const PortRect& bounds,
                          Q_Offscreen* destination, const DynamicArray* points, const DynamicArray* coords,
                          const SpanRegion* region)
{
    const int32_t n = std::min(points->ArrayCount(), coords->ArrayCount());
    PortRect clip;
    destination->GetOffscreenDestRect(&clip);
    TextureSetup setup;
    if (n < 3 || !SetupTexturedSource(&setup, source, rows, bounds.right, bounds.bottom, destination->Format()))
        return 0;
    setup.destination = destination;
    const auto* p = static_cast<const DevicePoint*>(points->ArrayData());
    const auto* c = static_cast<const TextureCoord*>(coords->ArrayData());
    int32_t minX = p[0].x;
    int32_t maxX = p[0].x;
    for (int32_t i = 1; i < n; ++i) {
        minX = std::min(minX, p[i].x);
        maxX = std::max(maxX, p[i].x);
    }
    if (maxX <= clip.left || minX >= clip.right) return 0;
    // A clipped region narrows the clip to its shape, row by row.
    const bool shaped = region && region->clipped && region->ClipVertexCount() >= 3;
    if (region && region->clipped && !shaped) return 0;
    if (shaped) {
        clip.top = std::max<int32_t>(clip.top, region->scanBounds[kScanTop] >> 16);
        clip.bottom = std::min<int32_t>(clip.bottom, (region->scanBounds[kScanBottom] >> 16) + 1);
        if (maxX <= (region->scanBounds[kScanLeft] >> 16) || minX > (region->scanBounds[kScanRight] >> 16)) return 0;
    }
    TexDepthMode = setup.depthMode;
    // Flipped texel for texel: integer part t becomes size - 1 - t whatever the fraction.
    const Fixed flippedU = WrapSub(IntToFixed(setup.width), 1);
    const Fixed flippedV = WrapSub(IntToFixed(setup.height), 1);
    return WalkTexturedPolygon(
        ImageEdges{p, c}, n, clip.bottom, [](int32_t, const TexEdge&, const TexEdge&, bool) {},
        [&](int32_t y, const TexEdge& l, const TexEdge& r) {
            if (y < clip.top) return;
            const int32_t leftX = l.x >> 16;
            const int32_t rightX = r.x >> 16;
            int32_t first = std::max(clip.left, leftX);
            int32_t end = std::min(rightX, clip.right);
            if (shaped) {
                int32_t shapeFirst = 0;
                int32_t shapeEnd = 0;
                if (!ShapeRowSpan(region, y, &shapeFirst, &shapeEnd)) return;
                first = std::max(first, shapeFirst);
                end = std::min(end, shapeEnd);
            }
            if (end <= first) return;
            const int32_t width = rightX - leftX;
            Fixed du = TexSlope(int64_t(r.u) - l.u, IntToFixed(width));
            Fixed dv = TexSlope(int64_t(r.v) - l.v, IntToFixed(width));
            Fixed u = WrapAdd(l.u, WrapMul(du, first - leftX));
            Fixed v = WrapAdd(l.v, WrapMul(dv, first - leftX));
            if (source->flipU) {
                u = WrapSub(flippedU, u);
                du = -du;
            }
            if (source->flipV) {
                v = WrapSub(flippedV, v);
                dv = -dv;
            }
            TexEmitSpan(setup, y, first, end - first, u, v, du, dv);
        });
}

}  // namespace

int32_t DrawTexturedImage(const TextureSource* source, Q_Offscreen* destination, const DynamicArray* points,
                          const DynamicArray* coords, const SpanRegion* region)
{
    if (!source || !source->pixels || !destination || !points || !coords) return 0;
    PortRect bounds;
    source->pixels->GetBounds(&bounds);
    uint8_t* const* rows = source->pixels->GetRowTable();
    const int32_t drawn = FillTexturedImage(source, rows, bounds, destination, points, coords, region);
    source->pixels->ReleaseRowTable(rows, bounds.bottom);
    return drawn;
}
