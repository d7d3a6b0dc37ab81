// Scan conversion shared by every pixel format: the two-chain edge walk of a device polygon into
// half-open spans [left, right) per row (integer points for the unclipped fill, 16.16 points with
// an optional intensity for the clipped fill and shading), and the fixed-point line DDA.
#pragma once

#include <algorithm>
#include <cstdint>

#include "foundation/fixed.h"
#include "foundation/loop_turns.h"
#include "raster/device_point_list.h"
#include "raster/raster_target.h"

namespace raster {

// nearest(v): the integer part, plus 1 when the fraction is 0x8000 or more.
constexpr int32_t NearestInt(Fixed v) { return int32_t((int64_t(v) + kFixedHalf) >> 16); }
// The integer part, rounding down.
constexpr int32_t FloorInt(Fixed v) { return v >> 16; }

// Wrapping 32-bit arithmetic on Fixed values (the walk steps edges by repeated addition).
constexpr Fixed WrapAdd(Fixed a, Fixed b) { return Fixed(uint32_t(a) + uint32_t(b)); }
constexpr Fixed WrapSub(Fixed a, Fixed b) { return Fixed(uint32_t(a) - uint32_t(b)); }
constexpr Fixed WrapMul(Fixed a, int64_t k) { return Fixed(uint32_t(a) * uint32_t(uint64_t(k))); }
constexpr int32_t WrapDifference(int32_t a, int32_t b) { return int32_t(uint32_t(a) - uint32_t(b)); }

enum class ScanResult {
    kOneRow,   // every point lies on one row: nothing drawn
    kScanned,  // the polygon was walked (spans may or may not have been drawn)
};

// One chain's current edge: from vertex `start` to vertex `end`, `rows` rows still to step.
struct ScanEdge {
    int32_t start;
    int32_t end;
    int32_t rows;
    Fixed x;
    Fixed xStep;
    Fixed value;
    Fixed valueStep;

    void Step(int64_t count)
    {
        x = WrapAdd(x, WrapMul(xStep, count));
        value = WrapAdd(value, WrapMul(valueStep, count));
    }
};

// Integer device points: rows are the points' y; an edge starts at the middle of its first row,
// x = (x_start << 16) + slope / 2, slope = FixDiv(dx << 16, dy << 16); spans end at nearest(x).
struct IntegerEdges {
    const DevicePoint* points;

    int32_t Y(int32_t i) const { return points[i].y; }
    int32_t Row(int32_t i) const { return points[i].y; }
    static int32_t SpanEnd(Fixed x) { return NearestInt(x); }
    void Setup(ScanEdge& edge, int32_t from, int32_t to) const
    {
        edge.start = from;
        edge.end = to;
        const int32_t dy = WrapDifference(points[to].y, points[from].y);
        edge.rows = std::max(dy, 0);
        edge.xStep =
            dy > 0 ? FixDiv(IntToFixed(WrapDifference(points[to].x, points[from].x)), IntToFixed(dy)) : kFixedOne;
        edge.x = WrapAdd(IntToFixed(points[from].x), edge.xStep >> 1);
        edge.value = 0;
        edge.valueStep = 0;
    }
};

// 16.16 points (clipped polygons), with one intensity per point when `values` is given: an edge
// covers rows nearest(y_start) to nearest(y_end) - 1, x and intensity taken at the middle of the
// first row (x plus one half); spans end at the integer part of x.
struct FixedEdges {
    const FixedPoint* points;
    const Fixed* values;

    Fixed Y(int32_t i) const { return points[i].y; }
    int32_t Row(int32_t i) const { return NearestInt(points[i].y); }
    static int32_t SpanEnd(Fixed x) { return FloorInt(x); }
    void Setup(ScanEdge& edge, int32_t from, int32_t to) const
    {
        edge.start = from;
        edge.end = to;
        edge.rows = std::max(Row(to) - Row(from), 0);
        edge.value = values ? values[from] : 0;
        edge.valueStep = 0;
        if (edge.rows == 0) {  // never stepped
            edge.x = points[from].x;
            edge.xStep = kFixedOne;
            return;
        }
        const Fixed dy = WrapSub(points[to].y, points[from].y);
        const Fixed toRowMiddle = WrapSub(WrapAdd(IntToFixed(Row(from)), kFixedHalf), points[from].y);
        edge.xStep = FixDiv(WrapSub(points[to].x, points[from].x), dy);
        edge.x = WrapAdd(WrapAdd(points[from].x, FixMul(edge.xStep, toRowMiddle)), kFixedHalf);
        if (values) {
            edge.valueStep = FixDiv(WrapSub(values[to], values[from]), dy);
            edge.value = WrapAdd(values[from], FixMul(edge.valueStep, toRowMiddle));
        }
    }
};

// The two edge chains of a polygon of n >= 3 vertices that runs clockwise on the screen: from
// the top vertex (the first with the smallest y) the backward chain gives the left ends and the
// forward chain the right ends. `Edges` answers Y(i), Row(i) and Setup(edge, from, to) for the
// edge type the walk carries (with `start`, `end` and `rows`).
template <class Edges>
class PolygonChains {
public:
    PolygonChains(const Edges& edges, int32_t n) : edges_(edges), n_(n) {}

    // Sets both chains up on their first edges below the top row, passing over horizontal edges
    // at the top, and gives the top row; false when every vertex lies in one row.
    template <class Edge>
    bool Start(Edge& left, Edge& right, int32_t* topRow) const
    {
        int32_t top = 0;
        for (int32_t i = 1; i < n_; ++i)
            if (edges_.Y(i) < edges_.Y(top)) top = i;
        *topRow = edges_.Row(top);
        int32_t steps = 0;
        int32_t back = top;
        while (steps < n_ && edges_.Row(Previous(back)) == *topRow) {
            back = Previous(back);
            ++steps;
        }
        int32_t forward = top;
        while (steps < n_ && edges_.Row(Next(forward)) == *topRow) {
            forward = Next(forward);
            ++steps;
        }
        // The search for the top and the steps along the top row.
        CountTurns(int64_t(n_) + steps);
        if (steps >= n_ - 1) return false;
        edges_.Setup(left, back, Previous(back));
        edges_.Setup(right, forward, Next(forward));
        return true;
    }

    // A chain whose edge ran out moves on from the vertex it reached, passing over vertices that
    // lie above it, but never past the other chain's vertex.
    template <class Edge>
    void Advance(Edge& edge, bool backwards, int32_t otherEnd) const
    {
        const int32_t from = edge.end;
        int32_t to = backwards ? Previous(from) : Next(from);
        int32_t guard = 0;
        for (; to != otherEnd && edges_.Row(to) < edges_.Row(from) && guard < n_; ++guard)
            to = backwards ? Previous(to) : Next(to);
        CountTurns(guard);
        edges_.Setup(edge, from, to);
    }

private:
    int32_t Previous(int32_t i) const { return i == 0 ? n_ - 1 : i - 1; }
    int32_t Next(int32_t i) const { return i + 1 == n_ ? 0 : i + 1; }

    const Edges& edges_;
    int32_t n_;
};

// Walks the polygon of n >= 3 points that runs clockwise on the screen: from the top vertex (the
// first with the smallest y) the backward chain gives the left ends and the forward chain the right
// ends. Rows outside [rowTop, rowBottom) are stepped over without drawing, and the walk stops at
// rowBottom. span(y, left, right, leftValue, rightValue) receives every row whose right end lies
// beyond its left end.
template <class Edges, class SpanFn>
ScanResult ScanPolygon(const Edges& edges, int32_t n, int32_t rowTop, int32_t rowBottom, SpanFn&& span)
{
    const PolygonChains<Edges> chains(edges, n);
    ScanEdge left;
    ScanEdge right;
    int32_t topRow = 0;
    if (!chains.Start(left, right, &topRow)) return ScanResult::kOneRow;

    int64_t y = topRow;
    int32_t advances = 0;
    // The rows walked, counted with the advances as the walk ends.
    int64_t rows = 0;
    for (;; ++advances) {
        int64_t k = std::min(left.rows, right.rows);
        left.rows -= int32_t(k);
        right.rows -= int32_t(k);
        if (y < rowTop) {
            const int64_t skipped = std::min<int64_t>(k, rowTop - y);
            left.Step(skipped);
            right.Step(skipped);
            y += skipped;
            k -= skipped;
        }
        const int64_t drawn = std::min<int64_t>(k, std::max<int64_t>(rowBottom - y, 0));
        rows += drawn;
        for (int64_t r = 0; r < drawn; ++r, ++y) {
            const int32_t x0 = Edges::SpanEnd(left.x);
            const int32_t x1 = Edges::SpanEnd(right.x);
            if (x1 > x0) span(int32_t(y), x0, x1, left.value, right.value);
            left.Step(1);
            right.Step(1);
        }
        if (y >= rowBottom || left.end == right.end || advances > 2 * n) break;
        if (left.rows == 0) chains.Advance(left, true, right.end);
        if (right.rows == 0 && left.end != right.end) chains.Advance(right, false, left.end);
    }
    CountTurns(rows + advances + 1);
    return ScanResult::kScanned;
}

// The line DDA between two 16.16 points, calling pixel(x, y, ordinal) for each pixel in drawing
// order (ordinal 0, 1, 2 ...). Rows nearest(y0) .. nearest(y1) - 1 for steep lines, columns between
// nearest(x0) and nearest(x1) for flat ones; a line with no whole pixel along its major axis draws
// nothing.
template <class PixelFn>
void LineDDA(Fixed x0, Fixed y0, Fixed x1, Fixed y1, PixelFn pixel)
{
    if (y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    const int64_t dx = int64_t(x1) - x0;
    const int64_t dy = int64_t(y1) - y0;
    const Fixed fdx = Fixed(std::clamp<int64_t>(dx, INT32_MIN, INT32_MAX));
    const Fixed fdy = Fixed(std::min<int64_t>(dy, INT32_MAX));
    int32_t ordinal = 0;
    if ((dx < 0 ? -dx : dx) < dy) {
        const int32_t first = NearestInt(y0);
        const int32_t last = NearestInt(y1);
        if (last <= first) return;
        CountTurns(int64_t(last) - first);
        const Fixed slope = FixDiv(fdx, fdy);
        Fixed x = WrapAdd(x0, FixMul(WrapSub(WrapAdd(IntToFixed(first), kFixedHalf), y0), slope));
        for (int32_t row = first; row < last; ++row, x = WrapAdd(x, slope)) pixel(FloorInt(x), row, ordinal++);
    } else if (dx >= 0) {
        const int32_t first = NearestInt(x0);
        const int32_t last = NearestInt(x1);
        if (last <= first) return;
        CountTurns(int64_t(last) - first);
        const Fixed slope = FixDiv(fdy, fdx);
        Fixed y = WrapAdd(y0, FixMul(WrapSub(WrapAdd(IntToFixed(first), kFixedHalf), x0), slope));
        for (int32_t column = first; column < last; ++column, y = WrapAdd(y, slope))
            pixel(column, FloorInt(y), ordinal++);
    } else {
        const int32_t first = NearestInt(x0);
        const int32_t last = NearestInt(x1);
        if (first <= last) return;
        CountTurns(int64_t(first) - last);
        const Fixed slope = FixDiv(fdy, fdx);
        Fixed y = WrapAdd(y0, FixMul(WrapSub(WrapSub(IntToFixed(first), kFixedHalf), x0), slope));
        for (int32_t column = first - 1; column >= last; --column, y = WrapSub(y, slope))
            pixel(column, FloorInt(y), ordinal++);
    }
}

}  // namespace raster
