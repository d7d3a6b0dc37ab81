// SpanRegion: initialisation, release, and the convex clip shape of a region.
#include "raster/span_region.h"

#include <algorithm>
#include <new>

#include "raster/polygon_clip.h"

namespace {

constexpr Fixed kQuarterPixel = 0x4000;
constexpr Fixed kEmptySize = 0;  // a clip shape this wide or high, or less, is empty
constexpr int32_t kTrapezoidRowSize = 24;

// Makes the region's own clip polygon and edge arrays from n 16.16 points; false when they
// cannot be had.
bool StoreClipShape(SpanRegion* region, const FixedPoint* points, int32_t n)
{
    DynamicArray* shape = NewDynamicArray(n, sizeof(FixedPoint), 8);
    DynamicArray* edges = NewDynamicArray(n, sizeof(ClipEdgeEquation), 8);
    if (!shape || !edges || shape->ArrayCount() != n || edges->ArrayCount() != n) {
        if (shape) shape->Destroy();
        if (edges) edges->Destroy();
        return false;
    }
    FixedPoint* vertices = static_cast<FixedPoint*>(shape->ArrayLock());
    std::copy(points, points + n, vertices);
    auto* equations = static_cast<ClipEdgeEquation*>(edges->ArrayData());
    for (int32_t i = 0; i < n; ++i) {
        const FixedPoint& from = vertices[i];
        const FixedPoint& to = vertices[(i + 1) % n];
        equations[i] = ClipEdgeEquation(from.x, from.y, to.x, to.y);
    }
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

void SpanRegion::SpanRegionInit()
{
    rowCount = gRowQuery ? gRowQuery() : kRowsWithoutQuery;
    Init(0, kTrapezoidRowSize, rowCount ? 480 : 8);
    clipped = 0;
    left = top = kRegionEmptyLow;
    right = bottom = kRegionEmptyHigh;
    shape = nullptr;
    shape2 = nullptr;
    empty = 0;
}

void SpanRegion::SpanRegionFree()
{
    if (shape) {
        shape->ArrayUnlock();
        shape->Destroy();
        if (shape2) shape2->Destroy();
    }
    shape = nullptr;
    shape2 = nullptr;
    Destroy();
}

SpanRegion* SpanRegion::SpanRegionFromRect(int32_t rectLeft, int32_t rectTop, int32_t rectRight, int32_t rectBottom)
{
    if (clipped) return nullptr;
    const DevicePoint corners[4] = {
        {rectLeft, rectTop}, {rectRight, rectTop}, {rectRight, rectBottom}, {rectLeft, rectBottom}};
    SpanRegion* region = new (std::nothrow) SpanRegion;
    if (!region) return nullptr;
    region->SpanRegionInit();
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
        region->scanBounds[kScanTop] = IntToFixed(minY) + kQuarterPixel;
        region->scanBounds[kScanBottom] = IntToFixed(maxY) - kQuarterPixel;
        region->scanBounds[kScanLeft] = IntToFixed(minX) + kQuarterPixel;
        region->scanBounds[kScanRight] = IntToFixed(maxX) - kQuarterPixel;
        if (region->scanBounds[kScanRight] - region->scanBounds[kScanLeft] <= kEmptySize ||
            region->scanBounds[kScanBottom] - region->scanBounds[kScanTop] <= kEmptySize) {
            region->empty = 1;
            return;
        }
        DynamicArray* inset = NewDynamicArray(count, sizeof(FixedPoint), 8);
        if (!inset || inset->ArrayCount() != count) {
            if (inset) inset->Destroy();
            region->empty = 1;
            return;
        }
        FixedPoint* moved = static_cast<FixedPoint*>(inset->ArrayData());
        for (int32_t i = 0; i < count; ++i) {
            const DevicePoint& p = points[i];
            moved[i] = {IntToFixed(p.x) + (p.x == minX ? kQuarterPixel : -kQuarterPixel),
                        IntToFixed(p.y) + (p.y == minY ? kQuarterPixel : -kQuarterPixel)};
        }
        if (!StoreClipShape(region, moved, count)) region->empty = 1;
        inset->Destroy();
        return;
    }
    // A narrowed region: the polygon cut by this region's shape.
    DynamicArray* converted = NewDynamicArray(count, sizeof(FixedPoint), 8);
    if (!converted || converted->ArrayCount() != count) {
        if (converted) converted->Destroy();
        region->empty = 1;
        return;
    }
    FixedPoint* fixedPoints = static_cast<FixedPoint*>(converted->ArrayData());
    for (int32_t i = 0; i < count; ++i) fixedPoints[i] = {IntToFixed(points[i].x), IntToFixed(points[i].y)};
    FixedPoint* clippedPoints = nullptr;
    int32_t clippedCount = 0;
    const int32_t result = ClipPolygon(this, fixedPoints, count, &clippedPoints, nullptr, &clippedCount, 0);
    converted->Destroy();
    if (result != kClipKept) {
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
    std::copy(box, box + 4, region->scanBounds);
    if (box[kScanRight] - box[kScanLeft] <= kEmptySize || box[kScanBottom] - box[kScanTop] <= kEmptySize ||
        !StoreClipShape(region, clippedPoints, clippedCount))
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
