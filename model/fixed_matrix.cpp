// FixedMatrix3: composing and splitting rotation, shear and scale in 16.16 fixed point.
#include "model/fixed_matrix.h"

#include <cmath>
#include <new>

namespace {

// Sums within one ulp of 0, 1.0 or -1.0 become exactly that.
Fixed Snap(Fixed v)
{
    if (v == -65535 || v == -65537) v = -65536;
    if (v == 1 || v == -1) v = 0;
    if (v == 65535 || v == 65537) v = 65536;
    return v;
}

// The rotation about an axis works in the plane of coordinates i = axis and j = axis + 1,
// each reduced by 3.
constexpr int32_t PlaneFirst(int32_t axis) { return axis % 3; }
constexpr int32_t PlaneSecond(int32_t axis) { return (axis + 1) % 3; }

}  // namespace

FixedMatrix3* NewFixedMatrix3()
{
    auto* matrix = new (std::nothrow) FixedMatrix3{};
    if (matrix) matrix->MatrixInit();
    return matrix;
}

void FixedMatrix3::MatrixInit()
{
    MatrixSetIdentity();
    for (int32_t i = 0; i < 3; ++i) {
        Scale[i] = kFixedOne;
        Shear[i] = 0;
        Rotation[i] = 0;
    }
    ShapeChanged = 0;
    RotationChanged = 0;
}

void FixedMatrix3::MatrixFree() { delete this; }

void FixedMatrix3::MatrixSetIdentity()
{
    for (int32_t i = 0; i < 3; ++i)
        for (int32_t j = 0; j < 3; ++j) Elements[i][j] = i == j ? kFixedOne : 0;
}

void FixedMatrix3::MatrixSet(const Fixed (&values)[9])
{
    for (int32_t i = 0; i < 9; ++i) Elements[i / 3][i % 3] = values[i];
}

void FixedMatrix3::MatrixMultiply(const FixedMatrix3& other)
{
    Fixed product[9];
    for (int32_t i = 0; i < 3; ++i) {
        for (int32_t j = 0; j < 3; ++j) {
            const Fixed first = FixMul(Elements[i][0], other.Elements[0][j]);
            const Fixed second = FixMul(Elements[i][1], other.Elements[1][j]);
            const Fixed third = FixMul(Elements[i][2], other.Elements[2][j]);
            product[i * 3 + j] = Snap(FixAdd(first, FixAdd(second, third)));
        }
    }
    MatrixSet(product);
}

void FixedMatrix3::MatrixScale(Fixed sx, Fixed sy, Fixed sz)
{
    if (sx == kFixedOne && sy == kFixedOne && sz == kFixedOne) return;
    FixedMatrix3 factor;
    factor.MatrixInit();
    factor.Elements[0][0] = sx;
    factor.Elements[1][1] = sy;
    factor.Elements[2][2] = sz;
    MatrixMultiply(factor);
    ShapeChanged = 1;
    RotationChanged = 1;
}

void FixedMatrix3::MatrixShear(Fixed a, Fixed b, Fixed c)
{
    if (a == 0 && b == 0 && c == 0) return;
    FixedMatrix3 factor;
    factor.MatrixInit();
    factor.Elements[1][0] = a;
    factor.Elements[2][0] = b;
    factor.Elements[2][1] = c;
    MatrixMultiply(factor);
    ShapeChanged = 1;
    RotationChanged = 1;
}

void FixedMatrix3::MatrixRotate(Fixed angle, int32_t axis)
{
    if (angle == 0) return;
    const double radians = Fix2X(angle);
    MatrixRotateSinCos(X2Fix(std::sin(radians)), X2Fix(std::cos(radians)), axis);
}

void FixedMatrix3::MatrixRotateSinCos(Fixed sine, Fixed cosine, int32_t axis)
{
    if (sine == 0 && cosine == kFixedOne) return;
    if (axis < kAxisX || axis > kAxisZ) return;
    const int32_t i = PlaneFirst(axis), j = PlaneSecond(axis);
    FixedMatrix3 factor;
    factor.MatrixInit();
    factor.Elements[i][i] = cosine;
    factor.Elements[i][j] = sine;
    factor.Elements[j][i] = FixNeg(sine);
    factor.Elements[j][j] = cosine;
    MatrixMultiply(factor);
    RotationChanged = 1;
}

void FixedMatrix3::MatrixDecompose()
{
    Fixed(&row0)[3] = Elements[0];
    Fixed(&row1)[3] = Elements[1];
    Fixed(&row2)[3] = Elements[2];
    if (ShapeChanged) {
        // Gram-Schmidt: each row made unit length and freed of the rows above it.
        Scale[0] = VectorLength(row0);
        VectorDivide(row0, Scale[0]);
        Shear[0] = VectorDot(row0, row1);
        VectorAddScaled(row1, row0, FixNeg(Shear[0]));
        Scale[1] = VectorLength(row1);
        VectorDivide(row1, Scale[1]);
        Shear[0] = FixDiv(Shear[0], Scale[1]);
        Shear[1] = VectorDot(row0, row2);
        VectorAddScaled(row2, row0, FixNeg(Shear[1]));
        Shear[2] = VectorDot(row1, row2);
        VectorAddScaled(row2, row1, FixNeg(Shear[2]));
        Scale[2] = VectorLength(row2);
        VectorDivide(row2, Scale[2]);
        Shear[1] = FixDiv(Shear[1], Scale[2]);
        Shear[2] = FixDiv(Shear[2], Scale[2]);
        // A mirror: negative scales and a proper rotation.
        Fixed determinant;
        if (ShiftRightSigned(*MatrixDeterminant(&determinant), 16) < 0) {
            for (int32_t i = 0; i < 3; ++i) {
                for (int32_t j = 0; j < 3; ++j) Elements[i][j] = FixNeg(Elements[i][j]);
                Scale[i] = FixNeg(Scale[i]);
            }
        }
    }
    if (RotationChanged) {
        double sine = Fix2X(FixNeg(Elements[2][1]));
        sine = sine < -1.0 ? -1.0 : (sine > 1.0 ? 1.0 : sine);
        const double x = std::asin(sine);
        double y, z;
        if (x > -1.5607963267948965 && x < 1.5607963267948965) {
            z = std::atan2(double(Elements[0][1]), double(Elements[1][1]));
            y = std::atan2(double(Elements[2][0]), double(Elements[2][2]));
        } else {
            // Looking straight along Y: the Y angle folds into Z.
            y = 0.0;
            z = x > 0 ? std::atan2(double(Elements[0][2]), double(Elements[0][0]))
                      : std::atan2(double(FixNeg(Elements[0][2])), double(Elements[0][0]));
        }
        Rotation[0] = X2Fix(y);
        Rotation[1] = X2Fix(x);
        Rotation[2] = X2Fix(z);
    }
}

Fixed* FixedMatrix3::MatrixDeterminant(Fixed* out) const
{
    const Fixed(&m)[3][3] = Elements;
    const Fixed minor0 = FixSub(FixMul(m[1][1], m[2][2]), FixMul(m[2][1], m[1][2]));
    const Fixed minor1 = FixSub(FixMul(m[1][0], m[2][2]), FixMul(m[2][0], m[1][2]));
    const Fixed minor2 = FixSub(FixMul(m[1][0], m[2][1]), FixMul(m[2][0], m[1][1]));
    *out = FixAdd(FixSub(FixMul(m[0][0], minor0), FixMul(m[0][1], minor1)), FixMul(m[0][2], minor2));
    return out;
}

Fixed* FixedMatrix3::MatrixGetScale(Fixed (&out)[3]) const
{
    for (int32_t i = 0; i < 3; ++i) out[i] = Scale[i];
    return out;
}

Fixed* FixedMatrix3::MatrixGetShear(Fixed (&out)[3]) const
{
    for (int32_t i = 0; i < 3; ++i) out[i] = Shear[i];
    return out;
}

Fixed* FixedMatrix3::MatrixGetRotation(Fixed (&out)[3]) const
{
    for (int32_t i = 0; i < 3; ++i) out[i] = Rotation[i];
    return out;
}

Fixed VectorLength(const Fixed (&v)[3])
{
    // The squares rounded as FixMul rounds them, summed in 64 bits so that lengths of 181.0
    // and more do not wrap.
    int64_t sum = 0;
    for (Fixed c : v) sum += (int64_t(c) * c + 0x8000) >> 16;
    return X2Fix(SafeSqrt(double(sum) / 65536.0));
}

void VectorDivide(Fixed (&v)[3], Fixed divisor)
{
    for (Fixed& c : v) c = FixDiv(c, divisor);
}

Fixed VectorDot(const Fixed (&a)[3], const Fixed (&b)[3])
{
    return FixAdd(FixMul(a[0], b[0]), FixAdd(FixMul(a[1], b[1]), FixMul(a[2], b[2])));
}

void VectorAddScaled(Fixed (&dst)[3], const Fixed (&src)[3], Fixed k)
{
    for (int32_t i = 0; i < 3; ++i) dst[i] = FixAdd(dst[i], FixMul(src[i], k));
}

double VectorLengthShort(const int16_t (&v)[3])
{
    const double x = v[0], y = v[1], z = v[2];
    return std::sqrt(x * x + y * y + z * z);
}

double VectorLengthDouble(const double (&v)[3])
{
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}
