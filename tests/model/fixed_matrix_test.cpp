// FixedMatrix3: composing rotations, shears and scales and splitting them again.
#include "model/fixed_matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

constexpr Fixed F(double x) { return Fixed(x * 65536.0); }

FixedMatrix3 Identity()
{
    FixedMatrix3 m;
    m.MatrixInit();
    return m;
}

// The matrix of scale, shear and rotation (about Z, then X, then Y) in doubles.
void Compose(const double (&scale)[3], const double (&shear)[3], const double (&angles)[3],
             double (&out)[3][3])
{
    const double d[3][3] = {{scale[0], 0, 0}, {0, scale[1], 0}, {0, 0, scale[2]}};
    const double s[3][3] = {{1, 0, 0}, {shear[0], 1, 0}, {shear[1], shear[2], 1}};
    const double cy = std::cos(angles[0]), sy = std::sin(angles[0]);
    const double cx = std::cos(angles[1]), sx = std::sin(angles[1]);
    const double cz = std::cos(angles[2]), sz = std::sin(angles[2]);
    const double rz[3][3] = {{cz, sz, 0}, {-sz, cz, 0}, {0, 0, 1}};
    const double rx[3][3] = {{1, 0, 0}, {0, cx, sx}, {0, -sx, cx}};
    const double ry[3][3] = {{cy, 0, -sy}, {0, 1, 0}, {sy, 0, cy}};
    const double(*factors[5])[3] = {d, s, rz, rx, ry};
    double m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (auto factor : factors) {
        double t[3][3] = {};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                for (int k = 0; k < 3; ++k) t[i][j] += m[i][k] * factor[k][j];
        std::memcpy(m, t, sizeof m);
    }
    std::memcpy(out, m, sizeof m);
}

bool Same(const FixedMatrix3& a, const FixedMatrix3& b)
{
    return std::memcmp(a.Elements, b.Elements, sizeof a.Elements) == 0 &&
           std::memcmp(a.Scale, b.Scale, sizeof a.Scale) == 0 &&
           std::memcmp(a.Shear, b.Shear, sizeof a.Shear) == 0 &&
           std::memcmp(a.Rotation, b.Rotation, sizeof a.Rotation) == 0 &&
           a.ShapeChanged == b.ShapeChanged && a.RotationChanged == b.RotationChanged;
}

void ExpectElementsNear(const FixedMatrix3& m, const double (&expected)[3][3], double tolerance)
{
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(Fix2X(m.Elements[i][j]), expected[i][j], tolerance) << i << "," << j;
}

TEST(FixedMatrix, IdentityFactorsChangeNothing)
{
    FixedMatrix3 m = Identity();
    m.MatrixRotate(0, kAxisZ);
    m.MatrixRotateSinCos(0, kFixedOne, kAxisX);
    m.MatrixScale(kFixedOne, kFixedOne, kFixedOne);
    m.MatrixShear(0, 0, 0);
    const FixedMatrix3 reference = Identity();
    EXPECT_TRUE(Same(m, reference));
    EXPECT_EQ(m.ShapeChanged, 0);
    EXPECT_EQ(m.RotationChanged, 0);
    // An axis outside 1 to 3 is ignored.
    m.MatrixRotate(F(0.5), 0);
    m.MatrixRotate(F(0.5), 4);
    EXPECT_TRUE(Same(m, reference));
}

TEST(FixedMatrix, QuarterTurnsSnapToExactValues)
{
    FixedMatrix3 m = Identity();
    m.MatrixRotate(X2Fix(kPi / 2), kAxisZ);
    const Fixed z[3][3] = {{0, kFixedOne, 0}, {-kFixedOne, 0, 0}, {0, 0, kFixedOne}};
    EXPECT_EQ(std::memcmp(m.Elements, z, sizeof z), 0);
    EXPECT_EQ(m.RotationChanged, 1);
    EXPECT_EQ(m.ShapeChanged, 0);
    m.MatrixRotate(X2Fix(kPi / 2), kAxisX);
    m.MatrixRotate(X2Fix(kPi / 2), kAxisY);
    for (auto& row : m.Elements)
        for (Fixed v : row) EXPECT_TRUE(v == 0 || v == kFixedOne || v == -kFixedOne) << v;
}

TEST(FixedMatrix, ScaleAndShearSetBothFlags)
{
    FixedMatrix3 m = Identity();
    m.MatrixShear(F(0.5), 0, 0);
    EXPECT_EQ(m.ShapeChanged, 1);
    EXPECT_EQ(m.RotationChanged, 1);
    EXPECT_EQ(m.Elements[1][0], F(0.5));
    FixedMatrix3 n = Identity();
    n.MatrixScale(F(2.0), F(3.0), F(-1.0));
    EXPECT_EQ(n.ShapeChanged, 1);
    EXPECT_EQ(n.Elements[0][0], F(2.0));
    EXPECT_EQ(n.Elements[2][2], F(-1.0));
    Fixed det;
    EXPECT_EQ(*n.MatrixDeterminant(&det), F(-6.0));
}

TEST(FixedMatrix, DecomposesRotationsOnly)
{
    FixedMatrix3 m = Identity();
    m.MatrixRotate(F(0.3), kAxisZ);
    m.MatrixRotate(F(0.2), kAxisX);
    m.MatrixRotate(F(0.1), kAxisY);
    m.Scale[0] = F(5.0);  // not recomputed: no scale or shear went in
    m.Shear[1] = F(0.25);
    m.MatrixDecompose();
    Fixed rotation[3], scale[3], shear[3];
    m.MatrixGetRotation(rotation);
    EXPECT_NEAR(Fix2X(rotation[0]), 0.1, 1e-4);
    EXPECT_NEAR(Fix2X(rotation[1]), 0.2, 1e-4);
    EXPECT_NEAR(Fix2X(rotation[2]), 0.3, 1e-4);
    EXPECT_EQ(m.MatrixGetScale(scale)[0], F(5.0));
    EXPECT_EQ(m.MatrixGetShear(shear)[1], F(0.25));

    m.ShapeChanged = 1;
    m.MatrixDecompose();
    m.MatrixGetScale(scale);
    for (Fixed s : scale) EXPECT_NEAR(Fix2X(s), 1.0, 1e-4);
    EXPECT_NEAR(Fix2X(m.Rotation[2]), 0.3, 1e-4);
}

TEST(FixedMatrix, DecomposesScaleShearAndRotation)
{
    const double scale[3] = {2.0, 3.0, 0.5}, shear[3] = {0.25, -0.5, 0.75};
    const double angles[3] = {0.7, -0.4, 2.5};
    FixedMatrix3 m = Identity();
    m.MatrixScale(X2Fix(scale[0]), X2Fix(scale[1]), X2Fix(scale[2]));
    m.MatrixShear(X2Fix(shear[0]), X2Fix(shear[1]), X2Fix(shear[2]));
    m.MatrixRotate(X2Fix(angles[2]), kAxisZ);
    m.MatrixRotate(X2Fix(angles[1]), kAxisX);
    m.MatrixRotate(X2Fix(angles[0]), kAxisY);
    double expected[3][3];
    Compose(scale, shear, angles, expected);
    ExpectElementsNear(m, expected, 1e-3);
    m.MatrixDecompose();
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(Fix2X(m.Scale[i]), scale[i], 1e-3) << i;
        EXPECT_NEAR(Fix2X(m.Shear[i]), shear[i], 1e-3) << i;
        EXPECT_NEAR(Fix2X(m.Rotation[i]), angles[i], 1e-3) << i;
    }
}

TEST(FixedMatrix, MirrorsComeOutAsNegatedRowsAndScales)
{
    FixedMatrix3 m = Identity();
    m.MatrixScale(F(-2.0), kFixedOne, kFixedOne);
    m.MatrixRotate(F(0.5), kAxisZ);
    const FixedMatrix3 before = m;
    m.MatrixDecompose();
    EXPECT_NEAR(Fix2X(m.Scale[0]), -2.0, 1e-4);
    EXPECT_NEAR(Fix2X(m.Scale[1]), -1.0, 1e-4);
    EXPECT_EQ(m.Scale[2], F(-1.0));
    // Rows: the first one divided by -2, the others negated.
    for (int j = 0; j < 3; ++j) {
        EXPECT_NEAR(Fix2X(m.Elements[0][j]), Fix2X(before.Elements[0][j]) / -2.0, 1e-4);
        EXPECT_NEAR(Fix2X(m.Elements[1][j]), -Fix2X(before.Elements[1][j]), 1e-4);
        EXPECT_NEAR(Fix2X(m.Elements[2][j]), -Fix2X(before.Elements[2][j]), 1e-4);
    }
    // Scale, shear and rotation found give back the matrix.
    double angles[3], scale[3], shear[3], expected[3][3];
    for (int i = 0; i < 3; ++i) {
        angles[i] = Fix2X(m.Rotation[i]), scale[i] = Fix2X(m.Scale[i]), shear[i] = Fix2X(m.Shear[i]);
    }
    Compose(scale, shear, angles, expected);
    ExpectElementsNear(before, expected, 1e-3);
}

TEST(FixedMatrix, QuarterTurnAboutXTakesTheGimbalBranch)
{
    for (double x : {kPi / 2, -kPi / 2}) {
        FixedMatrix3 m = Identity();
        m.MatrixRotate(F(0.4), kAxisZ);
        m.MatrixRotate(X2Fix(x), kAxisX);
        m.MatrixRotate(F(0.3), kAxisY);
        const FixedMatrix3 before = m;
        m.MatrixDecompose();
        EXPECT_EQ(m.Rotation[0], 0);
        EXPECT_NEAR(Fix2X(m.Rotation[1]), x, 1e-3);
        double angles[3] = {0, Fix2X(m.Rotation[1]), Fix2X(m.Rotation[2])}, expected[3][3];
        Compose({1, 1, 1}, {0, 0, 0}, angles, expected);
        ExpectElementsNear(before, expected, 1e-3);
    }
}

TEST(FixedMatrix, LargeScalesDecomposeWithoutWrapping)
{
    FixedMatrix3 m = Identity();
    m.MatrixScale(F(200.0), F(1000.0), F(0.01));
    m.MatrixRotate(F(1.0), kAxisZ);
    m.MatrixDecompose();
    EXPECT_NEAR(Fix2X(m.Scale[0]), 200.0, 0.01);
    EXPECT_NEAR(Fix2X(m.Scale[1]), 1000.0, 0.05);
    EXPECT_NEAR(Fix2X(m.Scale[2]), 0.01, 5e-4);  // squares of 16.16 values this small are coarse
    EXPECT_NEAR(Fix2X(m.Rotation[2]), 1.0, 1e-3);
}

TEST(FixedMatrix, HeapRecordsStartInitialised)
{
    FixedMatrix3* m = NewFixedMatrix3();
    ASSERT_NE(m, nullptr);
    const FixedMatrix3 reference = Identity();
    EXPECT_TRUE(Same(*m, reference));
    m->MatrixFree();
}

TEST(FixedVectors, LengthsDotsAndScaledSums)
{
    const Fixed v[3] = {F(3.0), F(4.0), F(12.0)};
    EXPECT_EQ(VectorLength(v), F(13.0));
    const Fixed big[3] = {F(300.0), F(400.0), 0};  // squares beyond the 16.16 range
    EXPECT_EQ(VectorLength(big), F(500.0));
    Fixed w[3] = {F(2.0), F(-4.0), F(1.0)};
    EXPECT_EQ(VectorDot(v, w), F(2.0));
    VectorDivide(w, F(2.0));
    EXPECT_EQ(w[1], F(-2.0));
    VectorAddScaled(w, v, F(0.5));
    EXPECT_EQ(w[0], F(2.5));
    EXPECT_EQ(w[2], F(6.5));
    const int16_t s[3] = {-3, 4, 12};
    EXPECT_EQ(VectorLengthShort(s), 13.0);
    const double d[3] = {1.5, 2.0, 0.0};
    EXPECT_EQ(VectorLengthDouble(d), 2.5);
}

}  // namespace
