// Pick geometry: rays, planes of three points, and the ray tests against polygons and openings.
#include "render/pick_geometry.h"

#include <cmath>
#include <limits>

#include "foundation/dynamic_array.h"
#include "foundation/planar_geometry.h"
#include "model/fixed_matrix.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "model/polygon_element.h"
#include "model/polygon_record.h"
#include "model/surface.h"

namespace {

// The scratch list of projected outline points, made on first use and kept.
DynamicArray* gOutlineScratch = nullptr;

DynamicArray* OutlineScratch()
{
    if (!gOutlineScratch) gOutlineScratch = NewDynamicArray(0, int32_t(sizeof(IntPoint)), 8);
    return gOutlineScratch;
}

const FixedVector3* PolygonVertex(const PolygonRecord* polygon, int32_t position)
{
    const ModelObject* owner = polygon->Owner();
    const DynamicArray* vertices = owner ? owner->WorldVertices : nullptr;
    const int16_t index = polygon->IndexAt(position);
    return vertices && index >= 0 ? vertices->At<FixedVector3>(index) : nullptr;
}

bool SameVertex(const FixedVector3* a, const FixedVector3* b)
{
    return a && b && a->x == b->x && a->y == b->y && a->z == b->z;
}

double SignOf(double value)
{
    return value > 0 ? 1.0 : -1.0;
}

// The plane value's axis to drop: 0 x, 1 y, 2 z (the largest normal component, x first).
int32_t DroppedAxis(const ShortVector3& normal)
{
    const int32_t ax = std::abs(int32_t(normal.x));
    const int32_t ay = std::abs(int32_t(normal.y));
    const int32_t az = std::abs(int32_t(normal.z));
    const int32_t m = std::max(ax, std::max(ay, az));
    return ax == m ? 0 : ay == m ? 1 : 2;
}

// The 2-D point of a world point with the axis dropped: (z, y), (x, z) or (y, x).
IntPoint Project(int32_t axis, int32_t x, int32_t y, int32_t z)
{
    switch (axis) {
    case 0: return {z, y};
    case 1: return {x, z};
    default: return {y, x};
    }
}

int32_t SignComponent(int32_t axis, const ShortVector3& normal)
{
    return axis == 0 ? normal.x : axis == 1 ? normal.y : normal.z;
}

// Fills the scratch list with the projected corners; false when it cannot hold them.
template <class VertexAt>
bool ProjectOutline(int32_t axis, int32_t count, VertexAt vertexAt)
{
    DynamicArray* scratch = OutlineScratch();
    if (!scratch || scratch->ArraySetCount(0) != kResultOk) return false;
    for (int32_t i = 0; i < count; ++i) {
        const FixedVector3* v = vertexAt(i);
        if (!v) return false;
        const IntPoint p = Project(axis, FixedFloor(v->x), FixedFloor(v->y), FixedFloor(v->z));
        if (scratch->Append(&p) < 0) return false;
    }
    return true;
}

// 1 when no edge of the projected outline in the scratch list has the point on the side
// `outside`; points on an edge's line or on a corner never count as outside.
bool InsideScratchOutline(const IntPoint& point, int32_t outside)
{
    const DynamicArray* scratch = OutlineScratch();
    const int32_t count = scratch->ArrayCount();
    const IntPoint* corners = scratch->Elements<IntPoint>();
    for (int32_t i = 0; i < count; ++i) {
        const IntPoint& a = corners[i];
        const IntPoint& b = corners[(i + 1) % count];
        if (PointSide(point.x, point.y, a.x, a.y, b.x, b.y) == outside) return false;
    }
    return true;
}

// The crossing point of the ray at t, in whole world units.
ShortVector3 HitPoint(const PickRay& ray, double t)
{
    ShortVector3 h;
    int16_t* out[3] = {&h.x, &h.y, &h.z};
    for (int axis = 0; axis < 3; ++axis) {
        const double value = std::trunc(ray.origin[axis]) + ray.direction[axis] * t;
        *out[axis] = ClampToShort(int64_t(std::trunc(std::fmax(std::fmin(value, 1e9), -1e9))));
    }
    return h;
}

// 1 when the point lies inside or on the outline of the convex polygon, whichever way round its
// corners run: the corners of an overlapping passable face limit where it lets a ray through.
bool PointInPolygonOutline(const PolygonRecord* polygon, const ShortVector3& point)
{
    const int32_t count = polygon->VertexCount();
    if (count < 3) return false;
    const int32_t axis = DroppedAxis(polygon->WorldNormal);
    if (!ProjectOutline(axis, count, [polygon](int32_t i) { return PolygonVertex(polygon, i); })) return false;
    const IntPoint p = Project(axis, point.x, point.y, point.z);
    return InsideScratchOutline(p, kSideLeft) || InsideScratchOutline(p, kSideRight);
}

// The overlapping polygon of a side-list entry.
const PolygonRecord* EntryPolygon(const DynamicArray* list, int32_t index)
{
    const FaceEntry* entry = list->At<FaceEntry>(index);
    return entry && entry->Face ? entry->Face->FaceRecord() : nullptr;
}

}  // namespace

void SegmentToRay(const ShortVector3& start, const ShortVector3& end, PickRay* ray, double* length)
{
    const double s[3] = {double(start.x), double(start.y), double(start.z)};
    const double direction[3] = {double(end.x) - s[0], double(end.y) - s[1], double(end.z) - s[2]};
    *length = VectorLengthDouble(direction);
    for (int axis = 0; axis < 3; ++axis) {
        ray->origin[axis] = s[axis];
        ray->direction[axis] = *length > 0 ? direction[axis] / *length : 0.0;
    }
}

void PlaneFromPoints(Fixed x1, Fixed y1, Fixed z1, Fixed x2, Fixed y2, Fixed z2, Fixed x3, Fixed y3, Fixed z3,
                     PickPlane* plane)
{
    const double p1[3] = {Fix2X(x1), Fix2X(y1), Fix2X(z1)};
    const double p2[3] = {Fix2X(x2), Fix2X(y2), Fix2X(z2)};
    const double p3[3] = {Fix2X(x3), Fix2X(y3), Fix2X(z3)};
    double v[4];  // a, b, c, d
    v[0] = (p3[1] - p2[1]) * (p1[2] - p2[2]) - (p3[2] - p2[2]) * (p1[1] - p2[1]);
    v[1] = (p3[2] - p2[2]) * (p1[0] - p2[0]) - (p1[2] - p2[2]) * (p3[0] - p2[0]);
    v[2] = (p1[1] - p2[1]) * (p3[0] - p2[0]) - (p3[1] - p2[1]) * (p1[0] - p2[0]);
    v[3] = -(v[0] * p2[0] + v[1] * p2[1] + v[2] * p2[2]);
    // Bring d, then a, b and c in turn, within 32767; the others shrink alike, so the plane
    // keeps its orientation.
    auto limit = [&v](int which, bool integerPart) {
        const double magnitude = std::fabs(integerPart ? std::trunc(v[which]) : v[which]);
        if (magnitude <= 32767.0) return;
        const double sign = SignOf(v[which]);
        const double s = v[which] / (sign * 32767.0);
        v[which] = sign * 32767.0;
        for (int other = 0; other < 4; ++other) {
            if (other != which) v[other] /= s;
        }
    };
    limit(3, false);
    for (int which = 0; which < 3; ++which) limit(which, true);
    *plane = {v[0], v[1], v[2], v[3]};
}

int32_t RayCrossesPolygonPlane(const PolygonRecord* polygon, const PickRay& ray, double limit, double* t)
{
    const int32_t n = polygon->VertexCount();
    if (n == 0) return 0;
    *t = std::numeric_limits<double>::infinity();
    int32_t q = (n + 2) >> 2;
    int32_t h = (n + 1) >> 1;
    int32_t k = 0;
    const FixedVector3* first = PolygonVertex(polygon, 0);
    while (k < n && SameVertex(PolygonVertex(polygon, q), first)) k = q = k + 1;
    while (k < n && SameVertex(PolygonVertex(polygon, h), first)) k = h = k + 1;
    while (k < n && SameVertex(PolygonVertex(polygon, h), PolygonVertex(polygon, q))) k = h = k + 1;
    // A polygon without three corners to take a plane from never stops a ray.
    const FixedVector3* second = q < n ? PolygonVertex(polygon, q) : nullptr;
    const FixedVector3* third = h < n ? PolygonVertex(polygon, h) : nullptr;
    if (!first || !second || !third) return 0;
    PickPlane plane;
    PlaneFromPoints(first->x, first->y, first->z, second->x, second->y, second->z, third->x, third->y, third->z,
                    &plane);
    const double rate = plane.a * ray.direction[0] + plane.b * ray.direction[1] + plane.c * ray.direction[2];
    const double value = plane.a * ray.origin[0] + plane.b * ray.origin[1] + plane.c * ray.origin[2] + plane.d;
    if (rate == 0) return 0;
    const double crossing = -(value / rate);
    if (rate > 0) {
        if (crossing < 0 || crossing >= limit) return 0;
    } else {
        if (crossing < 0 || crossing > limit) return 0;
    }
    *t = crossing;
    return 1;
}

int32_t SurfaceOpeningCount(const Surface* surface)
{
    return surface ? surface->ElementCount(kOpeningElements) : 0;
}

OpeningOutline SurfaceOpeningAt(const Surface* surface, int32_t index)
{
    const PolygonElement* element = surface ? surface->ElementAt(kOpeningElements, index) : nullptr;
    if (!element) return {0xFFFF, nullptr};
    return {element->ColourCode, element->WorldVertices};
}

void PointInOpenings(const PolygonRecord* polygon, const ShortVector3& point, int32_t* result)
{
    *result = kOutsideOpenings;
    const Surface* surface = polygon->FaceSurface;
    if (!surface) return;
    const int32_t axis = DroppedAxis(polygon->WorldNormal);
    const int32_t outside = SignComponent(axis, polygon->WorldNormal) >= 0 ? 1 : 0;
    const IntPoint p = Project(axis, point.x, point.y, point.z);
    for (int32_t i = 0; i < SurfaceOpeningCount(surface); ++i) {
        const OpeningOutline outline = SurfaceOpeningAt(surface, i);
        if (outline.passability >= kPassableBelow || !outline.vertices) continue;
        const DynamicArray* vertices = outline.vertices;
        if (!ProjectOutline(axis, vertices->ArrayCount(), [vertices](int32_t k) { return vertices->At<FixedVector3>(k); }))
            continue;
        if (InsideScratchOutline(p, outside)) {
            *result = kInsideOpening;
            return;
        }
    }
}

int32_t PickPolygon(const PolygonRecord* polygon, const PickRay& ray, double limit, double* t)
{
    if (!RayCrossesPolygonPlane(polygon, ray, limit, t)) return 0;
    const Surface* surface = polygon->FaceSurface;
    if (!surface) return polygon->ColourCode < kPassableBelow ? 0 : 1;
    if (polygon->ColourCode < kPassableBelow) return 0;
    const ShortVector3 hit = HitPoint(ray, *t);
    // A passable polygon overlapping this one lets the ray through where the ray meets it.
    for (const DynamicArray* list : surface->SideContacts) {
        for (int32_t i = 0; list && i < list->ArrayCount(); ++i) {
            const PolygonRecord* other = EntryPolygon(list, i);
            if (!other || other->ColourCode >= kPassableBelow) continue;
            double otherT;
            if (RayCrossesPolygonPlane(other, ray, limit, &otherT) && PointInPolygonOutline(other, HitPoint(ray, otherT)))
                return 0;
        }
    }
    int32_t where;
    PointInOpenings(polygon, hit, &where);
    if (where == kInsideOpening) return 0;
    for (const DynamicArray* list : surface->SideContacts) {
        for (int32_t i = 0; list && i < list->ArrayCount(); ++i) {
            const PolygonRecord* other = EntryPolygon(list, i);
            if (!other) continue;
            PointInOpenings(other, hit, &where);
            if (where == kInsideOpening) return 0;
        }
    }
    return 1;
}

int32_t PickPolygonList(ObjectGeometry* geometry, const PickRay& ray, double limit, double* t)
{
    DynamicArray* polygons = geometry->Polygons;
    if (!polygons) return 0;
    polygons->ArrayLock();
    int32_t hit = 0;
    for (int32_t i = 0; i < polygons->ArrayCount() && !hit; ++i) {
        const PolygonRecord* polygon = geometry->PolygonAt(i);
        if (polygon && PickPolygon(polygon, ray, limit, t)) hit = 1;
    }
    polygons->ArrayUnlock();
    return hit;
}
