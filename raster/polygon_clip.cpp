// Clipping against the convex clip shape of a SpanRegion, and the two line clippers.
#include "raster/polygon_clip.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "foundation/dynamic_array.h"
#include "foundation/loop_turns.h"
#include "raster/span_region.h"

namespace {

constexpr Fixed kQuarterPixel = 0x4000;

int32_t Saturate32(int64_t v)
{
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return int32_t(v);
}

int64_t Magnitude(int64_t v) { return v < 0 ? -v : v; }

int32_t BitLength64(uint64_t v)
{
    int32_t bits = 0;
    for (; v != 0; v >>= 1) ++bits;
    return bits;
}

// A device coordinate as 16.16: its low 16 bits moved up (larger values wrap, as in 32 bits).
Fixed DeviceToFixed(int32_t v) { return Fixed(uint32_t(v) << 16); }

// The scratch arrays: pairs used alternately as source and destination of the edge cuts.
struct ClipScratch {
    DynamicArray* points[2];   // FixedPoint
    DynamicArray* flags[2];    // uint8_t
    DynamicArray* values[2];   // Fixed
    DynamicArray* points3[2];  // ClipPoint3
    DynamicArray* coords[2];   // TextureCoord
};
ClipScratch gScratch{};

bool EnsureCount(DynamicArray* array, int32_t count)
{
    if (!array) return false;
    return array->ArrayCount() >= count || array->ArraySetCount(count) == kResultOk;
}

template <class T>
T* DataOf(DynamicArray* array) { return static_cast<T*>(array->ArrayData()); }

// What the polygon cut carries beside each point.
struct FlagCarrier {
    using Point = FixedPoint;
    using Attribute = uint8_t;
    static FixedPoint Position(const Point& p) { return p; }
    static Point CutPoint(const Point&, const Point&, Fixed, FixedPoint cut) { return cut; }
    // An entering cut continues the polygon edge of the point before it; an exit cut starts an
    // edge laid along the clip shape.
    static Attribute CutAttribute(const Point&, Attribute, const Point&, Attribute, Fixed, const Point&,
                                  bool entering, Attribute before)
    {
        return entering ? before : 0;
    }
};

struct ValueCarrier {
    using Point = FixedPoint;
    using Attribute = Fixed;
    static FixedPoint Position(const Point& p) { return p; }
    static Point CutPoint(const Point&, const Point&, Fixed, FixedPoint cut) { return cut; }
    static Attribute CutAttribute(const Point&, Attribute startValue, const Point&, Attribute otherValue, Fixed t,
                                  const Point&, bool, Attribute)
    {
        return ClipLerp(startValue, otherValue, t);
    }
};

struct TextureCarrier {
    using Point = ClipPoint3;
    using Attribute = TextureCoord;
    static FixedPoint Position(const Point& p) { return {p.x, p.y}; }
    static Point CutPoint(const Point& start, const Point& other, Fixed t, FixedPoint cut)
    {
        return {cut.x, cut.y, ClipLerp(start.z, other.z, t)};
    }
    static Attribute CutAttribute(const Point& start, Attribute startCoord, const Point& other, Attribute otherCoord,
                                  Fixed t, const Point& cut, bool, Attribute)
    {
        TextureCoord result;
        InterpolatePerspective(start, startCoord, other, otherCoord, t, cut, &result);
        return result;
    }
};

// Sutherland-Hodgman against one edge, points on the edge kept without a cut. Every source point
// is copied at most once and each polygon edge adds at most one cut, so at most 2 n points result.
template <class C>
int32_t CutToEdge(const typename C::Point* points, const typename C::Attribute* attributes, int32_t n,
                  const ClipEdge& edge, typename C::Point* outPoints, typename C::Attribute* outAttributes,
                  int32_t* outCount)
{
    if (n < 1) return kClipRejected;
    // Every point is classified once, the first and last once more.
    CountTurns(n);
    int32_t k = 0;
    auto classify = [&](int32_t i, int32_t* distance) {
        FixedPoint p = C::Position(points[i]);
        return ClipClassify(edge, p.x, p.y, distance);
    };
    // The cut between point a and the point b after it.
    auto emitCut = [&](int32_t a, int32_t distanceA, int32_t b, int32_t distanceB, bool entering) {
        FixedPoint cut;
        Fixed t;
        bool startsAtB;
        ClipIntersect(edge, C::Position(points[a]), distanceA, C::Position(points[b]), distanceB, &cut, &t,
                      &startsAtB);
        int32_t start = startsAtB ? b : a;
        int32_t other = startsAtB ? a : b;
        outPoints[k] = C::CutPoint(points[start], points[other], t, cut);
        outAttributes[k] = C::CutAttribute(points[start], attributes[start], points[other], attributes[other], t,
                                           outPoints[k], entering, attributes[a]);
        ++k;
    };

    int32_t firstDistance;
    const int32_t firstState = classify(0, &firstDistance);
    int32_t i = 0;
    int32_t state = firstState;
    int32_t distance = firstDistance;
    if (firstState == kClipOutside) {
        int32_t previousDistance;
        do {
            previousDistance = distance;
            if (++i == n) return kClipRejected;
            state = classify(i, &distance);
        } while (state == kClipOutside);
        if (state == kClipInside) emitCut(i - 1, previousDistance, i, distance, true);
    }
    while (i < n) {
        outPoints[k] = points[i];
        outAttributes[k] = attributes[i];
        ++k;
        const int32_t copiedState = state;
        const int32_t copiedDistance = distance;
        if (++i == n) break;
        state = classify(i, &distance);
        if (state != kClipOutside) continue;
        if (copiedState == kClipInside) emitCut(i - 1, copiedDistance, i, distance, false);
        int32_t previousDistance;
        do {
            previousDistance = distance;
            if (++i == n) break;
            state = classify(i, &distance);
        } while (state == kClipOutside);
        if (i < n && state == kClipInside) emitCut(i - 1, previousDistance, i, distance, true);
    }
    // The closing edge, from the last point back to point 0.
    int32_t lastDistance;
    const int32_t lastState = classify(n - 1, &lastDistance);
    if (firstState == kClipOutside && lastState == kClipInside)
        emitCut(n - 1, lastDistance, 0, firstDistance, false);
    else if (firstState == kClipInside && lastState == kClipOutside)
        emitCut(n - 1, lastDistance, 0, firstDistance, true);
    if (k < 3) return kClipRejected;
    *outCount = k;
    return kClipKept;
}

// The checks before any cut: a usable region and shape, at least 3 points, and a bounding box
// that reaches more than `margin` pixels into the shape's bounds.
bool PassesBoundsTest(const SpanRegion* region, int32_t n, int64_t minX, int64_t maxX, int64_t minY, int64_t maxY,
                      uint16_t margin)
{
    if (!region || region->empty || n < 3) return false;
    const int64_t m = int64_t(margin) << 16;
    const Fixed* bounds = region->scanBounds;
    if (maxX - bounds[kScanLeft] <= m || bounds[kScanRight] - minX <= m || maxY - bounds[kScanTop] <= m ||
        bounds[kScanBottom] - minY <= m)
        return false;
    return region->ClipVertexCount() >= 3;
}

template <class Point, class ToFixed>
void BoundingBox(const Point* points, int32_t n, ToFixed toFixed, int64_t box[4])
{
    box[0] = box[2] = std::numeric_limits<int64_t>::max();
    box[1] = box[3] = std::numeric_limits<int64_t>::min();
    for (int32_t i = 0; i < n; ++i) {
        FixedPoint p = toFixed(points[i]);
        box[0] = std::min<int64_t>(box[0], p.x);
        box[1] = std::max<int64_t>(box[1], p.x);
        box[2] = std::min<int64_t>(box[2], p.y);
        box[3] = std::max<int64_t>(box[3], p.y);
    }
    CountTurns(n);
}

// Runs the cuts of every clip edge over the polygon in pair slot 0 (count n). On success the
// result is in slot *current with *count points.
template <class C>
int32_t CutAgainstShape(const SpanRegion* region, DynamicArray* const* pointPair, DynamicArray* const* attributePair,
                        int32_t n, int32_t* count, int32_t* current)
{
    const FixedPoint* vertices = region->ClipVertices();
    const ClipEdgeEquation* edges = region->ClipEdges();
    const int32_t m = region->ClipVertexCount();
    int32_t source = 0;
    CountTurns(m);
    for (int32_t i = 0; i < m; ++i) {
        if (edges[i].a == 0 && edges[i].b == 0) continue;  // a repeated vertex: no edge to cut against
        const ClipEdge edge = MakeClipEdge(edges[i], vertices[i]);
        const int32_t target = 1 - source;
        if (!EnsureCount(pointPair[target], 2 * n) || !EnsureCount(attributePair[target], 2 * n))
            return kClipRejected;
        int32_t outCount = 0;
        if (CutToEdge<C>(DataOf<typename C::Point>(pointPair[source]),
                         DataOf<typename C::Attribute>(attributePair[source]), n, edge,
                         DataOf<typename C::Point>(pointPair[target]),
                         DataOf<typename C::Attribute>(attributePair[target]), &outCount) != kClipKept)
            return kClipRejected;
        n = outCount;
        source = target;
    }
    *count = n;
    *current = source;
    return kClipKept;
}

bool ScratchReady() { return gScratch.points[0] || InitClipScratch() == kResultOk; }

// Clips the flat polygon the caller has written into pair slot 0.
int32_t ClipFlatInScratch(const SpanRegion* region, int32_t n, FixedPoint** outPoints, uint8_t** outFlags,
                          int32_t* outCount)
{
    int32_t count = 0;
    int32_t current = 0;
    if (CutAgainstShape<FlagCarrier>(region, gScratch.points, gScratch.flags, n, &count, &current) != kClipKept)
        return kClipRejected;
    *outPoints = DataOf<FixedPoint>(gScratch.points[current]);
    if (outFlags) *outFlags = DataOf<uint8_t>(gScratch.flags[current]);
    *outCount = count;
    return kClipKept;
}

}  // namespace

ClipEdgeEquation::ClipEdgeEquation(Fixed x0, Fixed y0, Fixed x1, Fixed y1)
{
    int64_t scaledA = int64_t(y1) - y0;
    int64_t scaledB = int64_t(x0) - x1;
    const int32_t k = std::max<int32_t>(1, BitLength64(uint64_t(std::max(Magnitude(scaledA), Magnitude(scaledB)))));
    if (k <= 16) {
        scaledA *= int64_t(1) << (16 - k);
        scaledB *= int64_t(1) << (16 - k);
    } else {
        scaledA >>= (k - 16);
        scaledB >>= (k - 16);
    }
    a = int32_t(scaledA);
    b = int32_t(scaledB);
    c = Saturate32(-(int64_t(FixMul(x0, a)) + FixMul(y0, b)));
}

ClipEdge MakeClipEdge(const ClipEdgeEquation& equation, FixedPoint start)
{
    if (equation.a == 0) return {ClipEdgeKind::kHorizontal, equation, start.y};
    if (equation.b == 0) return {ClipEdgeKind::kVertical, equation, start.x};
    return {ClipEdgeKind::kGeneral, equation, 0};
}

int32_t ClipClassify(const ClipEdge& edge, Fixed x, Fixed y, int32_t* distance)
{
    int64_t d;
    switch (edge.kind) {
    case ClipEdgeKind::kHorizontal:
        d = edge.equation.b <= 0 ? int64_t(edge.level) - y : int64_t(y) - edge.level;
        break;
    case ClipEdgeKind::kVertical:
        d = edge.equation.a <= 0 ? int64_t(edge.level) - x : int64_t(x) - edge.level;
        break;
    default:
        d = int64_t(FixMul(x, edge.equation.a)) + FixMul(y, edge.equation.b) + edge.equation.c;
        break;
    }
    *distance = Saturate32(d);
    return *distance < 0 ? kClipInside : (*distance > 0 ? kClipOutside : kClipOnEdge);
}

Fixed ClipCutParameter(int32_t distanceA, int32_t distanceB, bool* startsAtB)
{
    const int64_t magnitudeA = Magnitude(distanceA);
    const int64_t magnitudeB = Magnitude(distanceB);
    *startsAtB = magnitudeA < magnitudeB;
    int64_t start = *startsAtB ? magnitudeB : magnitudeA;
    int64_t sum = magnitudeA + magnitudeB;
    while (sum > std::numeric_limits<int32_t>::max()) {
        sum >>= 1;
        start >>= 1;
    }
    if (sum == 0) return 0;
    return std::clamp<Fixed>(FixDiv(int32_t(start), int32_t(sum)), 0, kFixedOne);
}

Fixed ClipLerp(Fixed start, Fixed other, Fixed t)
{
    const int64_t difference = int64_t(other) - start;
    if (difference == 0) return start;
    if (difference >= std::numeric_limits<int32_t>::min() && difference <= std::numeric_limits<int32_t>::max())
        return Fixed(uint32_t(start) + uint32_t(FixMul(int32_t(difference), t)));
    // The difference does not fit 32 bits: the same rounding as FixMul, in 64 bits.
    const int64_t product = (Magnitude(difference) * t + kFixedHalf) >> 16;
    return Saturate32(start + (difference < 0 ? -product : product));
}

int32_t ClipIntersect(const ClipEdge& edge, FixedPoint a, int32_t distanceA, FixedPoint b, int32_t distanceB,
                      FixedPoint* out, Fixed* t, bool* startsAtB)
{
    *t = ClipCutParameter(distanceA, distanceB, startsAtB);
    const FixedPoint start = *startsAtB ? b : a;
    const FixedPoint other = *startsAtB ? a : b;
    switch (edge.kind) {
    case ClipEdgeKind::kHorizontal:
        *out = {ClipLerp(start.x, other.x, *t), edge.level};
        break;
    case ClipEdgeKind::kVertical:
        *out = {edge.level, ClipLerp(start.y, other.y, *t)};
        break;
    default:
        *out = {ClipLerp(start.x, other.x, *t), ClipLerp(start.y, other.y, *t)};
        break;
    }
    return 1;
}

int32_t ClipPolygonToEdge(const FixedPoint* points, const uint8_t* flags, int32_t n, const ClipEdge& edge,
                          FixedPoint* outPoints, uint8_t* outFlags, int32_t* outCount)
{
    return CutToEdge<FlagCarrier>(points, flags, n, edge, outPoints, outFlags, outCount);
}

int32_t ClipShadedPolygonToEdge(const FixedPoint* points, const Fixed* values, int32_t n, const ClipEdge& edge,
                                FixedPoint* outPoints, Fixed* outValues, int32_t* outCount)
{
    return CutToEdge<ValueCarrier>(points, values, n, edge, outPoints, outValues, outCount);
}

int32_t ClipTexturedPolygonToEdge(const ClipPoint3* points, const TextureCoord* coords, int32_t n,
                                  const ClipEdge& edge, ClipPoint3* outPoints, TextureCoord* outCoords,
                                  int32_t* outCount)
{
    return CutToEdge<TextureCarrier>(points, coords, n, edge, outPoints, outCoords, outCount);
}

int32_t ClipPolygon(const SpanRegion* region, const DevicePoint* points, int32_t n, FixedPoint** outPoints,
                    uint8_t** outFlags, int32_t* outCount, uint16_t margin)
{
    if (!points || n < 3) return kClipRejected;
    int64_t box[4];
    BoundingBox(points, n, [](const DevicePoint& p) { return FixedPoint{DeviceToFixed(p.x), DeviceToFixed(p.y)}; },
                box);
    if (!PassesBoundsTest(region, n, box[0], box[1], box[2], box[3], margin) || !ScratchReady()) return kClipRejected;
    if (!EnsureCount(gScratch.points[0], n) || !EnsureCount(gScratch.flags[0], n)) return kClipRejected;
    FixedPoint* first = DataOf<FixedPoint>(gScratch.points[0]);
    uint8_t* flags = DataOf<uint8_t>(gScratch.flags[0]);
    for (int32_t i = 0; i < n; ++i) {
        first[i] = {DeviceToFixed(points[i].x), DeviceToFixed(points[i].y)};
        flags[i] = 1;
    }
    CountTurns(n);
    return ClipFlatInScratch(region, n, outPoints, outFlags, outCount);
}

int32_t ClipPolygon(const SpanRegion* region, const FixedPoint* points, int32_t n, FixedPoint** outPoints,
                    uint8_t** outFlags, int32_t* outCount, uint16_t margin)
{
    if (!points || n < 3) return kClipRejected;
    int64_t box[4];
    BoundingBox(points, n, [](const FixedPoint& p) { return p; }, box);
    if (!PassesBoundsTest(region, n, box[0], box[1], box[2], box[3], margin) || !ScratchReady()) return kClipRejected;
    if (!EnsureCount(gScratch.points[0], n) || !EnsureCount(gScratch.flags[0], n)) return kClipRejected;
    std::copy(points, points + n, DataOf<FixedPoint>(gScratch.points[0]));
    std::fill_n(DataOf<uint8_t>(gScratch.flags[0]), n, uint8_t(1));
    CountTurns(n);
    return ClipFlatInScratch(region, n, outPoints, outFlags, outCount);
}

int32_t ClipShadedPolygon(const SpanRegion* region, const DevicePoint* points, int32_t n, FixedPoint** outPoints,
                          int32_t* outCount, const Fixed* values, Fixed** outValues, uint16_t margin)
{
    if (!points || !values || n < 3) return kClipRejected;
    int64_t box[4];
    BoundingBox(points, n, [](const DevicePoint& p) { return FixedPoint{DeviceToFixed(p.x), DeviceToFixed(p.y)}; },
                box);
    if (!PassesBoundsTest(region, n, box[0], box[1], box[2], box[3], margin) || !ScratchReady()) return kClipRejected;
    if (!EnsureCount(gScratch.points[0], n) || !EnsureCount(gScratch.values[0], n)) return kClipRejected;
    FixedPoint* first = DataOf<FixedPoint>(gScratch.points[0]);
    for (int32_t i = 0; i < n; ++i) first[i] = {DeviceToFixed(points[i].x), DeviceToFixed(points[i].y)};
    std::copy(values, values + n, DataOf<Fixed>(gScratch.values[0]));
    CountTurns(n);
    int32_t count = 0;
    int32_t current = 0;
    if (CutAgainstShape<ValueCarrier>(region, gScratch.points, gScratch.values, n, &count, &current) != kClipKept)
        return kClipRejected;
    *outPoints = DataOf<FixedPoint>(gScratch.points[current]);
    *outValues = DataOf<Fixed>(gScratch.values[current]);
    *outCount = count;
    return kClipKept;
}

int32_t ClipTexturedPolygon(const SpanRegion* region, const ClipPoint3* points, const TextureCoord* coords,
                            int32_t n, ClipPoint3** outPoints, TextureCoord** outCoords, int32_t* outCount,
                            uint16_t margin)
{
    if (!points || !coords || n < 3) return kClipRejected;
    int64_t box[4];
    BoundingBox(points, n, [](const ClipPoint3& p) { return FixedPoint{p.x, p.y}; }, box);
    if (!PassesBoundsTest(region, n, box[0], box[1], box[2], box[3], margin) || !ScratchReady()) return kClipRejected;
    if (!EnsureCount(gScratch.points3[0], n) || !EnsureCount(gScratch.coords[0], n)) return kClipRejected;
    std::copy(points, points + n, DataOf<ClipPoint3>(gScratch.points3[0]));
    std::copy(coords, coords + n, DataOf<TextureCoord>(gScratch.coords[0]));
    CountTurns(n);
    int32_t count = 0;
    int32_t current = 0;
    if (CutAgainstShape<TextureCarrier>(region, gScratch.points3, gScratch.coords, n, &count, &current) != kClipKept)
        return kClipRejected;
    *outPoints = DataOf<ClipPoint3>(gScratch.points3[current]);
    *outCoords = DataOf<TextureCoord>(gScratch.coords[current]);
    *outCount = count;
    return kClipKept;
}

int32_t ClipLineToRect(uint16_t left, uint16_t top, uint16_t right, uint16_t bottom, Fixed* x0, Fixed* y0,
                       Fixed* x1, Fixed* y1)
{
    const Fixed l = Saturate32((int64_t(left) << 16) + kQuarterPixel);
    const Fixed t = Saturate32((int64_t(top) << 16) + kQuarterPixel);
    const Fixed r = Saturate32((int64_t(right) << 16) - kQuarterPixel);
    const Fixed b = Saturate32((int64_t(bottom) << 16) - kQuarterPixel);
    // Moves (x, y) along the line towards (otherX, otherY) onto the line x = X (or y = Y when the
    // coordinates are given swapped).
    auto moveOnto = [](Fixed level, Fixed* along, Fixed* across, Fixed otherAlong, Fixed otherAcross) {
        const Fixed ratio = FixDiv(Saturate32(int64_t(level) - *along), Saturate32(int64_t(otherAlong) - *along));
        const int64_t difference = int64_t(otherAcross) - *across;
        *across = Saturate32(*across + int64_t(FixMul(Saturate32(difference), ratio)));
        *along = level;
    };
    if (*x0 < l && l <= *x1)
        moveOnto(l, x0, y0, *x1, *y1);
    else if (*x1 < l && l <= *x0)
        moveOnto(l, x1, y1, *x0, *y0);
    if (*x0 > r && r >= *x1)
        moveOnto(r, x0, y0, *x1, *y1);
    else if (*x1 > r && r >= *x0)
        moveOnto(r, x1, y1, *x0, *y0);
    if (*y0 < t && t <= *y1) moveOnto(t, y0, x0, *y1, *x1);
    if (*y1 > b && b >= *y0) moveOnto(b, y1, x1, *y0, *x0);
    // Point 0 must lie within the rectangle itself: a line along its top row or left column stays
    // in the quarter-pixel band and is still drawn.
    if (*x0 < IntToFixed(left) || *x0 > IntToFixed(right) || *y0 < IntToFixed(top) || *y0 > IntToFixed(bottom))
        return kClipRejected;
    return kClipKept;
}

int32_t ClipLineToShape(const SpanRegion* region, FixedPoint* p0, FixedPoint* p1)
{
    if (!region || region->empty || region->ClipVertexCount() < 3) return kClipRejected;
    const Fixed* bounds = region->scanBounds;
    if (std::max(p0->x, p1->x) < bounds[kScanLeft] || std::min(p0->x, p1->x) > bounds[kScanRight] ||
        std::max(p0->y, p1->y) < bounds[kScanTop] || std::min(p0->y, p1->y) > bounds[kScanBottom])
        return kClipRejected;
    const FixedPoint* vertices = region->ClipVertices();
    const ClipEdgeEquation* edges = region->ClipEdges();
    const int32_t m = region->ClipVertexCount();
    CountTurns(m);
    for (int32_t i = 0; i < m; ++i) {
        if (edges[i].a == 0 && edges[i].b == 0) continue;
        const ClipEdge edge = MakeClipEdge(edges[i], vertices[i]);
        int32_t d0;
        int32_t d1;
        ClipClassify(edge, p0->x, p0->y, &d0);
        ClipClassify(edge, p1->x, p1->y, &d1);
        if (d0 <= 0 && d1 <= 0) continue;
        FixedPoint cut;
        Fixed t;
        bool startsAtB;
        if (d0 < 0 && d1 > 0) {
            ClipIntersect(edge, *p0, d0, *p1, d1, &cut, &t, &startsAtB);
            *p1 = cut;
        } else if (d0 > 0 && d1 < 0) {
            ClipIntersect(edge, *p0, d0, *p1, d1, &cut, &t, &startsAtB);
            *p0 = cut;
        } else {
            return kClipRejected;
        }
    }
    return kClipKept;
}

void InterpolatePerspective(const ClipPoint3& start, const TextureCoord& startCoord, const ClipPoint3& other,
                            const TextureCoord& otherCoord, Fixed t, const ClipPoint3& newPoint,
                            TextureCoord* outCoord)
{
    if (start.z == other.z) {
        outCoord->u = ClipLerp(startCoord.u, otherCoord.u, t);
        outCoord->v = ClipLerp(startCoord.v, otherCoord.v, t);
        return;
    }
    Fixed p = FixDiv(start.z, newPoint.z);
    Fixed q = FixDiv(other.z, newPoint.z);
    const int32_t e = BitLength(uint32_t(Magnitude(p)) >> 16);
    const int32_t f = BitLength(uint32_t(std::max(Magnitude(startCoord.u), Magnitude(startCoord.v))) >> 16);
    const int32_t h = e + f >= 16 ? e + f - 15 : 0;
    p >>= h;
    q >>= h;
    // (s zS + t (o zO - s zS)) / zN on values scaled down by 2^h, then scaled back (32-bit wrap).
    auto interpolate = [&](Fixed s, Fixed o) {
        const uint32_t fromStart = uint32_t(FixMul(s, p));
        const uint32_t fromOther = uint32_t(FixMul(o, q));
        const uint32_t value = fromStart + uint32_t(FixMul(t, Fixed(fromOther - fromStart)));
        return Fixed(value << h);
    };
    outCoord->u = interpolate(startCoord.u, otherCoord.u);
    outCoord->v = interpolate(startCoord.v, otherCoord.v);
}

ResultCode InitClipScratch()
{
    if (gScratch.points[0]) return kResultOk;
    ClipScratch made{};
    bool ok = true;
    for (int32_t i = 0; i < 2; ++i) {
        ok = ok && (made.points[i] = NewDynamicArray(0, sizeof(FixedPoint), 8)) != nullptr;
        ok = ok && (made.flags[i] = NewDynamicArray(0, sizeof(uint8_t), 8)) != nullptr;
        ok = ok && (made.values[i] = NewDynamicArray(0, sizeof(Fixed), 8)) != nullptr;
        ok = ok && (made.points3[i] = NewDynamicArray(0, sizeof(ClipPoint3), 8)) != nullptr;
        ok = ok && (made.coords[i] = NewDynamicArray(0, sizeof(TextureCoord), 8)) != nullptr;
    }
    gScratch = made;
    if (ok) return kResultOk;
    FreeClipScratch();
    return kResultOutOfMemory;
}

void FreeClipScratch()
{
    for (DynamicArray** pair : {gScratch.points, gScratch.flags, gScratch.values, gScratch.points3, gScratch.coords})
        for (int32_t i = 0; i < 2; ++i)
            if (pair[i]) pair[i]->Destroy();
    gScratch = ClipScratch{};
}
