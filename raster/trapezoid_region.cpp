// SpanRegion in its trapezoid form: the rows of a convex polygon, the intersection of two such
// regions, the outline of a region, and the region cut by a polygon in either form.
#include <algorithm>

#include "raster/span_region.h"

namespace {

// Work lists of the intersection: the corners of each region and the two lists the clipping
// alternates between, made on first use and kept.
DynamicArray* gWork[4] = {nullptr, nullptr, nullptr, nullptr};

DynamicArray* WorkList(int32_t which)
{
    if (!gWork[which]) gWork[which] = NewDynamicArray(0, int32_t(sizeof(DevicePoint)), 8);
    return gWork[which];
}

// x on the line from (x0, y0) to (x1, y1) at height y, truncated toward zero.
int32_t EdgeX(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t y)
{
    if (y1 == y0) return x0;
    return int32_t(x0 + (int64_t(y) - y0) * (int64_t(x1) - x0) / (int64_t(y1) - y0));
}

void ResetBounds(SpanRegion* region)
{
    region->left = region->top = kRegionEmptyLow;
    region->right = region->bottom = kRegionEmptyHigh;
}

bool AppendRow(SpanRegion* region, DevicePoint a, int32_t aCorner, DevicePoint b, int32_t bCorner)
{
    if (b.x < a.x) {
        std::swap(a, b);
        std::swap(aCorner, bCorner);
    }
    const TrapezoidRow row = {a.x, a.y, b.x, b.y, aCorner, bCorner};
    if (region->Append(&row) < 0) return false;
    region->left = std::min(region->left, a.x);
    region->right = std::max(region->right, b.x);
    return true;
}

// The corners of a region's outline into the list: the left point of the first row, the left
// corners of the later rows, then the right corners from the last row back to the first. With
// `distinct` a corner equal to the one before it (or, at the end, to the first) is left out.
bool RegionCorners(const SpanRegion* region, DynamicArray* corners, bool distinct)
{
    if (corners->ArraySetCount(0) != kResultOk) return false;
    const TrapezoidRow* rows = region->Rows();
    const int32_t n = region->TrapezoidCount();
    if (n == 0) return true;
    auto add = [corners, distinct](int32_t x, int32_t y) {
        const int32_t count = corners->ArrayCount();
        if (distinct && count > 0) {
            const DevicePoint* last = corners->At<DevicePoint>(count - 1);
            if (last->x == x && last->y == y) return true;
        }
        const DevicePoint p = {x, y};
        return corners->Append(&p) >= 0;
    };
    if (!add(rows[0].leftX, rows[0].leftY)) return false;
    for (int32_t i = 1; i < n; ++i) {
        if (rows[i].leftCorner && !add(rows[i].leftX, rows[i].leftY)) return false;
    }
    for (int32_t i = n - 1; i >= 0; --i) {
        if (rows[i].rightCorner && !add(rows[i].rightX, rows[i].rightY)) return false;
    }
    const int32_t count = corners->ArrayCount();
    if (distinct && count > 1) {
        const DevicePoint* first = corners->At<DevicePoint>(0);
        const DevicePoint* last = corners->At<DevicePoint>(count - 1);
        if (first->x == last->x && first->y == last->y) IgnoreResult(corners->ArraySetCount(count - 1));
    }
    return true;
}

// Twice the signed area of a polygon: its winding.
int64_t DoubleArea(const DevicePoint* p, int32_t n)
{
    int64_t sum = 0;
    for (int32_t i = 0; i < n; ++i) {
        const DevicePoint& a = p[i];
        const DevicePoint& b = p[(i + 1) % n];
        sum += int64_t(a.x) * b.y - int64_t(b.x) * a.y;
    }
    return sum;
}

// Cuts the subject polygon (in `from`) by every edge of the convex clip polygon, alternating
// between the two lists; the result ends in the returned list.
DynamicArray* ClipConvex(const DevicePoint* clip, int32_t clipCount, DynamicArray* from, DynamicArray* to)
{
    const int64_t winding = DoubleArea(clip, clipCount) >= 0 ? 1 : -1;
    for (int32_t e = 0; e < clipCount && from->ArrayCount() > 0; ++e) {
        const DevicePoint c0 = clip[e];
        const DevicePoint c1 = clip[(e + 1) % clipCount];
        if (c0.x == c1.x && c0.y == c1.y) continue;
        auto side = [&](const DevicePoint& p) {
            return winding * ((int64_t(c1.x) - c0.x) * (int64_t(p.y) - c0.y) - (int64_t(c1.y) - c0.y) * (int64_t(p.x) - c0.x));
        };
        const int32_t n = from->ArrayCount();
        if (to->ArraySetCount(0) != kResultOk) return from;
        for (int32_t i = 0; i < n; ++i) {
            const DevicePoint p = *from->At<DevicePoint>(i);
            const DevicePoint q = *from->At<DevicePoint>((i + 1) % n);
            const int64_t sp = side(p);
            const int64_t sq = side(q);
            if (sp >= 0) to->Append(&p);
            if ((sp >= 0) != (sq >= 0)) {
                const DevicePoint crossing = LineIntersection(p, q, c0, c1);
                to->Append(&crossing);
            }
        }
        std::swap(from, to);
    }
    return from;
}

}  // namespace

DevicePoint LineIntersection(DevicePoint p1, DevicePoint p2, DevicePoint p3, DevicePoint p4)
{
    int64_t dx = int64_t(p1.x) - p2.x;
    int64_t dy = int64_t(p1.y) - p2.y;
    if (dx < 0) {
        dx = -dx;
        dy = -dy;
    }
    const int64_t d = (int64_t(p4.y) - p3.y) * dx - (int64_t(p4.x) - p3.x) * dy;
    if (d == 0) return p1;
    const int64_t n = (int64_t(p4.x) - p2.x) * (int64_t(p4.y) - p3.y) - (int64_t(p4.y) - p2.y) * (int64_t(p4.x) - p3.x);
    return {int32_t(p2.x + __int128(n) * dx / d), int32_t(p2.y + __int128(n) * dy / d)};
}

void SpanRegion::BuildTrapezoidRegion(const DevicePoint* points, int32_t n)
{
    IgnoreResult(ArraySetCount(0));
    ResetBounds(this);
    if (n < 3) {
        top = kRegionEmptyHigh;
        bottom = kRegionEmptyLow;
        return;
    }
    clipped = 1;
    int32_t start = 0;
    for (int32_t i = 1; i < n; ++i) {
        if (points[i].y > points[start].y) start = i;
    }
    auto next = [n](int32_t i) { return i + 1 < n ? i + 1 : 0; };
    auto previous = [n](int32_t i) { return i > 0 ? i - 1 : n - 1; };
    const int32_t topY = points[start].y;
    int32_t forward = start;
    int32_t backward = start;
    int32_t taken = 1;
    while (taken < n && points[next(forward)].y == topY) {
        forward = next(forward);
        ++taken;
    }
    while (taken < n && points[previous(backward)].y == topY) {
        backward = previous(backward);
        ++taken;
    }
    if (taken >= n) return;  // flat
    top = topY;
    if (!AppendRow(this, points[forward], 1, points[backward], 1)) return;
    DevicePoint forwardPoint = points[forward];
    DevicePoint backwardPoint = points[backward];
    int32_t lastForwardY = topY;
    while (taken < n) {
        const int32_t nf = next(forward);
        const int32_t nb = previous(backward);
        const DevicePoint& f = points[nf];
        const DevicePoint& b = points[nb];
        if (nf == nb) {
            // Both walks end at the lowest corner.
            if (!AppendRow(this, f, 1, f, 1)) return;
            lastForwardY = f.y;
            ++taken;
        } else if (f.y == b.y) {
            if (!AppendRow(this, f, 1, b, 1)) return;
            forward = nf;
            backward = nb;
            forwardPoint = f;
            backwardPoint = b;
            lastForwardY = f.y;
            taken += 2;
        } else if (f.y > b.y) {
            // The forward walk's point is the higher one: it is taken, the other side cut there.
            const DevicePoint other = {EdgeX(backwardPoint.x, backwardPoint.y, b.x, b.y, f.y), f.y};
            if (!AppendRow(this, f, 1, other, 0)) return;
            forward = nf;
            forwardPoint = f;
            backwardPoint = other;
            lastForwardY = f.y;
            ++taken;
        } else {
            const DevicePoint other = {EdgeX(forwardPoint.x, forwardPoint.y, f.x, f.y, b.y), b.y};
            if (!AppendRow(this, b, 1, other, 0)) return;
            backward = nb;
            backwardPoint = b;
            forwardPoint = other;
            ++taken;
        }
    }
    bottom = lastForwardY;
}

bool SpanRegion::IntersectTrapezoidRegionsInto(const SpanRegion* face, SpanRegion* result)
{
    IgnoreResult(result->ArraySetCount(0));
    ResetBounds(result);
    result->clipped = 1;
    result->rowCount = rowCount;
    if (face->TrapezoidCount() < 2) return false;
    if (face->right < left || right < face->left || face->top < bottom || top < face->bottom) return false;
    DynamicArray* clip = WorkList(0);
    DynamicArray* subject = WorkList(1);
    DynamicArray* spare = WorkList(2);
    if (!clip || !subject || !spare || !RegionCorners(this, clip, true) || !RegionCorners(face, subject, true)) return false;
    const DynamicArray* area = ClipConvex(clip->Elements<DevicePoint>(), clip->ArrayCount(), subject, spare);
    result->BuildTrapezoidRegion(area->Elements<DevicePoint>(), area->ArrayCount());
    return result->TrapezoidCount() >= 2;
}

SpanRegion* SpanRegion::IntersectTrapezoidRegions(SpanRegion* face)
{
    if (!clipped) return face;
    SpanRegion* result = NewSpanRegion();
    if (result) {
        if (!IntersectTrapezoidRegionsInto(face, result)) {
            result->SpanRegionFree();
            result = nullptr;
        }
    }
    face->SpanRegionFree();
    return result;
}

void SpanRegion::TrapezoidRegionOutline(DynamicArray* outline) const
{
    if (!RegionCorners(this, outline, false) || outline->ArrayCount() == 0) return;
    const DevicePoint first = *outline->At<DevicePoint>(0);
    outline->Append(&first);
}

SpanRegion* SpanRegion::SpanRegionIntersectPolygon(const DevicePointList* points)
{
    const int32_t n = points ? points->ArrayCount() : 0;
    if (n < 3) return nullptr;
    const DevicePoint* corners = points->Elements<DevicePoint>();
    SpanRegion* region = NewSpanRegion();
    if (!region) return nullptr;
    region->clipped = 1;
    if (clipped && rowCount == 0) {
        region->BuildTrapezoidRegion(corners, n);
        return IntersectTrapezoidRegions(region);
    }
    if (!clipped && region->rowCount == 0) {
        // The polygon alone, in the trapezoid form.
        region->BuildTrapezoidRegion(corners, n);
        if (region->TrapezoidCount() >= 2) return region;
        region->SpanRegionFree();
        return nullptr;
    }
    if (clipped) region->rowCount = rowCount;
    if (empty) {
        region->SpanRegionFree();
        return nullptr;
    }
    SetRegionClipShape(region, corners, n);
    if (region->empty) {
        region->SpanRegionFree();
        return nullptr;
    }
    if (!clipped) std::copy(region->scanBounds, region->scanBounds + 4, region->boundsCopy);
    return region;
}
