// Coverage regions over the system's polygon regions.
#include <windows.h>

#include "draw/coverage_region.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "foundation/dynamic_array.h"
#include "foundation/fixed.h"
#include "foundation/loop_turns.h"

namespace {

// The integer part, plus 1 when the fraction is one half or more: 2.5 gives 3, -1.5 gives -1.
int32_t RoundHalfUp(Fixed value)
{
    return int32_t((int64_t(value) + 0x8000) >> 16);
}

HRGN EmptyRegion()
{
    return CreateRectRgn(0, 0, 0, 0);
}

// The polygon's region (WINDING fill); an empty region for fewer than three points. Null only
// when the system can make no region at all.
HRGN PolygonRegion(const DynamicArray* polygon)
{
    const int32_t count = polygon ? polygon->ArrayCount() : 0;
    if (count < 3) return EmptyRegion();
    DynamicArray* device = NewDynamicArray(0, int32_t(sizeof(POINT)), 4);
    if (!device) return EmptyRegion();
    for (int32_t i = 0; i < count; ++i) {
        const FixedPoint* p = polygon->At<FixedPoint>(i);
        const POINT point = {RoundHalfUp(p->x), RoundHalfUp(p->y)};
        device->Append(&point);
    }
    CountTurns(count);
    HRGN region = device->ArrayCount() == count
                      ? CreatePolygonRgn(static_cast<const POINT*>(device->ArrayData()), count, WINDING)
                      : nullptr;
    device->Destroy();
    return region ? region : EmptyRegion();
}

// The rectangles the region is kept as.
int64_t RectangleCount(HRGN region)
{
    const DWORD bytes = region ? GetRegionData(region, 0, nullptr) : 0;
    return bytes > sizeof(RGNDATAHEADER) ? int64_t(bytes - sizeof(RGNDATAHEADER)) / int64_t(sizeof(RECT)) : 0;
}

void DeleteRegion(HRGN& region)
{
    if (region) DeleteObject(region);
    region = nullptr;
}

}  // namespace

int64_t CoverageRegion::PolygonWork(const DynamicArray* polygon)
{
    const int32_t count = polygon ? polygon->ArrayCount() : 0;
    if (count < 3) return count;
    // Each edge that is not level adds one to the edges crossing the rows from its lower end up to
    // its upper one, and takes it away there.
    std::vector<std::pair<int32_t, int32_t>> changes;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t y0 = RoundHalfUp(polygon->At<FixedPoint>(i)->y);
        const int32_t y1 = RoundHalfUp(polygon->At<FixedPoint>((i + 1) % count)->y);
        if (y0 == y1) continue;
        changes.push_back({std::min(y0, y1), 1});
        changes.push_back({std::max(y0, y1), -1});
    }
    std::sort(changes.begin(), changes.end());
    int64_t work = count;
    int64_t crossing = 0;
    // The rows that edges begin on (their lower ends).
    int64_t beginRows = 0;
    bool begun = false;
    int32_t lastBegun = 0;
    for (size_t k = 0; k < changes.size(); ++k) {
        if (k > 0) work += (int64_t(changes[k].first) - changes[k - 1].first) * (1 + crossing * crossing);
        if (changes[k].second > 0 && (!begun || lastBegun != changes[k].first)) {
            ++beginRows;
            begun = true;
            lastBegun = changes[k].first;
        }
        crossing += changes[k].second;
    }
    const int64_t edges = int64_t(changes.size()) / 2;
    CountTurns(count + 2 * int64_t(changes.size()));
    return work + edges * beginRows / 2 / kFilingStepsPerTurn;
}

int64_t CoverageRegion::SubtractWork(const DynamicArray* polygon) const
{
    return PolygonWork(polygon) + RectangleCount(area) + RectangleCount(remainder);
}

void CoverageRegion::CoverageRegionInit(const DynamicArray* polygon)
{
    CountTurns(PolygonWork(polygon));
    area = PolygonRegion(polygon);
    // The remainder starts as a copy of the area.
    remainder = EmptyRegion();
    if (area && remainder && CombineRgn(remainder, area, nullptr, RGN_COPY) == ERROR) DeleteRegion(remainder);
}

int32_t CoverageRegion::CoverageRegionSubtract(const DynamicArray* polygon)
{
    if (!area || !remainder) return 0;
    CountTurns(SubtractWork(polygon));
    HRGN taken = PolygonRegion(polygon);
    HRGN overlap = EmptyRegion();
    if (!taken || !overlap) {
        DeleteRegion(taken);
        DeleteRegion(overlap);
        return 0;
    }
    const int kind = CombineRgn(overlap, area, taken, RGN_AND);
    DeleteRegion(taken);
    if (kind == NULLREGION || kind == ERROR) {
        DeleteRegion(overlap);
        return 0;
    }
    HRGN left = EmptyRegion();
    if (!left || CombineRgn(left, remainder, overlap, RGN_DIFF) == ERROR) {
        DeleteRegion(left);
        DeleteRegion(overlap);
        return 0;
    }
    const int32_t changed = EqualRgn(remainder, left) ? 0 : 1;
    DeleteRegion(remainder);
    DeleteRegion(overlap);
    remainder = left;
    return changed;
}

int32_t CoverageRegion::CoverageRegionRemains() const
{
    if (!remainder) return 0;
    CountTurns(RectangleCount(remainder));
    HRGN scratch = EmptyRegion();
    if (!scratch) return 1;
    const int kind = CombineRgn(scratch, remainder, nullptr, RGN_COPY);
    DeleteObject(scratch);
    return kind == NULLREGION ? 0 : 1;
}

void CoverageRegion::DisposeCoverageRegion()
{
    DeleteRegion(area);
    DeleteRegion(remainder);
    delete this;
}
