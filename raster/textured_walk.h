// The row walk shared by the textured fills: two edge chains from the top vertex of a polygon
// that runs clockwise on the screen, segment by segment (a segment ends where either chain
// reaches a vertex), carrying x, u and v down each edge; and the hand-over of one span to the
// set-up's filler, clamped to the destination's pixels.
#pragma once

#include <algorithm>
#include <cstdint>

#include "foundation/fixed.h"
#include "foundation/loop_turns.h"
#include "raster/covered_pixels.h"
#include "raster/scan_convert.h"
#include "raster/textured_fill.h"

namespace raster {

// One chain's current edge from vertex `start` down to vertex `end`, `rows` rows still to go,
// with x, u and v at the centre of its current row and their steps per row.
struct TexEdge {
    int32_t start = 0;
    int32_t end = 0;
    int32_t rows = 0;
    Fixed x = 0, dx = 0;
    Fixed u = 0, du = 0;
    Fixed v = 0, dv = 0;

    void Step()
    {
        x = WrapAdd(x, dx);
        u = WrapAdd(u, du);
        v = WrapAdd(v, dv);
    }
};

// (to - from) / dy in 16.16 for a positive 16.16 dy, truncated toward zero, the difference taken
// in 64 bits and the quotient saturated to 32.
inline Fixed TexSlope(int64_t difference, Fixed dy)
{
    const int64_t q = difference * 65536 / dy;
    return Fixed(std::clamp<int64_t>(q, INT32_MIN, INT32_MAX));
}

// Walks a polygon of n >= 3 vertices. `Edges` answers Y(i) (16.16), Row(i) and Setup(edge,
// from, to). segment(h, left, right, triangle) opens every segment of h > 0 rows; row(y, left,
// right) is called for each of its rows before both edges step. The walk stops at rowEnd.
// 0 when every vertex lies in one row, else 1.
template <class Edges, class SegmentFn, class RowFn>
int32_t WalkTexturedPolygon(const Edges& edges, int32_t n, int32_t rowEnd, SegmentFn&& segment, RowFn&& row)
{
    const PolygonChains<Edges> chains(edges, n);
    TexEdge left;
    TexEdge right;
    int32_t topRow = 0;
    if (!chains.Start(left, right, &topRow)) return 0;

    int32_t y = topRow;
    int32_t advances = 0;
    for (; advances <= 2 * n; ++advances) {
        const int32_t h = std::min(left.rows, right.rows);
        if (h > 0) {
            segment(h, left, right, left.end == right.end || left.start == right.start);
            const int32_t from = y;
            for (int32_t k = 0; k < h && y < rowEnd; ++k, ++y) {
                row(y, left, right);
                left.Step();
                right.Step();
            }
            CountTurns(y - from);
            left.rows -= h;
            right.rows -= h;
        }
        if (y >= rowEnd || left.end == right.end) break;
        if (left.rows <= 0) chains.Advance(left, true, right.end);
        if (right.rows <= 0 && left.end != right.end) chains.Advance(right, false, left.end);
    }
    CountTurns(advances + 1);
    return 1;
}

// The translation tables of a destination row (its absolute parity decides the dither pair).
inline void TexRowTables(const TextureSetup& s, int32_t absoluteRow, const void** a, const void** b)
{
    const ShadeLevelEntry& t = *s.tables;
    const bool odd = (absoluteRow & 1) != 0;
    switch (s.depthMode) {
    case kTexDepth16Bit:
        *a = *b = t.Pixels16;
        break;
    case kTexDepth24Bit:
        *a = *b = t.Pixels24;
        break;
    case kTexDepth32Bit:
        *a = *b = t.Pixels32;
        break;
    case kTexDepthPlanar:
        *a = *b = odd ? t.PlanarPatternA : t.PlanarPatternB;
        break;
    default: {
        const int32_t group = 4 * s.depthMode + (odd ? 2 : 0);
        *a = t.ByteTables[group];
        *b = t.ByteTables[group + 1];
        break;
    }
    }
}

// Hands the destination's pixels [first, end) of row `row` (within its pixels) to the filler,
// with u and v at the first pixel; the fillers that step before they fetch get the coordinates one
// step back, so that every column samples the first pixel at (u, v).
inline void TexFillRun(const TextureSetup& s, int32_t row, int32_t first, int32_t end, Fixed u, Fixed v, Fixed du,
                       Fixed dv)
{
    if (TexColumnStepsFirst(s.column)) {
        u = WrapSub(u, du);
        v = WrapSub(v, dv);
    }
    TexSpanRecord span;
    span.count = end - first;
    span.u = u;
    span.du = du;
    span.v = v;
    span.dv = dv;
    TexRowTables(s, row, &span.tableA, &span.tableB);
    span.widthMask = s.widthMask;
    span.width = s.width;
    span.heightMask = s.heightMask;
    span.height = s.height;
    span.rows = s.rowTable;
    span.planeStride = s.planeBytes;
    const int32_t pixel = first;
    uint8_t* start = s.destRows[row];
    switch (s.depthMode) {
    case kTexDepth1Bit:
        span.destination = start + (pixel >> 3);
        TexBitPhase = pixel & 7;
        break;
    case kTexDepth2Bit:
        span.destination = start + (pixel >> 2);
        TexBitPhase = pixel & 3;
        break;
    case kTexDepth4Bit:
        span.destination = start + (pixel >> 1);
        TexBitPhase = pixel & 1;
        break;
    case kTexDepthPlanar:
        span.destination = start + (pixel >> 3);
        TexBitPhase = pixel & 7;
        break;
    default:
        span.destination = start + int64_t(pixel) * (s.depthMode - kTexDepth8Bit + 1);
        break;
    }
    span.planes = span.destination;
    CountTurns(span.count);
    s.filler(&span);
}

// Hands the span of `count` pixels from pixel x of row y (device coordinates) to the filler,
// with u and v at its first pixel and their steps per pixel. The span is clamped to the
// destination's pixels (u and v advanced over what is cut off at the left); with covered pixels
// in the set-up, only its runs outside them are filled, each from its own first pixel's u and v.
inline void TexEmitSpan(const TextureSetup& s, int32_t y, int32_t x, int32_t count, Fixed u, Fixed v, Fixed du,
                        Fixed dv)
{
    const int32_t row = y + s.destY;
    if (row < 0 || row >= s.destHeight || count <= 0) return;
    int64_t first = int64_t(x) + s.destX;
    const int64_t end = std::min<int64_t>(first + count, s.destWidth);
    if (first < 0) {
        u = WrapAdd(u, WrapMul(du, -first));
        v = WrapAdd(v, WrapMul(dv, -first));
        first = 0;
    }
    if (end <= first) return;
    if (!s.covered) {
        TexFillRun(s, row, int32_t(first), int32_t(end), u, v, du, dv);
        return;
    }
    ForEachUncoveredRun(*s.covered, y, int32_t(first - s.destX), int32_t(end - s.destX), [&](int32_t from, int32_t to) {
        const int64_t skipped = from + s.destX - first;
        TexFillRun(s, row, int32_t(from + s.destX), int32_t(to + s.destX), WrapAdd(u, WrapMul(du, skipped)),
                   WrapAdd(v, WrapMul(dv, skipped)), du, dv);
    });
}

}  // namespace raster
