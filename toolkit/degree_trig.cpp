// The table of sines in whole degrees and what is computed from it.
#include "toolkit/degree_trig.h"

#include <cmath>

#include "foundation/dynamic_array.h"
#include "foundation/fixed.h"
#include "foundation/planar_geometry.h"

namespace {

constexpr int32_t kFullTurn = 360;
constexpr int32_t kQuarterTurn = 90;
// The zero vector has no direction; it counts as pointing straight down.
constexpr int32_t kZeroVectorAngle = 270;
constexpr int32_t kSineScaleShift = 7;
constexpr int64_t kSineRounding = 64;

}  // namespace

const int8_t SineTable[kSineTableSize] = {
    0, 2, 4, 6, 8, 11, 13, 15, 17, 20, 22, 24, 26, 28, 30,
    33, 35, 37, 39, 41, 43, 45, 47, 50, 52, 54, 56, 58, 60, 62,
    63, 65, 67, 69, 71, 73, 75, 77, 78, 80, 82, 83, 85, 87, 88,
    90, 92, 93, 95, 96, 98, 99, 100, 102, 103, 104, 106, 107, 108, 109,
    110, 111, 113, 114, 115, 116, 116, 117, 118, 119, 120, 121, 121, 122, 123,
    123, 124, 124, 125, 125, 126, 126, 126, 127, 127, 127, 127, 127, 127, 127,
    127, 127, 127, 127, 127, 127, 127, 127, 126, 126, 126, 125, 125, 124, 124,
    123, 123, 122, 121, 121, 120, 119, 118, 117, 116, 116, 115, 114, 113, 111,
    110, 109, 108, 107, 106, 104, 103, 102, 100, 99, 98, 96, 95, 93, 92,
    90, 88, 87, 85, 83, 82, 80, 78, 77, 75, 73, 71, 69, 67, 65,
    64, 62, 60, 58, 56, 54, 52, 50, 47, 45, 43, 41, 39, 37, 35,
    33, 30, 28, 26, 24, 22, 20, 17, 15, 13, 11, 8, 6, 4, 2,
    0, -2, -4, -6, -8, -11, -13, -15, -17, -20, -22, -24, -26, -28, -30,
    -33, -35, -37, -39, -41, -43, -45, -47, -50, -52, -54, -56, -58, -60, -62,
    -63, -65, -67, -69, -71, -73, -75, -77, -78, -80, -82, -83, -85, -87, -88,
    -90, -92, -93, -95, -96, -98, -99, -100, -102, -103, -104, -106, -107, -108, -109,
    -110, -111, -113, -114, -115, -116, -116, -117, -118, -119, -120, -121, -121, -122, -123,
    -123, -124, -124, -125, -125, -126, -126, -126, -127, -127, -127, -127, -127, -127, -127,
    -127, -127, -127, -127, -127, -127, -127, -127, -126, -126, -126, -125, -125, -124, -124,
    -123, -123, -122, -121, -121, -120, -119, -118, -117, -116, -116, -115, -114, -113, -111,
    -110, -109, -108, -107, -106, -104, -103, -102, -100, -99, -98, -96, -95, -93, -92,
    -90, -88, -87, -85, -83, -82, -80, -78, -77, -75, -73, -71, -69, -67, -65,
    -64, -62, -60, -58, -56, -54, -52, -50, -47, -45, -43, -41, -39, -37, -35,
    -33, -30, -28, -26, -24, -22, -20, -17, -15, -13, -11, -8, -6, -4, -2,
    0,
};

int32_t ReduceDegrees(int64_t degrees)
{
    const int64_t reduced = degrees % kFullTurn;
    return int32_t(reduced < 0 ? reduced + kFullTurn : reduced);
}

void SinCosDegrees(int32_t degrees, int32_t* sine, int32_t* cosine)
{
    const int32_t d = ReduceDegrees(degrees);
    *sine = SineTable[d];
    *cosine = SineTable[ReduceDegrees(int64_t(d) + kQuarterTurn)];
}

int32_t VectorAngleDegrees(int32_t x, int32_t y)
{
    if (x == 0 && y == 0) return kZeroVectorAngle;
    const double degrees = std::atan2(double(y), double(x)) * (kFullTurn / 2) / kPi;
    return ReduceDegrees(std::lround(degrees));
}

int32_t ScaleBySine(int32_t value, int32_t radius)
{
    return int32_t((int64_t(value) * radius + kSineRounding) >> kSineScaleShift);
}

DynamicArray* RegularPolygonPoints(int32_t count, int32_t centreX, int32_t centreY, int32_t radius,
                                   int32_t startDegrees)
{
    if (count < 1) return nullptr;
    DynamicArray* points = NewDynamicArray(0, sizeof(IntPoint), count);
    if (!points) return nullptr;
    for (int32_t k = 0; k < count; ++k) {
        int32_t sine;
        int32_t cosine;
        SinCosDegrees(ReduceDegrees(startDegrees + int64_t(k) * kFullTurn / count), &sine, &cosine);
        const IntPoint point = {int32_t(int64_t(centreX) + ScaleBySine(cosine, radius)),
                                int32_t(int64_t(centreY) - ScaleBySine(sine, radius))};
        if (points->Append(&point) < 0) {
            points->Destroy();
            return nullptr;
        }
    }
    return points;
}
