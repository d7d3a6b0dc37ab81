// Pick geometry: the step of the eye as a ray, and the tests of that ray against the polygons
// of a geometry record, where a passable polygon or an opening outline on a solid one lets the
// ray through. All in double precision.
#pragma once

#include <cstdint>

#include "foundation/fixed.h"
#include "model/short_vector.h"

class DynamicArray;
class ObjectGeometry;
class PolygonRecord;
class Surface;

// A passability below this lets a ray through (an opening); this and above is solid.
constexpr uint16_t kPassableBelow = 4096;

struct PickRay {
    double origin[3];
    double direction[3];  // unit length (zero for a step of zero length)
};

struct PickPlane {
    double a;
    double b;
    double c;
    double d;
};

// Results of PointInOpenings.
constexpr int32_t kInsideOpening = 2;
constexpr int32_t kOutsideOpenings = 3;

// The ray from the start to the end point and the step's length. A step of zero length gives a
// zero direction, which crosses no plane.
void SegmentToRay(const ShortVector3& start, const ShortVector3& end, PickRay* ray, double* length);

// The plane through three points, (P3 - P2) x (P1 - P2) as its normal, scaled down so that d and
// the integer parts of a, b and c stay within 32767.
void PlaneFromPoints(Fixed x1, Fixed y1, Fixed z1, Fixed x2, Fixed y2, Fixed z2, Fixed x3, Fixed y3, Fixed z3,
                     PickPlane* plane);

// 1 when the ray crosses the polygon's plane at a t within [0, limit] (the limit itself only
// while the plane value falls along the ray), with t written; else 0.
int32_t RayCrossesPolygonPlane(const PolygonRecord* polygon, const PickRay& ray, double limit, double* t);

// One opening outline of a surface: its passability and its corners in world coordinates.
struct OpeningOutline {
    uint16_t passability;
    const DynamicArray* vertices;  // FixedVector3
};

// The opening outlines laid on a surface: the polygon elements of its in-plane element list
// (those that go through the face), each with its colour code as passability and its world
// vertices as outline.
constexpr int32_t kOpeningElements = 1;
int32_t SurfaceOpeningCount(const Surface* surface);
OpeningOutline SurfaceOpeningAt(const Surface* surface, int32_t index);

// kInsideOpening when the world point lies inside (or on the edge of) a passable opening
// outline of the polygon's surface, projected along the polygon's largest normal component;
// else kOutsideOpenings.
void PointInOpenings(const PolygonRecord* polygon, const ShortVector3& point, int32_t* result);

// 1 when the polygon stops the ray: its plane is crossed within the limit, it is solid, and the
// crossing point lies in no passable polygon overlapping it and in no opening outline.
int32_t PickPolygon(const PolygonRecord* polygon, const PickRay& ray, double limit, double* t);

// 1 when some polygon of the record stops the ray (t of the first one found), else 0.
int32_t PickPolygonList(ObjectGeometry* geometry, const PickRay& ray, double limit, double* t);
