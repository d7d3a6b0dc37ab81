// Vector sums, planes through points, angles in coordinate planes and distances from planes.
#include "toolkit/vector_math.h"

#include <cmath>
#include <initializer_list>

#include "foundation/fixed.h"

namespace {

constexpr double kPlaneLimit = 32767;
constexpr uint32_t kHalfMask = 0xFFFF;
constexpr uint32_t kMeanRounding = 0x8000;
constexpr int32_t kMeanShift = 2;

struct Vector {
    double x;
    double y;
    double z;
};

Vector ToDouble(const FixedVector3& v)
{
    return {Fix2X(v.x), Fix2X(v.y), Fix2X(v.z)};
}

// Divides all four values so that the one at `index` becomes plus or minus the limit, when it
// exceeds it.
void LimitPlane(double* values, int32_t index)
{
    const double magnitude = std::fabs(values[index]);
    if (magnitude <= kPlaneLimit) return;
    for (int32_t i = 0; i < 4; ++i) values[i] = values[i] / magnitude * kPlaneLimit;
    values[index] = std::copysign(kPlaneLimit, values[index]);
}

}  // namespace

void Vector3Sub(FixedVector3* result, const FixedVector3& a, const FixedVector3& b)
{
    *result = {FixSub(a.x, b.x), FixSub(a.y, b.y), FixSub(a.z, b.z)};
}

void Vector3Add(FixedVector3* result, const FixedVector3& a, const FixedVector3& b)
{
    *result = {FixAdd(a.x, b.x), FixAdd(a.y, b.y), FixAdd(a.z, b.z)};
}

FixedPoint Vector2Sub(FixedPoint a, FixedPoint b)
{
    return {FixSub(a.x, b.x), FixSub(a.y, b.y)};
}

FixedPoint Vector2Add(FixedPoint a, FixedPoint b)
{
    return {FixAdd(a.x, b.x), FixAdd(a.y, b.y)};
}

void PlaneFromPointsScaled(const FixedVector3& p1, const FixedVector3& p2, const FixedVector3& p3, FixedPlane* plane)
{
    const Vector a = ToDouble(p1);
    const Vector b = ToDouble(p2);
    const Vector c = ToDouble(p3);
    const Vector u = {b.x - a.x, b.y - a.y, b.z - a.z};
    const Vector v = {c.x - a.x, c.y - a.y, c.z - a.z};
    const Vector normal = {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    double values[4] = {normal.x, normal.y, normal.z, -(normal.x * a.x + normal.y * a.y + normal.z * a.z)};
    for (int32_t i : {3, 0, 1, 2}) LimitPlane(values, i);
    *plane = {X2Fix(values[0]), X2Fix(values[1]), X2Fix(values[2]), X2Fix(values[3])};
}

void PlaneAngle(FixedVector3* result, const FixedVector3& first, const FixedVector3& second, int32_t selector)
{
    *result = {0, 0, 0};
    const Vector p = ToDouble(first);
    const Vector q = ToDouble(second);
    double angle;
    switch (selector) {
    case kPlaneAboutX: angle = std::atan2(p.z, p.y) - std::atan2(q.z, q.y); break;
    case kPlaneAboutY: angle = std::atan2(p.z, p.x) - std::atan2(q.z, q.x); break;
    case kPlaneAboutZ: angle = std::atan2(p.y, p.x) - std::atan2(q.y, q.x); break;
    default: return;
    }
    angle -= kPi;
    while (angle <= -kPi) angle += 2 * kPi;
    while (angle > kPi) angle -= 2 * kPi;
    const Fixed value = X2Fix(angle);
    if (selector == kPlaneAboutX) result->x = value;
    if (selector == kPlaneAboutY) result->y = value;
    if (selector == kPlaneAboutZ) result->z = value;
}

Fixed PointPlaneDistance(const FixedVector3& point, const FixedPlane& plane)
{
    const Vector p = ToDouble(point);
    const double a = Fix2X(plane.a);
    const double b = Fix2X(plane.b);
    const double c = Fix2X(plane.c);
    const double length = std::sqrt(a * a + b * b + c * c);
    if (length == 0) return IntToFixed(int32_t(kPlaneLimit));
    return X2Fix((a * p.x + b * p.y + c * p.z + Fix2X(plane.d)) / length);
}

int32_t MeanOfHalves(int32_t a, int32_t b)
{
    const uint32_t ua = uint32_t(a);
    const uint32_t ub = uint32_t(b);
    return int32_t(((ua >> 16) + (ua & kHalfMask) + (ub & kHalfMask) + kMeanRounding) >> kMeanShift);
}
