// Whole-degree trigonometry from the toolkit's table of sines scaled by 128: sine and cosine of
// any angle, the direction of a vector, and the vertices of a regular polygon.
#pragma once

#include <cstdint>

class DynamicArray;

constexpr int32_t kSineTableSize = 361;
// Entry d: 128 x sin(d degrees) cut toward zero and kept within -127..127 (entries 150 and 210
// are 64 and -63). A product with an entry is scaled back by (v x r + 64) >> 7.
extern const int8_t SineTable[kSineTableSize];

// Any angle reduced into 0..359 degrees.
int32_t ReduceDegrees(int64_t degrees);
// The table's sine and cosine of the angle, reduced first.
void SinCosDegrees(int32_t degrees, int32_t* sine, int32_t* cosine);
// The direction of (x, y) in whole degrees (rounded), 0..359; the zero vector gives 270.
int32_t VectorAngleDegrees(int32_t x, int32_t y);
// The offset of a radius r along the table value: (v x r + 64) >> 7.
int32_t ScaleBySine(int32_t value, int32_t radius);
// A new array of n IntPoints: vertex k at the angle start + k x 360 / n (degrees, counter-clockwise
// with y pointing down the screen), (cx + cos x r, cy - sin x r) by the table. Null when n < 1 or
// out of memory.
DynamicArray* RegularPolygonPoints(int32_t count, int32_t centreX, int32_t centreY, int32_t radius,
                                   int32_t startDegrees);
