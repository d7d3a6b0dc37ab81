// FixedMatrix3: the scratch 3x3 fixed-point matrix through which transforms compose rotations,
// shears and scales and split the product back into scale, shear and rotation; with the small
// 3-vector operations the split uses.
#pragma once

#include <cstdint>

#include "foundation/fixed.h"

// Axis numbers of the rotation operations.
constexpr int32_t kAxisX = 1;
constexpr int32_t kAxisY = 2;
constexpr int32_t kAxisZ = 3;

// Points are row vectors multiplied on the left (p' = p M). A transform with angles (ay, ax, az)
// is M = Rz(az) x Rx(ax) x Ry(ay): a point is rotated about Z first, then X, then Y.
// A plain record: make it on the stack or with NewFixedMatrix3, and call MatrixInit first.
struct FixedMatrix3 {
    Fixed Elements[3][3];
    Fixed Scale[3];     // found by MatrixDecompose; initially 1.0
    Fixed Shear[3];     // xy, xz, yz, found by MatrixDecompose; initially 0
    Fixed Rotation[3];  // radians about Y, X, Z, found by MatrixDecompose; initially 0
    uint8_t ShapeChanged;     // a scale or shear was multiplied in: recompute Scale and Shear
    uint8_t RotationChanged;  // a scale, shear or rotation was multiplied in: recompute Rotation

    // Identity elements, unit scale, no shear or rotation, both flags clear.
    void MatrixInit();
    // Releases a record made by NewFixedMatrix3.
    void MatrixFree();
    void MatrixSetIdentity();
    // Nine values, row by row.
    void MatrixSet(const Fixed (&values)[9]);
    // M = M x other; sums within one ulp of 0, 1.0 or -1.0 snap to them.
    void MatrixMultiply(const FixedMatrix3& other);
    void MatrixScale(Fixed sx, Fixed sy, Fixed sz);
    // x' = x + a y + b z, y' = y + c z.
    void MatrixShear(Fixed a, Fixed b, Fixed c);
    void MatrixRotate(Fixed angle, int32_t axis);
    void MatrixRotateSinCos(Fixed sine, Fixed cosine, int32_t axis);
    // Fills Scale and Shear (when ShapeChanged) and Rotation (when RotationChanged) from the
    // elements, normalising the rows; the flags stay as they are.
    void MatrixDecompose();
    Fixed* MatrixDeterminant(Fixed* out) const;
    Fixed* MatrixGetScale(Fixed (&out)[3]) const;
    Fixed* MatrixGetShear(Fixed (&out)[3]) const;
    Fixed* MatrixGetRotation(Fixed (&out)[3]) const;
};

// A heap record, zero-filled and initialised; null when there is no memory.
FixedMatrix3* NewFixedMatrix3();

// Operations on vectors of three Fixed values.
Fixed VectorLength(const Fixed (&v)[3]);
void VectorDivide(Fixed (&v)[3], Fixed divisor);
Fixed VectorDot(const Fixed (&a)[3], const Fixed (&b)[3]);
// dst += src x k, component by component.
void VectorAddScaled(Fixed (&dst)[3], const Fixed (&src)[3], Fixed k);

// Lengths in double precision.
double VectorLengthShort(const int16_t (&v)[3]);
double VectorLengthDouble(const double (&v)[3]);
