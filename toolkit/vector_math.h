// Fixed-point vector sums and differences, the plane through three points, the angle between
// two directions in a coordinate plane, a point's distance from a plane, and the rounded mean of
// three 16-bit halves.
#pragma once

#include <cstdint>

#include "foundation/fixed.h"

// The plane a x + b y + c z + d = 0, in 16.16.
struct FixedPlane {
    Fixed a;
    Fixed b;
    Fixed c;
    Fixed d;
};

// Component-wise, with 32-bit wrap.
void Vector3Sub(FixedVector3* result, const FixedVector3& a, const FixedVector3& b);
void Vector3Add(FixedVector3* result, const FixedVector3& a, const FixedVector3& b);
FixedPoint Vector2Sub(FixedPoint a, FixedPoint b);
FixedPoint Vector2Add(FixedPoint a, FixedPoint b);

// The plane through the points (normal (p2 - p1) x (p3 - p1)), computed in double precision.
// Whenever |d|, then |a|, |b| or |c| exceeds 32767, all four are divided so that it becomes
// plus or minus 32767.
void PlaneFromPointsScaled(const FixedVector3& p1, const FixedVector3& p2, const FixedVector3& p3, FixedPlane* plane);

// The coordinate plane of PlaneAngle: 1 (y, z), 2 (x, z), 3 (x, y); the result goes into the
// matching component x, y or z.
constexpr int32_t kPlaneAboutX = 1;
constexpr int32_t kPlaneAboutY = 2;
constexpr int32_t kPlaneAboutZ = 3;
// The angle of the first direction less that of the second, less pi, within (-pi, pi], both
// taken in the selected coordinate plane (16.16 radians): equal directions give pi, opposite
// ones 0. The other components are 0; a selector outside 1..3 gives a zero triple.
void PlaneAngle(FixedVector3* result, const FixedVector3& first, const FixedVector3& second, int32_t selector);

// (a x + b y + c z + d) / |(a, b, c)| in 16.16; 32767 for a zero normal.
Fixed PointPlaneDistance(const FixedVector3& point, const FixedPlane& plane);

// (high half of a + low half of a + low half of b + 0x8000) >> 2, the halves unsigned.
int32_t MeanOfHalves(int32_t a, int32_t b);
