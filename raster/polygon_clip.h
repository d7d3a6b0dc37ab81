// Clipping against the convex clip shape of a SpanRegion: the edge equations of the shape, the
// Sutherland-Hodgman cut of plain (edge-flagged), shaded (value-carrying) and textured
// (perspective-correct) polygons, and the rectangle and shape line clippers. All coordinates are
// 16.16 Fixed. Results point into scratch arrays that stay valid until the next clip; clipping is
// not re-entrant.
#pragma once

#include <cstdint>

#include "foundation/fixed.h"
#include "raster/device_point_list.h"

class SpanRegion;

// The equation a x + b y + c = 0 of a clip edge: a point is inside when its distance
// d = a x + b y + c is below 0, on the edge at 0, outside above 0.
struct ClipEdgeEquation {
    ClipEdgeEquation() = default;
    // The edge from (x0, y0) to (x1, y1): a = y1 - y0 and b = x0 - x1, scaled together so that the
    // larger magnitude has 16 significant bits, and c = -(x0 a + y0 b).
    ClipEdgeEquation(Fixed x0, Fixed y0, Fixed x1, Fixed y1);

    int32_t a;
    int32_t b;
    int32_t c;
};

// A point against a clip edge.
constexpr int32_t kClipInside = 1;
constexpr int32_t kClipOnEdge = 0;
constexpr int32_t kClipOutside = -1;

// Clip results.
constexpr int32_t kClipKept = 0;
constexpr int32_t kClipRejected = -1;

// A polygon point carrying depth (or reciprocal depth) for the textured clipper.
using ClipPoint3 = FixedVector3;

struct TextureCoord {
    Fixed u;
    Fixed v;
};

// The edge being cut against: its equation and, for horizontal (a = 0) and vertical (b = 0)
// edges, the y or x of its line, tested without multiplication.
enum class ClipEdgeKind : int32_t { kGeneral, kHorizontal, kVertical };

struct ClipEdge {
    ClipEdgeKind kind;
    ClipEdgeEquation equation;
    Fixed level;  // horizontal: the edge's y; vertical: its x
};

// The current edge for the equation of the edge that starts at `start`.
ClipEdge MakeClipEdge(const ClipEdgeEquation& equation, FixedPoint start);

// Classifies (x, y): kClipInside, kClipOnEdge or kClipOutside, with the signed distance.
int32_t ClipClassify(const ClipEdge& edge, Fixed x, Fixed y, int32_t* distance);

// The cut parameter between two points whose distances have opposite signs, measured from the
// start point, the one farther from the edge (B when |dA| < |dB|, else A); in [0, 1.0].
Fixed ClipCutParameter(int32_t distanceA, int32_t distanceB, bool* startsAtB);

// The point where the segment A-B crosses the edge, and the parameter t from the start point.
// Returns 1 (a point is always produced).
int32_t ClipIntersect(const ClipEdge& edge, FixedPoint a, int32_t distanceA, FixedPoint b, int32_t distanceB,
                      FixedPoint* out, Fixed* t, bool* startsAtB);

// start + (other - start) x t, the multiplication skipped for a zero difference.
Fixed ClipLerp(Fixed start, Fixed other, Fixed t);

// One-edge cuts: the source polygon of n points against one edge into the destination, which
// must have room for 2 n points. 0 and the new count, or -1 when fewer than 3 points remain.
int32_t ClipPolygonToEdge(const FixedPoint* points, const uint8_t* flags, int32_t n, const ClipEdge& edge,
                          FixedPoint* outPoints, uint8_t* outFlags, int32_t* outCount);
int32_t ClipShadedPolygonToEdge(const FixedPoint* points, const Fixed* values, int32_t n, const ClipEdge& edge,
                                FixedPoint* outPoints, Fixed* outValues, int32_t* outCount);
int32_t ClipTexturedPolygonToEdge(const ClipPoint3* points, const TextureCoord* coords, int32_t n,
                                  const ClipEdge& edge, ClipPoint3* outPoints, TextureCoord* outCoords,
                                  int32_t* outCount);

// Clips a polygon of integer device points (or of 16.16 points) against the region's clip shape.
// outFlags may be null; a flag is 1 when the polygon edge starting at that point is the
// polygon's own, 0 when the cut laid it along the clip shape. Margin in whole pixels.
int32_t ClipPolygon(const SpanRegion* region, const DevicePoint* points, int32_t n, FixedPoint** outPoints,
                    uint8_t** outFlags, int32_t* outCount, uint16_t margin);
int32_t ClipPolygon(const SpanRegion* region, const FixedPoint* points, int32_t n, FixedPoint** outPoints,
                    uint8_t** outFlags, int32_t* outCount, uint16_t margin);
// As ClipPolygon, carrying one Fixed value per point, interpolated linearly at the cuts.
int32_t ClipShadedPolygon(const SpanRegion* region, const DevicePoint* points, int32_t n, FixedPoint** outPoints,
                          int32_t* outCount, const Fixed* values, Fixed** outValues, uint16_t margin);
// As ClipPolygon for points with depth and texture coordinates; the coordinates of new points
// are perspective-correct (InterpolatePerspective).
int32_t ClipTexturedPolygon(const SpanRegion* region, const ClipPoint3* points, const TextureCoord* coords,
                            int32_t n, ClipPoint3** outPoints, TextureCoord** outCoords, int32_t* outCount,
                            uint16_t margin);

// Clips the line (y0 <= y1) to the rectangle: crossing ends move onto its edges inset by a quarter
// pixel. 0, or -1 when the line misses the rectangle.
int32_t ClipLineToRect(uint16_t left, uint16_t top, uint16_t right, uint16_t bottom, Fixed* x0, Fixed* y0,
                       Fixed* x1, Fixed* y1);
// Clips the line to the region's clip shape, moving the end points in place; 0 or -1.
int32_t ClipLineToShape(const SpanRegion* region, FixedPoint* p0, FixedPoint* p1);

// The texture coordinates at the new point (its depth already set) at parameter t from `start`
// towards `other`: linear when both depths are equal, else perspective-correct.
void InterpolatePerspective(const ClipPoint3& start, const TextureCoord& startCoord, const ClipPoint3& other,
                            const TextureCoord& otherCoord, Fixed t, const ClipPoint3& newPoint,
                            TextureCoord* outCoord);

// The clipper's scratch arrays (pairs used alternately as source and destination). Made by the
// face front end's start-up, or on first use; freed at its shutdown.
ResultCode InitClipScratch();
void FreeClipScratch();
