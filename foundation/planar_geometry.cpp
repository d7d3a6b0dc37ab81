// Planar predicates over exact wide products.
#include "foundation/planar_geometry.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "foundation/dynamic_array.h"
#include "foundation/loop_turns.h"
#include "foundation/system_weights.h"

namespace {

using Wide = __int128;

// The sign of (px-ax)(by-ay) - (py-ay)(bx-ax): 1 left, -1 right, 0 on the line.
int32_t CrossSign(int64_t px, int64_t py, int64_t ax, int64_t ay, int64_t bx, int64_t by)
{
    const Wide m1 = Wide(px - ax) * Wide(by - ay);
    const Wide m2 = Wide(py - ay) * Wide(bx - ax);
    return m1 > m2 ? 1 : (m1 < m2 ? -1 : 0);
}

PointSideCode SideCode(int64_t px, int64_t py, int64_t ax, int64_t ay, int64_t bx, int64_t by)
{
    if ((ax == bx && ay == by) || (px == ax && py == ay)) return kSideDegenerate;
    const int32_t sign = CrossSign(px, py, ax, ay, bx, by);
    return sign > 0 ? kSideLeft : (sign < 0 ? kSideRight : kSideOnLine);
}

struct Point64 {
    int64_t x;
    int64_t y;
};

int32_t Orient(Point64 p, Point64 a, Point64 b) { return CrossSign(p.x, p.y, a.x, a.y, b.x, b.y); }

int64_t Min(int64_t a, int64_t b) { return a < b ? a : b; }
int64_t Max(int64_t a, int64_t b) { return a < b ? b : a; }
int64_t Abs(int64_t a) { return a < 0 ? -a : a; }

// p on the segment from a to b, given that it lies on their line.
bool WithinBox(Point64 p, Point64 a, Point64 b, int64_t margin)
{
    return p.x >= Min(a.x, b.x) - margin && p.x <= Max(a.x, b.x) + margin &&
           p.y >= Min(a.y, b.y) - margin && p.y <= Max(a.y, b.y) + margin;
}

bool Same(Point64 a, Point64 b) { return a.x == b.x && a.y == b.y; }

int32_t Segments(Point64 a, Point64 b, Point64 c, Point64 d)
{
    // A segment that is a single point meets the other when it lies on it.
    if (Same(a, b) || Same(c, d)) {
        if (Same(a, b) && Same(c, d)) return Same(a, c) ? kSegmentsMeet : kSegmentsApart;
        const Point64 p = Same(a, b) ? a : c;
        const Point64 s = Same(a, b) ? c : a, t = Same(a, b) ? d : b;
        return Orient(p, s, t) == 0 && WithinBox(p, s, t, 0) ? kSegmentsMeet : kSegmentsApart;
    }
    const int32_t o1 = Orient(c, a, b), o2 = Orient(d, a, b);
    if (o1 == 0 && o2 == 0) {
        // One line: order the end points along its longer axis.
        const bool alongX = Abs(b.x - a.x) >= Abs(b.y - a.y);
        const int64_t a0 = alongX ? a.x : a.y, a1 = alongX ? b.x : b.y;
        const int64_t c0 = alongX ? c.x : c.y, c1 = alongX ? d.x : d.y;
        const int64_t low = Max(Min(a0, a1), Min(c0, c1));
        const int64_t high = Min(Max(a0, a1), Max(c0, c1));
        return low > high ? kSegmentsApart : (low == high ? kSegmentsMeet : kSegmentsCross);
    }
    const int32_t o3 = Orient(a, c, d), o4 = Orient(b, c, d);
    if (o1 * o2 > 0 || o3 * o4 > 0) return kSegmentsApart;
    if (o1 == 0 || o2 == 0 || o3 == 0 || o4 == 0) return kSegmentsMeet;
    return kSegmentsCross;
}

Point64 Wide64(IntPoint p) { return {p.x, p.y}; }
Point64 Wide64(FixedPoint p) { return {p.x, p.y}; }

}  // namespace

PointSideCode PointSide(int32_t px, int32_t py, int32_t ax, int32_t ay, int32_t bx, int32_t by)
{
    return SideCode(px, py, ax, ay, bx, by);
}

// The exact comparison does not depend on the scale of the coordinates, so Fixed values compare
// like integers.
PointSideCode FixedPointSide(Fixed px, Fixed py, Fixed ax, Fixed ay, Fixed bx, Fixed by)
{
    return SideCode(px, py, ax, ay, bx, by);
}

namespace {

// The orientation the extremes of the points give (1 or 0), or -1 when fewer than three distinct
// points among them tell no direction: the walk minX, minY, maxX, maxY without repeats, backwards
// through the index order, allowing one wrap-around.
int32_t ExtremesOrientation(int32_t minX, int32_t minY, int32_t maxX, int32_t maxY)
{
    int32_t walk[4] = {minX};
    int32_t length = 1;
    for (int32_t next : {minY, maxX, maxY})
        if (next != walk[length - 1]) walk[length++] = next;
    const bool twoPoints = (minX == minY && maxY == maxX) || (maxX == minY && maxY == minX) || length < 3;
    if (twoPoints) return -1;
    const int32_t s0 = walk[0], s1 = walk[1], s2 = walk[2];
    return (s2 < s1 && s1 < s0) || (s0 < s2 && s2 < s1) || (s1 < s0 && s0 < s2) ? 1 : 0;
}

}  // namespace

int32_t PolygonOrientation(const DynamicArray* outline, int64_t* sorted)
{
    if (sorted) *sorted = 0;
    if (!outline || outline->ElementSize() != int32_t(sizeof(FixedPoint)) || outline->ArrayCount() < 3)
        return -1;
    const FixedPoint* p = outline->Elements<FixedPoint>();
    const int32_t count = outline->ArrayCount();
    if (count == 3) return FixedPointSide(p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y);
    // The first of equal extremes wins.
    int32_t minY = 0, maxY = 0, minX = 0, maxX = 0;
    for (int32_t i = 1; i < count; ++i) {
        if (FixCompare(p[i].y, p[minY].y) < 0) minY = i;
        if (FixCompare(p[i].y, p[maxY].y) > 0) maxY = i;
        if (FixCompare(p[i].x, p[minX].x) < 0) minX = i;
        if (FixCompare(p[i].x, p[maxX].x) > 0) maxX = i;
    }
    CountTurns(count);
    const int32_t answer = ExtremesOrientation(minX, minY, maxX, maxY);
    if (answer >= 0) return answer;
    // The extremes tell no direction: the lowest point is shed and they are looked at again, until
    // they do or three points are left. The points are put in each extreme's order once (the lowest
    // index first of equal ones): the points left are those after the ones shed in the order of
    // height, and each other order's first point left is found by walking on past those shed, so
    // that shedding points one by one from a long outline costs no rescan of all the others.
    std::vector<int32_t> orders(4 * size_t(count));
    int32_t* const byLowY = orders.data();
    int32_t* const others[3] = {byLowY + count, byLowY + 2 * count, byLowY + 3 * count};  // high y, low x, high x
    auto sortBy = [p, count](int32_t* order, bool byY, bool rising) {
        for (int32_t i = 0; i < count; ++i) order[i] = i;
        std::sort(order, order + count, [p, byY, rising](int32_t a, int32_t b) {
            const Fixed va = byY ? p[a].y : p[a].x;
            const Fixed vb = byY ? p[b].y : p[b].x;
            if (va != vb) return rising ? va < vb : va > vb;
            return a < b;
        });
    };
    sortBy(byLowY, true, true);
    sortBy(others[0], true, false);
    sortBy(others[1], false, true);
    sortBy(others[2], false, false);
    // Where each point comes in the order of height: it is shed once that many are.
    std::vector<int32_t> rank(static_cast<size_t>(count));
    for (int32_t k = 0; k < count; ++k) rank[size_t(byLowY[k])] = k;
    int32_t sortSteps = 1;
    while ((int64_t(1) << sortSteps) < count) ++sortSteps;
    int32_t fronts[3] = {0, 0, 0};
    int64_t walked = 0;
    auto countSorts = [&](int32_t shed) {
        const int64_t turns = 4 * int64_t(count) * (sortSteps + 1) + 2 * kHeapBlockTurns + walked + shed;
        CountTurns(turns);
        if (sorted) *sorted = turns;
    };
    for (int32_t shed = 1;; ++shed) {
        if (count - shed == 3) {
            int32_t left[3] = {byLowY[shed], byLowY[shed + 1], byLowY[shed + 2]};
            std::sort(left, left + 3);
            countSorts(shed);
            const FixedPoint& a = p[left[0]];
            const FixedPoint& b = p[left[1]];
            const FixedPoint& c = p[left[2]];
            return FixedPointSide(a.x, a.y, b.x, b.y, c.x, c.y);
        }
        for (int32_t o = 0; o < 3; ++o) {
            const int32_t from = fronts[o];
            while (rank[size_t(others[o][fronts[o]])] < shed) ++fronts[o];
            walked += fronts[o] - from;
        }
        const int32_t again =
            ExtremesOrientation(others[1][fronts[1]], byLowY[shed], others[2][fronts[2]], others[0][fronts[0]]);
        if (again >= 0) {
            countSorts(shed);
            return again;
        }
    }
}

int32_t SegmentsIntersect(IntPoint a, IntPoint b, IntPoint c, IntPoint d)
{
    return Segments(Wide64(a), Wide64(b), Wide64(c), Wide64(d));
}

int32_t FixedSegmentsIntersect(FixedPoint a, FixedPoint b, FixedPoint c, FixedPoint d)
{
    return Segments(Wide64(a), Wide64(b), Wide64(c), Wide64(d));
}

PointSideCode PointSideDirected(IntPoint p, IntPoint a, IntPoint b)
{
    const PointSideCode code = PointSide(p.x, p.y, a.x, a.y, b.x, b.y);
    if (code != kSideOnLine) return code;
    const Wide along = Wide(int64_t(p.x) - a.x) * (int64_t(b.x) - a.x) +
                       Wide(int64_t(p.y) - a.y) * (int64_t(b.y) - a.y);
    return along > 0 ? kSideDegenerate : kSideOnLine;
}

int32_t PointInQuad(IntPoint p, const IntPoint (&corners)[4])
{
    PointSideCode side = kSideOnLine;
    for (int i = 0; i < 4; ++i) {
        const PointSideCode code = PointSideDirected(p, corners[i], corners[(i + 1) % 4]);
        if (code == kSideOnLine) continue;
        if (side == kSideOnLine)
            side = code;
        else if (code != side)
            return 0;
    }
    return 1;
}

int32_t PointNearSegment(IntPoint p, IntPoint a, IntPoint b)
{
    const Point64 p64 = Wide64(p), a64 = Wide64(a), b64 = Wide64(b);
    if (!WithinBox(p64, a64, b64, 3)) return 0;
    const int64_t dx = b64.x - a64.x, dy = b64.y - a64.y;
    if (dx == 0 && dy == 0) return 1;
    // |cross| / |dx| is the vertical distance, |cross| / |dy| the horizontal one.
    const Wide cross = Wide(p64.x - a64.x) * dy - Wide(p64.y - a64.y) * dx;
    const Wide magnitude = cross < 0 ? -cross : cross;
    return magnitude < Wide(6) * Max(Abs(dx), Abs(dy)) ? 1 : 0;
}

int32_t PointNearSegmentScaled(IntPoint p, IntPoint a, IntPoint b)
{
    const Point64 p64 = Wide64(p), a64 = Wide64(a), b64 = Wide64(b);
    if (!WithinBox(p64, a64, b64, 3)) return 0;
    int64_t dx = b64.x - a64.x, dy = b64.y - a64.y;
    if (dx == 0 && dy == 0) return 1;
    int64_t ex = p64.x - a64.x, ey = p64.y - a64.y;
    while (Abs(dx) >= 256 || Abs(dy) >= 256) {
        dx /= 2, dy /= 2, ex /= 2, ey /= 2;
    }
    // Within the box, |e| is at most |d| + 3, so these products stay small.
    const int64_t cross = ex * dy - ey * dx;
    return Abs(cross) < Abs(dx) + Abs(dy) ? 1 : 0;
}

void PerpendicularFoot(IntPoint p, IntPoint a, IntPoint b, double* footX, double* footY)
{
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    if (dx == 0 && dy == 0) {
        *footX = a.x, *footY = a.y;
    } else if (dx == 0) {
        *footX = a.x, *footY = p.y;
    } else if (dy == 0) {
        *footX = p.x, *footY = a.y;
    } else {
        const double t = ((double(p.x) - a.x) * dx + (double(p.y) - a.y) * dy) / (dx * dx + dy * dy);
        *footX = a.x + t * dx, *footY = a.y + t * dy;
    }
}

void PerpendicularOffset(IntPoint p, IntPoint a, IntPoint b, double* offsetX, double* offsetY)
{
    double footX, footY;
    PerpendicularFoot(p, a, b, &footX, &footY);
    *offsetX = footX - p.x, *offsetY = footY - p.y;
}
