// Polygon projection: a face lying in some plane flattened onto the coordinate plane in which it
// is largest, so that faces of one plane can be compared as 2-D polygons (coverage regions).
#pragma once

#include <cstdint>

class DynamicArray;

// Axis codes: which coordinate plane a projection keeps.
constexpr int16_t kProjectionUnchosen = 0;
constexpr int16_t kProjectYZ = 1;  // drops x
constexpr int16_t kProjectZX = 2;  // drops y
constexpr int16_t kProjectXY = 3;  // drops z

// The plane in which a face of the normal (nx, ny, nz) is largest: x wins ties, then y.
int16_t DominantProjectionAxis(int32_t nx, int32_t ny, int32_t nz);

// Appends the projected corners of a face to `points` (8-byte FixedPoint elements): the
// vertices (12-byte FixedVector3 elements) named by the 16-bit indices in order, or every vertex
// in order when `indices` is null. `axis` (in and out) is chosen from the normal while it is
// kProjectionUnchosen and kept otherwise, so that several faces of one plane project alike.
// Indices that name no vertex are passed over.
void ProjectPolygonToPlane(const DynamicArray* vertices, const DynamicArray* indices, int32_t nx, int32_t ny,
                           int32_t nz, DynamicArray* points, int16_t* axis);
