// Coverage regions over the system's polygon regions.
#include <windows.h>

#include "draw/coverage_region.h"

#include "foundation/dynamic_array.h"
#include "foundation/fixed.h"

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
    HRGN region = device->ArrayCount() == count
                      ? CreatePolygonRgn(static_cast<const POINT*>(device->ArrayData()), count, WINDING)
                      : nullptr;
    device->Destroy();
    return region ? region : EmptyRegion();
}

void DeleteRegion(HRGN& region)
{
    if (region) DeleteObject(region);
    region = nullptr;
}

}  // namespace

void CoverageRegion::CoverageRegionInit(const DynamicArray* polygon)
{
    area = PolygonRegion(polygon);
    remainder = PolygonRegion(polygon);
}

int32_t CoverageRegion::CoverageRegionSubtract(const DynamicArray* polygon)
{
    if (!area || !remainder) return 0;
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
