// Coverage regions over the system's polygon regions.
#include <windows.h>

#include "draw/coverage_region.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "foundation/dynamic_array.h"
#include "foundation/fixed.h"
#include "foundation/loop_turns.h"
#include "foundation/system_weights.h"

namespace {

// Polygons of up to this many corners have the edges crossing their rows counted without the heap.
constexpr int32_t kCornersCountedOnStack = 32;

// The calls a coverage region makes to the system to be made and disposed of (its remainder and
// the scratch region made, the remainder's size asked for, both deleted), and the blocks it takes
// from the heap (itself and its list of corners).
constexpr int64_t kCoverageCalls = 5;
constexpr int64_t kCoverageBlocks = 2;
// The most calls taking a polygon away makes: its region made, combined with the remainder,
// compared with it and deleted, and the new remainder's size asked for.
constexpr int64_t kSubtractCalls = 5;

// The integer part, plus 1 when the fraction is one half or more: 2.5 gives 3, -1.5 gives -1.
int32_t RoundHalfUp(Fixed value)
{
    return int32_t((int64_t(value) + 0x8000) >> 16);
}

int32_t CornerCount(const DynamicArray* polygon)
{
    return polygon ? polygon->ArrayCount() : 0;
}

HRGN EmptyRegion()
{
    return CreateRectRgn(0, 0, 0, 0);
}

// The polygon's region (WINDING fill) of three points or more, its corners made whole units in
// `corners`; null when the system can make no region.
HRGN PolygonRegion(const DynamicArray* polygon, DynamicArray* corners)
{
    const int32_t count = CornerCount(polygon);
    if (!corners || corners->ArraySetCount(count) != kResultOk) return nullptr;
    POINT* points = corners->Elements<POINT>();
    for (int32_t i = 0; i < count; ++i) {
        const FixedPoint* p = polygon->At<FixedPoint>(i);
        points[i] = {RoundHalfUp(p->x), RoundHalfUp(p->y)};
    }
    CountTurns(count);
    return CreatePolygonRgn(points, count, WINDING);
}

// The sum, over the rows from the first change to the last, of one and the square of the edges
// crossing the row, and the steps of filing the edges by the row each begins on (each walks past
// half the rows begun before it, on the whole), kFilingStepsPerTurn to a unit; the changes (row,
// +1 where an edge begins and -1 where it ends) sorted first.
int64_t RowWork(std::pair<int32_t, int32_t>* changes, size_t count)
{
    std::sort(changes, changes + count);
    int64_t work = 0;
    int64_t crossing = 0;
    int64_t beginRows = 0;
    for (size_t k = 0; k < count; ++k) {
        if (k > 0) work += (int64_t(changes[k].first) - changes[k - 1].first) * (1 + crossing * crossing);
        // Beginnings sort after the ends of their row, before the next row's.
        const bool begins = changes[k].second > 0;
        if (begins && (k == 0 || changes[k - 1].second < 0 || changes[k - 1].first != changes[k].first)) ++beginRows;
        crossing += changes[k].second;
    }
    const int64_t edges = int64_t(count) / 2;
    return work + edges * beginRows / 2 / CoverageRegion::kFilingStepsPerTurn;
}

}  // namespace

int64_t CoverageRegion::PolygonWork(const DynamicArray* polygon)
{
    const int32_t count = CornerCount(polygon);
    if (count < 3) return count;
    // Each edge that is not level adds one to the edges crossing the rows from its lower end up to
    // its upper one, and takes it away there.
    std::array<std::pair<int32_t, int32_t>, 2 * kCornersCountedOnStack> onStack;
    std::vector<std::pair<int32_t, int32_t>> onHeap;
    if (count > kCornersCountedOnStack) onHeap.resize(2 * size_t(count));
    std::pair<int32_t, int32_t>* changes = onHeap.empty() ? onStack.data() : onHeap.data();
    size_t changed = 0;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t y0 = RoundHalfUp(polygon->At<FixedPoint>(i)->y);
        const int32_t y1 = RoundHalfUp(polygon->At<FixedPoint>((i + 1) % count)->y);
        if (y0 == y1) continue;
        changes[changed++] = {std::min(y0, y1), 1};
        changes[changed++] = {std::max(y0, y1), -1};
    }
    CountTurns(count + 2 * int64_t(changed));
    return count + RowWork(changes, changed);
}

CoverageRegion::UnitBounds CoverageRegion::BoundsOf(const DynamicArray* polygon)
{
    const int32_t count = CornerCount(polygon);
    UnitBounds bounds;
    if (count < 3) return bounds;
    bounds = {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (int32_t i = 0; i < count; ++i) {
        const FixedPoint* p = polygon->At<FixedPoint>(i);
        const int32_t x = RoundHalfUp(p->x);
        const int32_t y = RoundHalfUp(p->y);
        bounds = {std::min(bounds.left, x), std::min(bounds.top, y), std::max(bounds.right, x),
                  std::max(bounds.bottom, y)};
    }
    CountTurns(count);
    return bounds;
}

bool CoverageRegion::MayMeet(const DynamicArray* polygon) const
{
    // A polygon's region lies within the bounds of its whole-unit corners.
    const UnitBounds bounds = BoundsOf(polygon);
    return bounds.left <= bounds_.right && bounds_.left <= bounds.right && bounds.top <= bounds_.bottom &&
           bounds_.top <= bounds.bottom;
}

void CoverageRegion::RecountRemainder()
{
    const DWORD bytes = GetRegionData(remainder_, 0, nullptr);
    rectangles_ = bytes > sizeof(RGNDATAHEADER) ? int64_t(bytes - sizeof(RGNDATAHEADER)) / int64_t(sizeof(RECT)) : 0;
    // A region the system cannot describe is taken to remain.
    empty_ = bytes == sizeof(RGNDATAHEADER);
}

int64_t CoverageRegion::CoverageWork(const DynamicArray* polygon)
{
    return PolygonWork(polygon) + kCoverageCalls * kRegionCallTurns + kCoverageBlocks * kHeapBlockTurns;
}

int64_t CoverageRegion::SubtractWork(const DynamicArray* polygon) const
{
    if (!remainder_ || empty_ || !MayMeet(polygon)) return 0;
    return PolygonWork(polygon) + 2 * rectangles_ + kSubtractCalls * kRegionCallTurns;
}

void CoverageRegion::CoverageRegionInit(const DynamicArray* polygon)
{
    // The blocks count themselves as they are taken.
    CountTurns(PolygonWork(polygon) + kCoverageCalls * kRegionCallTurns);
    corners_ = NewDynamicArray(0, int32_t(sizeof(POINT)), 4);
    scratch_ = EmptyRegion();
    bounds_ = BoundsOf(polygon);
    remainder_ = CornerCount(polygon) >= 3 ? PolygonRegion(polygon, corners_) : nullptr;
    if (!remainder_) remainder_ = EmptyRegion();
    if (remainder_) RecountRemainder();
}

int32_t CoverageRegion::CoverageRegionSubtract(const DynamicArray* polygon)
{
    const int64_t work = scratch_ ? SubtractWork(polygon) : 0;
    if (work == 0) return 0;
    CountTurns(work);
    HRGN taken = PolygonRegion(polygon, corners_);
    if (!taken) return 0;
    const int kind = CombineRgn(scratch_, remainder_, taken, RGN_DIFF);
    DeleteObject(taken);
    // What is left of a remainder that the polygon does not meet is the remainder itself.
    if (kind == ERROR || (kind != NULLREGION && EqualRgn(scratch_, remainder_))) return 0;
    std::swap(remainder_, scratch_);
    RecountRemainder();
    return 1;
}

int32_t CoverageRegion::CoverageRegionRemains() const
{
    return remainder_ && !empty_ ? 1 : 0;
}

void CoverageRegion::DisposeCoverageRegion()
{
    if (remainder_) DeleteObject(remainder_);
    if (scratch_) DeleteObject(scratch_);
    if (corners_) corners_->Destroy();
    delete this;
}
