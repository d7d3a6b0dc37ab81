// SpanRegion in its trapezoid form: the rows of a convex polygon, the intersection of two such
// regions, the outline of a region, and the region cut by a polygon in either form.
#include <algorithm>

#include "foundation/loop_turns.h"
#include "raster/span_region.h"

namespace {

// The heights where the area's sides meet are compared with this many parts of a pixel.
constexpr int32_t kMeetingHeightParts = 1 << 16;

// x on the line from (x0, y0) to (x1, y1) at height y, truncated toward zero.
int32_t EdgeX(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t y)
{
    if (y1 == y0) return x0;
    return int32_t(x0 + __int128(int64_t(y) - y0) * (int64_t(x1) - x0) / (int64_t(y1) - y0));
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

// An x exactly: num / den, den > 0.
struct ExactX {
    __int128 num;
    int64_t den;
};

bool Less(const ExactX& a, const ExactX& b)
{
    return a.num * b.den < b.num * a.den;
}

// One edge of a region between two of its rows, from the higher end down.
struct EdgePiece {
    DevicePoint high;
    DevicePoint low;

    int32_t XAt(int32_t y) const { return EdgeX(high.x, high.y, low.x, low.y, y); }
    // The same without rounding.
    ExactX ExactAt(int32_t y) const
    {
        const int64_t dy = int64_t(low.y) - high.y;
        if (dy == 0) return {high.x, 1};
        const __int128 num = __int128(high.x) * dy + __int128(int64_t(y) - high.y) * (int64_t(low.x) - high.x);
        return dy < 0 ? ExactX{-num, -dy} : ExactX{num, dy};
    }
};

// One end of a region's cross-section at a height: its x as the rows give it (a row's own
// point, or cut on an edge with EdgeX) and exactly, for deciding where the area is open.
struct End {
    int32_t x;
    ExactX exact;
};

End EndAt(const EdgePiece& edge, int32_t y)
{
    return {edge.XAt(y), edge.ExactAt(y)};
}

// A region's rows walked downwards: the row last taken and the edges from it to the next row.
struct RowWalk {
    const TrapezoidRow* rows;
    int32_t count;
    int32_t at;

    // Starts at the lowest row at or above y.
    RowWalk(const SpanRegion* region, int32_t y) : rows(region->Rows()), count(region->TrapezoidCount()), at(0)
    {
        while (at + 1 < count && rows[at + 1].leftY >= y) ++at;
    }
    bool HasNext() const { return at + 1 < count; }
    int32_t NextY() const { return rows[at + 1].leftY; }
    const TrapezoidRow& Next() const { return rows[at + 1]; }
    EdgePiece Left() const
    {
        const TrapezoidRow& b = HasNext() ? Next() : rows[at];
        return {{rows[at].leftX, rows[at].leftY}, {b.leftX, b.leftY}};
    }
    EdgePiece Right() const
    {
        const TrapezoidRow& b = HasNext() ? Next() : rows[at];
        return {{rows[at].rightX, rows[at].rightY}, {b.rightX, b.rightY}};
    }
};

// Two straight edges over a step: whether they meet (they are not parallel), whether the first
// gains on the second going down (its x grows against the other's), and the height where they
// meet, in parts of a pixel.
struct Meeting {
    bool meets;
    bool firstGains;
    __int128 height;
};

Meeting MeetingOf(const EdgePiece& a, const EdgePiece& b)
{
    const __int128 adx = int64_t(a.low.x) - a.high.x, ady = int64_t(a.low.y) - a.high.y;
    const __int128 bdx = int64_t(b.low.x) - b.high.x, bdy = int64_t(b.low.y) - b.high.y;
    const __int128 d = adx * bdy - bdx * ady;
    if (d == 0) return {false, false, 0};
    const __int128 n = (b.high.x * bdy - b.high.y * bdx) * ady - (a.high.x * ady - a.high.y * adx) * bdy;
    return {true, d < 0, n * kMeetingHeightParts / d};
}

// The crossing of two edges between two heights, kept within them: where rounding puts the
// crossing of nearly parallel edges outside, the point at the nearer height on the first edge.
DevicePoint CrossingWithin(const EdgePiece& a, const EdgePiece& b, int32_t high, int32_t low)
{
    DevicePoint p = LineIntersection(a.high, a.low, b.high, b.low);
    if (p.y > high || p.y < low) {
        p.y = std::clamp(p.y, low, high);
        p.x = a.XAt(p.y);
    }
    return p;
}

// The intersection of the clip region (walk 0) and the face region (walk 1), built row by row
// down both row lists together. Over each step between two rows each region's sides are straight
// edges, so where the area is open, where the edges cross and where the area opens or closes are
// found exactly; the rows take the rounded ends of the row lists and the crossing points.
class IntersectionWalk {
public:
    IntersectionWalk(const SpanRegion* clip, const SpanRegion* face, SpanRegion* result, int32_t top)
        : walks_{RowWalk(clip, top), RowWalk(face, top)}, result_(result), y_(top)
    {
    }

    // Fills the result; false when it has fewer than two rows.
    bool Run()
    {
        // The first row at the lower of the two tops, both regions cut there on their edges.
        for (int32_t k = 0; k < 2; ++k) {
            leftEdges_[k] = walks_[k].Left();
            rightEdges_[k] = walks_[k].Right();
        }
        const Ends top = EndsAt(y_);
        open_ = OpenAt(top);
        if (open_ && !Row(Left(top), 1, Right(top), 1, y_)) return false;
        while (walks_[0].HasNext() && walks_[1].HasNext() && Step()) {
        }
        return Finish();
    }

private:
    // Each region's left and right end at one height.
    struct Ends {
        End left[2];
        End right[2];
    };
    // Two edges crossing within a step, and where they do.
    struct Crossing {
        bool left;
        __int128 height;
        DevicePoint point;
    };

    static int32_t Left(const Ends& e) { return std::max(e.left[0].x, e.left[1].x); }
    static int32_t Right(const Ends& e) { return std::min(e.right[0].x, e.right[1].x); }
    static bool OpenAt(const Ends& e)
    {
        for (const End& l : e.left) {
            for (const End& r : e.right) {
                if (Less(r.exact, l.exact)) return false;
            }
        }
        return true;
    }
    Ends EndsAt(int32_t y) const
    {
        return {{EndAt(leftEdges_[0], y), EndAt(leftEdges_[1], y)}, {EndAt(rightEdges_[0], y), EndAt(rightEdges_[1], y)}};
    }

    // One step to the next row of the region whose next row is higher (of both when they are
    // level), the other region cut on its edges there. False when a row could not be added.
    bool Step()
    {
        const int32_t high = y_;
        const int32_t low = std::max(walks_[0].NextY(), walks_[1].NextY());
        for (int32_t k = 0; k < 2; ++k) {
            leftEdges_[k] = walks_[k].Left();
            rightEdges_[k] = walks_[k].Right();
        }
        if (high == low) {
            // Level rows: the area's span changes at once, its ends are corners.
            const StepEnds e = EndsOfStep(low);
            open_ = OpenAt(e.ends);
            return (!open_ || StepRow(e, low, true)) && Advance(low);
        }

        const OpenPart open = OpenPartOfStep(high, low);
        if (open.none) {
            // Open above the step only by rounding: the area closes at its top.
            if (open_) {
                const int32_t x = Left(EndsAt(high));
                if (!Row(x, 1, x, 1, high)) return false;
                open_ = false;
            }
            return Advance(low);
        }
        if (!open_) {
            // The area opens within the step; at its top only by rounding.
            if (open.opening[0]) {
                const DevicePoint apex = CrossingWithin(*open.opening[0], *open.opening[1], high, low);
                if (!Row(apex.x, 1, apex.x, 1, apex.y)) return false;
            } else {
                const Ends top = EndsAt(high);
                if (!Row(Left(top), 1, std::max(Left(top), Right(top)), 1, high)) return false;
            }
            open_ = true;
        }
        if (!CrossingRows(open, high, low)) return false;
        if (open.closing[0] && open.bottom > __int128(low) * kMeetingHeightParts) {
            // The area closes to a point within the step. (Two convex regions' area does not
            // open again; rows rounded to pixels may touch and part, so the walk goes on.)
            const DevicePoint apex = CrossingWithin(*open.closing[0], *open.closing[1], high, low);
            if (!Row(apex.x, 1, apex.x, 1, apex.y)) return false;
            open_ = false;
            return Advance(low);
        }
        return StepRow(EndsOfStep(low), low, false) && Advance(low);
    }

    // Where the area is open within a step, in parts of a pixel, and the edges that bound it
    // where it opens and where it closes (none at the step's ends).
    struct OpenPart {
        bool none;
        __int128 top;
        __int128 bottom;
        const EdgePiece* opening[2];
        const EdgePiece* closing[2];
    };
    // The area is open where every left edge lies at most at every right edge. A pairing whose
    // left edge gains going down holds above where they meet, one whose left edge falls back
    // holds below it, a parallel one everywhere or nowhere.
    OpenPart OpenPartOfStep(int32_t high, int32_t low) const
    {
        OpenPart part = {false, __int128(high) * kMeetingHeightParts, __int128(low) * kMeetingHeightParts,
                         {nullptr, nullptr}, {nullptr, nullptr}};
        for (const EdgePiece& l : leftEdges_) {
            for (const EdgePiece& r : rightEdges_) {
                const Meeting m = MeetingOf(l, r);
                if (!m.meets) {
                    part.none = part.none || Less(r.ExactAt(low), l.ExactAt(low));
                } else if (m.firstGains) {
                    if (m.height > part.bottom) {
                        part.bottom = m.height;
                        part.closing[0] = &l;
                        part.closing[1] = &r;
                    }
                } else if (m.height < part.top) {
                    part.top = m.height;
                    part.opening[0] = &l;
                    part.opening[1] = &r;
                }
            }
        }
        part.none = part.none || part.top < part.bottom;
        return part;
    }

    // Where the two left edges, or the two right edges, cross while the area is open, the
    // crossing is a corner of a row of its own.
    bool CrossingRows(const OpenPart& open, int32_t high, int32_t low)
    {
        Crossing crossings[2];
        int32_t count = 0;
        for (int32_t side = 0; side < 2; ++side) {
            const EdgePiece(&edges)[2] = side == 0 ? leftEdges_ : rightEdges_;
            const Meeting m = MeetingOf(edges[0], edges[1]);
            if (m.meets && m.height < open.top && m.height > open.bottom)
                crossings[count++] = {side == 0, m.height, CrossingWithin(edges[0], edges[1], high, low)};
        }
        if (count == 2 && crossings[1].height > crossings[0].height) std::swap(crossings[0], crossings[1]);
        for (int32_t i = 0; i < count; ++i) {
            const Crossing& c = crossings[i];
            const Ends at = EndsAt(c.point.y);
            const int32_t left = c.left ? c.point.x : std::min(Left(at), c.point.x);
            const int32_t right = c.left ? std::max(Right(at), c.point.x) : c.point.x;
            if (!Row(left, c.left ? 1 : 0, right, c.left ? 0 : 1, c.point.y)) return false;
        }
        return true;
    }

    // The regions' ends at the step's height, each a row's own point where the region has a
    // row there, with what the step row's corner flags are made of.
    struct StepEnds {
        Ends ends;
        bool own[2];
        int32_t leftCorners[2];
        int32_t rightCorners[2];
        bool lastRow;
    };
    StepEnds EndsOfStep(int32_t low) const
    {
        StepEnds e = {EndsAt(low), {false, false}, {0, 0}, {0, 0}, false};
        for (int32_t k = 0; k < 2; ++k) {
            e.own[k] = walks_[k].NextY() == low;
            if (!e.own[k]) continue;
            const TrapezoidRow& row = walks_[k].Next();
            e.ends.left[k] = {row.leftX, {row.leftX, 1}};
            e.ends.right[k] = {row.rightX, {row.rightX, 1}};
            e.leftCorners[k] = row.leftCorner;
            e.rightCorners[k] = row.rightCorner;
            e.lastRow = e.lastRow || walks_[k].at + 2 == walks_[k].count;
        }
        return e;
    }

    // The row at the step's height: the larger left and the smaller right. Each end keeps the
    // corner flag of the row it comes from; an end the walk cut on an edge is a corner only
    // where it meets the other region's end; every end of a region's last row is one, and so is
    // every end of a row level with the last (`level`).
    bool StepRow(const StepEnds& e, int32_t low, bool level)
    {
        auto corner = [&e, level](const End (&x)[2], const int32_t (&corners)[2], bool larger) {
            if (x[0].x == x[1].x || e.lastRow || level) return 1;
            const int32_t k = (x[0].x > x[1].x) == larger ? 0 : 1;
            return e.own[k] ? corners[k] : 0;
        };
        // Rounding may put the ends of a thin area a pixel the wrong way round.
        return Row(Left(e.ends), corner(e.ends.left, e.leftCorners, true), std::max(Left(e.ends), Right(e.ends)),
                   corner(e.ends.right, e.rightCorners, false), low);
    }

    bool Advance(int32_t low)
    {
        for (RowWalk& walk : walks_) {
            if (walk.NextY() == low) ++walk.at;
        }
        y_ = low;
        return true;
    }

    bool Row(int32_t left, int32_t leftCorner, int32_t right, int32_t rightCorner, int32_t y)
    {
        if (result_->TrapezoidCount() == 0) result_->top = y;
        result_->bottom = y;
        return AppendRow(result_, {left, y}, leftCorner, {right, y}, rightCorner);
    }

    // The last two rows merged into one when they are level. The last row is the area's bottom
    // edge: both its ends are corners. False when fewer than two rows are left.
    bool Finish()
    {
        int32_t n = result_->TrapezoidCount();
        if (n < 2) return false;
        TrapezoidRow* last = result_->At<TrapezoidRow>(n - 1);
        TrapezoidRow* before = result_->At<TrapezoidRow>(n - 2);
        if (last->leftY == before->leftY) {
            *before = {std::min(before->leftX, last->leftX), before->leftY, std::max(before->rightX, last->rightX),
                       before->rightY, 1, 1};
            IgnoreResult(result_->ArraySetCount(--n));
        }
        TrapezoidRow* bottom = result_->At<TrapezoidRow>(n - 1);
        bottom->leftCorner = bottom->rightCorner = 1;
        return n >= 2;
    }

    RowWalk walks_[2];
    EdgePiece leftEdges_[2] = {};  // each region's edges over the step
    EdgePiece rightEdges_[2] = {};
    SpanRegion* result_;
    int32_t y_;          // the height last reached
    bool open_ = false;  // whether the area has opened
};

// The corners of a region's outline into the list: the left point of the first row, the left
// corners of the later rows, then the right corners from the last row back to the first.
bool RegionCorners(const SpanRegion* region, DynamicArray* corners)
{
    if (corners->ArraySetCount(0) != kResultOk) return false;
    const TrapezoidRow* rows = region->Rows();
    const int32_t n = region->TrapezoidCount();
    if (n == 0) return true;
    auto add = [corners](int32_t x, int32_t y) {
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
    CountTurns(2 * int64_t(n));
    return true;
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
    // The search for the top corner, then the two walks down from it, which take each corner once.
    CountTurns(2 * int64_t(n));
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
    if (face->TrapezoidCount() < 2 || TrapezoidCount() < 2) return false;
    if (face->right < left || right < face->left || face->top < bottom || top < face->bottom) return false;
    // The walk steps down both regions' rows together.
    CountTurns(int64_t(face->TrapezoidCount()) + TrapezoidCount());
    IntersectionWalk walk(this, face, result, std::min(Rows()[0].leftY, face->Rows()[0].leftY));
    return walk.Run();
}

SpanRegion* SpanRegion::IntersectTrapezoidRegions(SpanRegion* face)
{
    if (face->TrapezoidCount() < 2) {
        face->SpanRegionFree();
        return nullptr;
    }
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
    if (!RegionCorners(this, outline) || outline->ArrayCount() == 0) return;
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
