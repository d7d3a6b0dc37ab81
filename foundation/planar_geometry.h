// Planar predicates: on which side of a directed segment a point lies (in pixels and in Fixed),
// which way round an outline runs, whether two segments meet, and a point's nearness to a segment.
#pragma once

#include <cstdint>

#include "foundation/fixed.h"

// The result of the side tests. With y pointing down, as on the screen, kSideLeft means the
// point lies to the left of the direction from a to b as seen on the screen.
using PointSideCode = int32_t;
constexpr PointSideCode kSideRight = 0;       // (px-ax)(by-ay) < (py-ay)(bx-ax)
constexpr PointSideCode kSideLeft = 1;        // (px-ax)(by-ay) > (py-ay)(bx-ax)
constexpr PointSideCode kSideOnLine = 2;      // on the line through a and b, anywhere along it
constexpr PointSideCode kSideDegenerate = 3;  // a equals b, or p equals a

// Both compare the two products exactly, whatever the coordinates.
PointSideCode PointSide(int32_t px, int32_t py, int32_t ax, int32_t ay, int32_t bx, int32_t by);
PointSideCode FixedPointSide(Fixed px, Fixed py, Fixed ax, Fixed ay, Fixed bx, Fixed by);

class DynamicArray;

// Which way round an outline of FixedPoint runs (at least three points, the first not repeated
// at the end): 1 clockwise with y pointing up (counter-clockwise on the screen), 0 the other way.
// A triangle gives the FixedPointSide code of its first point against its second and third; an
// outline whose points lie on one line gives the code of its last three points left after
// shedding extremes. -1 for fewer than three points. The caller's array is not changed. Where
// the extremes tell no direction the points are sorted in four orders: `sorted`, when given, is
// set to the turns that took (their comparisons and the walks through them), 0 when no sort was
// made, so that a caller can pay for them.
int32_t PolygonOrientation(const DynamicArray* outline, int64_t* sorted = nullptr);

struct IntPoint {
    int32_t x;
    int32_t y;
};

// Results of the segment tests.
constexpr int32_t kSegmentsApart = 0;
constexpr int32_t kSegmentsCross = 1;  // they cross, or overlap along one line
constexpr int32_t kSegmentsMeet = 2;   // an end point lies on the other segment (a shared end point
                                       // or a T), or they continue each other on one line

int32_t SegmentsIntersect(IntPoint a, IntPoint b, IntPoint c, IntPoint d);
int32_t FixedSegmentsIntersect(FixedPoint a, FixedPoint b, FixedPoint c, FixedPoint d);

// Like PointSide; for a point on the line (other than a) kSideDegenerate when it lies on the same
// side of a as b, kSideOnLine when on the other side.
PointSideCode PointSideDirected(IntPoint p, IntPoint a, IntPoint b);

// 1 when p lies on the same side of the four edges corner 0-1, 1-2, 2-3 and 3-0 by
// PointSideDirected, a kSideOnLine edge counting as either side; else 0.
int32_t PointInQuad(IntPoint p, const IntPoint (&corners)[4]);

// 1 when p lies within the segment's bounding box grown by 3 pixels on each side and its
// horizontal or vertical distance to the line through a and b is below 6 pixels (for a single
// point a = b, the box alone decides).
int32_t PointNearSegment(IntPoint p, IntPoint a, IntPoint b);

// After the same box test, halves all differences until both components of b - a are below 256
// in magnitude; then 1 when |(p - a) x (b - a)| is below |bx - ax| + |by - ay|.
int32_t PointNearSegmentScaled(IntPoint p, IntPoint a, IntPoint b);

// The foot of the perpendicular from p onto the line through a and b (a itself when a = b), and
// the vector from p to that foot.
void PerpendicularFoot(IntPoint p, IntPoint a, IntPoint b, double* footX, double* footY);
void PerpendicularOffset(IntPoint p, IntPoint a, IntPoint b, double* offsetX, double* offsetY);
