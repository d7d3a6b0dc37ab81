// SpanRegion: initialisation, release, and the convex clip shape of a region.
#include "raster/span_region.h"

#include <algorithm>
#include <new>

#include "foundation/loop_turns.h"
#include "raster/polygon_clip.h"

namespace {

constexpr Fixed kQuarterPixel = 0x4000;
constexpr Fixed kEmptySize = 0;  // a clip shape this wide or high, or less, is empty
constexpr int32_t kTrapezoidRowSize = 24;
constexpr int32_t kShapeGrowStep = 8;

// What regions let go of, kept for the regions made after them: drawing frame after frame then
// allocates no region and no clip shape once these hold as many as one frame has in use at once.
template <class T, int32_t kCapacity>
class Spares {
public:
    T* Take() { return count_ > 0 ? items_[--count_] : nullptr; }
    // False when full: the caller destroys the item.
    bool Keep(T* item)
    {
        if (count_ == kCapacity) return false;
        items_[count_++] = item;
        return true;
    }

private:
    T* items_[kCapacity] = {};
    int32_t count_ = 0;
};

Spares<SpanRegion, 32> gSpareRegions;
Spares<DynamicArray, 32> gSpareShapes;  // FixedPoint
Spares<DynamicArray, 32> gSpareEdges;   // ClipEdgeEquation

// An array of n elements of the given size, a spare one when there is one; null when it cannot be
// had. Its elements are the caller's to fill.
DynamicArray* ArrayOf(Spares<DynamicArray, 32>& spares, int32_t n, int32_t elementSize)
{
    if (DynamicArray* array = spares.Take()) {
        if (array->ArraySetCount(n) == kResultOk) return array;
        array->Destroy();
    }
    DynamicArray* array = NewDynamicArray(n, elementSize, kShapeGrowStep);
    if (array && array->ArrayCount() != n) {
        array->Destroy();
        return nullptr;
    }
    return array;
}

void LetGo(Spares<DynamicArray, 32>& spares, DynamicArray* array)
{
    if (array && !spares.Keep(array)) array->Destroy();
}

// Gives the region its own clip polygon of n 16.16 points, which place(vertices) writes, and the
// equations of its edges; false when the arrays cannot be had.
template <class Place>
bool StoreClipShape(SpanRegion* region, int32_t n, Place&& place)
{
    DynamicArray* shape = ArrayOf(gSpareShapes, n, sizeof(FixedPoint));
    DynamicArray* edges = ArrayOf(gSpareEdges, n, sizeof(ClipEdgeEquation));
    if (!shape || !edges) {
        LetGo(gSpareShapes, shape);
        LetGo(gSpareEdges, edges);
        return false;
    }
    FixedPoint* vertices = static_cast<FixedPoint*>(shape->ArrayLock());
    place(vertices);
    auto* equations = static_cast<ClipEdgeEquation*>(edges->ArrayData());
    for (int32_t i = 0; i < n; ++i) {
        const FixedPoint& from = vertices[i];
        const FixedPoint& to = vertices[(i + 1) % n];
        equations[i] = ClipEdgeEquation(from.x, from.y, to.x, to.y);
    }
    // With the points placed.
    CountTurns(2 * int64_t(n));
    region->shape = shape;
    region->shape2 = edges;
    return true;
}

RegionRowQuery gRowQuery = nullptr;
// Without a front end to ask, regions take the direct form: clip shapes for the rasterizers.
constexpr int32_t kRowsWithoutQuery = 1;

}  // namespace

RegionRowQuery InstallRegionRowQuery(RegionRowQuery query)
{
    const RegionRowQuery previous = gRowQuery;
    gRowQuery = query;
    return previous;
}

SpanRegion* NewSpanRegion()
{
    SpanRegion* region = gSpareRegions.Take();
    if (!region) region = new (std::nothrow) SpanRegion;
    if (region) region->SpanRegionInit();
    return region;
}

void FreeSpareRegions()
{
    while (SpanRegion* region = gSpareRegions.Take()) region->Destroy();
    while (DynamicArray* array = gSpareShapes.Take()) array->Destroy();
    while (DynamicArray* array = gSpareEdges.Take()) array->Destroy();
}

void SpanRegion::SpanRegionInit()
{
    rowCount = gRowQuery ? gRowQuery() : kRowsWithoutQuery;
    const int32_t growStep = rowCount ? 480 : 8;
    // A region used before keeps its block when it has the same layout.
    const bool reusable = Capacity() > 0 && ElementSize() == kTrapezoidRowSize && GrowStep() == growStep &&
                          LockCount() == 0;
    // Out of memory leaves an empty region that fails to grow.
    if (!reusable || ArraySetCount(0) != kResultOk) IgnoreResult(Init(0, kTrapezoidRowSize, growStep));
    clipped = 0;
    imageFirstRow = imageLeft = imageRight = 0;
    left = top = kRegionEmptyLow;
    right = bottom = kRegionEmptyHigh;
    shape = nullptr;
    shape2 = nullptr;
    empty = 0;
    std::fill(scanBounds, scanBounds + 4, 0);
    std::fill(boundsCopy, boundsCopy + 4, 0);
}

void SpanRegion::SpanRegionFree()
{
    if (shape) {
        shape->ArrayUnlock();
        LetGo(gSpareShapes, shape);
        LetGo(gSpareEdges, shape2);
    }
    shape = nullptr;
    shape2 = nullptr;
    if (!gSpareRegions.Keep(this)) Destroy();
}

SpanRegion* SpanRegion::SpanRegionFromRect(int32_t rectLeft, int32_t rectTop, int32_t rectRight, int32_t rectBottom)
{
    if (clipped) return nullptr;
    const DevicePoint corners[4] = {
        {rectLeft, rectTop}, {rectRight, rectTop}, {rectRight, rectBottom}, {rectLeft, rectBottom}};
    SpanRegion* region = NewSpanRegion();
    if (!region) return nullptr;
    region->clipped = 1;
    if (region->rowCount == 0) {
        region->BuildTrapezoidRegion(corners, 4);
        if (region->TrapezoidCount() < 2) {
            region->SpanRegionFree();
            return nullptr;
        }
        return region;
    }
    if (empty) {
        region->SpanRegionFree();
        return nullptr;
    }
    SetRegionClipShape(region, corners, 4);
    if (region->empty) {
        region->SpanRegionFree();
        return nullptr;
    }
    std::copy(region->scanBounds, region->scanBounds + 4, region->boundsCopy);
    return region;
}

void SpanRegion::SetRegionClipShape(SpanRegion* region, const DevicePoint* points, int32_t count) const
{
    std::copy(boundsCopy, boundsCopy + 4, region->boundsCopy);
    if (count < 3) {
        region->empty = 1;
        return;
    }
    if (ClipVertexCount() == 0) {
        // The first shape of a view: the polygon itself, each point moved a quarter pixel inwards.
        int32_t minX = points[0].x, maxX = points[0].x, minY = points[0].y, maxY = points[0].y;
        for (int32_t i = 1; i < count; ++i) {
            minX = std::min(minX, points[i].x);
            maxX = std::max(maxX, points[i].x);
            minY = std::min(minY, points[i].y);
            maxY = std::max(maxY, points[i].y);
        }
        CountTurns(count);
        region->scanBounds[kScanTop] = IntToFixed(minY) + kQuarterPixel;
        region->scanBounds[kScanBottom] = IntToFixed(maxY) - kQuarterPixel;
        region->scanBounds[kScanLeft] = IntToFixed(minX) + kQuarterPixel;
        region->scanBounds[kScanRight] = IntToFixed(maxX) - kQuarterPixel;
        if (region->scanBounds[kScanRight] - region->scanBounds[kScanLeft] <= kEmptySize ||
            region->scanBounds[kScanBottom] - region->scanBounds[kScanTop] <= kEmptySize) {
            region->empty = 1;
            return;
        }
        const bool stored = StoreClipShape(region, count, [&](FixedPoint* moved) {
            for (int32_t i = 0; i < count; ++i) {
                const DevicePoint& p = points[i];
                moved[i] = {IntToFixed(p.x) + (p.x == minX ? kQuarterPixel : -kQuarterPixel),
                            IntToFixed(p.y) + (p.y == minY ? kQuarterPixel : -kQuarterPixel)};
            }
        });
        if (!stored) region->empty = 1;
        return;
    }
    // A narrowed region: the polygon cut by this region's shape.
    FixedPoint* clippedPoints = nullptr;
    int32_t clippedCount = 0;
    if (ClipPolygon(this, points, count, &clippedPoints, nullptr, &clippedCount, 0) != kClipKept) {
        region->empty = 1;
        return;
    }
    Fixed box[4] = {clippedPoints[0].y, clippedPoints[0].y, clippedPoints[0].x, clippedPoints[0].x};
    for (int32_t i = 1; i < clippedCount; ++i) {
        box[kScanTop] = std::min(box[kScanTop], clippedPoints[i].y);
        box[kScanBottom] = std::max(box[kScanBottom], clippedPoints[i].y);
        box[kScanLeft] = std::min(box[kScanLeft], clippedPoints[i].x);
        box[kScanRight] = std::max(box[kScanRight], clippedPoints[i].x);
    }
    CountTurns(clippedCount);
    std::copy(box, box + 4, region->scanBounds);
    if (box[kScanRight] - box[kScanLeft] <= kEmptySize || box[kScanBottom] - box[kScanTop] <= kEmptySize ||
        !StoreClipShape(region, clippedCount,
                        [&](FixedPoint* vertices) { std::copy(clippedPoints, clippedPoints + clippedCount, vertices); }))
        region->empty = 1;
}

int32_t SpanRegion::ClipVertexCount() const
{
    if (!shape || !shape2) return 0;
    return std::min(shape->ArrayCount(), shape2->ArrayCount());
}

const FixedPoint* SpanRegion::ClipVertices() const
{
    return shape ? static_cast<const FixedPoint*>(shape->ArrayData()) : nullptr;
}

const ClipEdgeEquation* SpanRegion::ClipEdges() const
{
    return shape2 ? static_cast<const ClipEdgeEquation*>(shape2->ArrayData()) : nullptr;
}
