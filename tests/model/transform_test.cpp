// Transform: mapping points and back, composing changes, the 2-D and 1-D views and the stored
// forms.
#include "model/transform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "foundation/memory_stream.h"
#include "tests/foundation/stream_bytes.h"

namespace {

constexpr Fixed F(double x) { return Fixed(x * 65536.0); }

struct Point3 {
    double x, y, z;
};

using TransformPtr = std::unique_ptr<Transform>;

TransformPtr Make(const double (&position)[3], const double (&angles)[3], const double (&shear)[3],
                  const double (&scale)[3])
{
    TransformPtr t(new Transform);
    t->TransformInit();
    t->SetPosition(X2Fix(position[0]), X2Fix(position[1]), X2Fix(position[2]));
    t->SetRotation(X2Fix(angles[0]), X2Fix(angles[1]), X2Fix(angles[2]));
    t->SetShear(X2Fix(shear[0]), X2Fix(shear[1]), X2Fix(shear[2]));
    t->SetScale(X2Fix(scale[0]), X2Fix(scale[1]), X2Fix(scale[2]));
    return t;
}

// The mapping in doubles: scale, shear, rotation about Z, X, Y, translation.
Point3 Reference(const Transform& t, Point3 p)
{
    const auto d = [](Fixed v) { return Fix2X(v); };
    double x = p.x * d(t.Scale[0]), y = p.y * d(t.Scale[1]), z = p.z * d(t.Scale[2]);
    x += y * d(t.Shear[0]) + z * d(t.Shear[1]);
    y += z * d(t.Shear[2]);
    double s = std::sin(d(t.Rotation[2])), c = std::cos(d(t.Rotation[2]));
    double n = x * c - y * s;
    y = x * s + y * c, x = n;
    s = std::sin(d(t.Rotation[1])), c = std::cos(d(t.Rotation[1]));
    n = y * c - z * s;
    z = y * s + z * c, y = n;
    s = std::sin(d(t.Rotation[0])), c = std::cos(d(t.Rotation[0]));
    n = z * c - x * s;
    x = z * s + x * c, z = n;
    return {x + d(t.Position[0]), y + d(t.Position[1]), z + d(t.Position[2])};
}

Point3 Map(const Transform& t, Point3 p)
{
    FixedVector3 out;
    t.TransformPoint(&out, X2Fix(p.x), X2Fix(p.y), X2Fix(p.z));
    return {Fix2X(out.x), Fix2X(out.y), Fix2X(out.z)};
}

void ExpectNear(Point3 a, Point3 b, double tolerance)
{
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

bool SameParameters(const Transform& a, const Transform& b)
{
    return std::memcmp(a.Position, b.Position, sizeof a.Position) == 0 &&
           std::memcmp(a.Rotation, b.Rotation, sizeof a.Rotation) == 0 &&
           std::memcmp(a.Shear, b.Shear, sizeof a.Shear) == 0 &&
           std::memcmp(a.Scale, b.Scale, sizeof a.Scale) == 0 &&
           std::memcmp(a.Sines, b.Sines, sizeof a.Sines) == 0 &&
           std::memcmp(a.Cosines, b.Cosines, sizeof a.Cosines) == 0 &&
           std::memcmp(a.InverseScale, b.InverseScale, sizeof a.InverseScale) == 0;
}

// Transforms with shear and non-uniform (sometimes negative) scales.
std::vector<TransformPtr> RandomTransforms(uint32_t seed, int count)
{
    std::mt19937 random(seed);
    const auto uniform = [&](double low, double high) {
        return low + (high - low) * (random() / 4294967296.0);
    };
    std::vector<TransformPtr> transforms;
    for (int i = 0; i < count; ++i) {
        const double sign = i % 5 == 4 ? -1.0 : 1.0;
        transforms.push_back(Make({uniform(-50, 50), uniform(-50, 50), uniform(-50, 50)},
                                  {uniform(-3, 3), uniform(-1.4, 1.4), uniform(-3, 3)},
                                  {uniform(-0.8, 0.8), uniform(-0.8, 0.8), uniform(-0.8, 0.8)},
                                  {sign * uniform(0.3, 3), uniform(0.3, 3), uniform(0.3, 3)}));
    }
    return transforms;
}

TEST(Transform, ResetMapsEveryPointToItself)
{
    const TransformPtr owner = Make({5, 6, 7}, {1, 2, 3}, {0.5, 0.5, 0.5}, {2, 3, 4});
    Transform& t = *owner;
    t.TransformReset();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(t.Sines[i], 0);
        EXPECT_EQ(t.Cosines[i], kFixedOne);
        EXPECT_EQ(t.InverseScale[i], kFixedOne);
    }
    FixedVector3 out;
    t.TransformPoint(&out, 0x12345678, -0x7FFFFFFF, 1);
    EXPECT_EQ(out.x, 0x12345678);
    EXPECT_EQ(out.y, -0x7FFFFFFF);
    EXPECT_EQ(out.z, 1);
    t.InverseTransformPoint(&out, -5, 0x7FFFFFFF, 0);
    EXPECT_EQ(out.x, -5);
    EXPECT_EQ(out.y, 0x7FFFFFFF);
}

TEST(Transform, QuarterTurnsAboutEachAxis)
{
    ExpectNear(Map(*Make({0, 0, 0}, {0, 0, kPi / 2}, {0, 0, 0}, {1, 1, 1}), {1, 0, 0}), {0, 1, 0}, 1e-4);
    ExpectNear(Map(*Make({0, 0, 0}, {0, kPi / 2, 0}, {0, 0, 0}, {1, 1, 1}), {0, 1, 0}), {0, 0, 1}, 1e-4);
    ExpectNear(Map(*Make({0, 0, 0}, {kPi / 2, 0, 0}, {0, 0, 0}, {1, 1, 1}), {1, 0, 0}), {0, 0, -1}, 1e-4);
}

TEST(Transform, MapsLikeTheDoubleReferenceAndBack)
{
    std::mt19937 random(5);
    for (const TransformPtr& pointer : RandomTransforms(1, 200)) {
        const Transform& t = *pointer;
        const Point3 p = {int(random() % 200) - 100.0, int(random() % 200) - 100.0,
                          (random() % 4000) / 100.0 - 20.0};
        const Point3 mapped = Map(t, p);
        ExpectNear(mapped, Reference(t, p), 0.02);
        FixedVector3 back;
        t.InverseTransformPoint(&back, X2Fix(mapped.x), X2Fix(mapped.y), X2Fix(mapped.z));
        ExpectNear({Fix2X(back.x), Fix2X(back.y), Fix2X(back.z)}, p, 0.02);
    }
}

TEST(Transform, AppendComposesAndRemoveRestores)
{
    const std::vector<TransformPtr> firstList = RandomTransforms(2, 60), secondList = RandomTransforms(3, 60);
    for (size_t i = 0; i < firstList.size(); ++i) {
        const Transform& first = *firstList[i];
        const Transform& second = *secondList[i];
        Transform t;
        first.TransformCopyTo(&t);
        t.AppendTransform(&second);
        for (Point3 p : {Point3{1, 2, 3}, Point3{-7, 0.5, 4}, Point3{10, -10, 0}})
        {
            // 16.16 sines and the split of the composed matrix: about a part in a thousand.
            const Point3 expected = Reference(second, Reference(first, p));
            const double size = std::fabs(expected.x) + std::fabs(expected.y) + std::fabs(expected.z);
            ExpectNear(Map(t, p), expected, 0.05 + 1e-3 * size);
        }
        t.RemoveTransform(&second);
        // A mirror comes back as another split of the same matrix; the mappings compare below.
        const bool mirrored = first.Scale[0] < 0 || second.Scale[0] < 0;
        for (int k = 0; k < 3 && !mirrored; ++k) {
            EXPECT_NEAR(Fix2X(t.Position[k]), Fix2X(first.Position[k]), 0.05) << i;
            EXPECT_NEAR(Fix2X(t.Shear[k]), Fix2X(first.Shear[k]), 0.01) << i;
            EXPECT_NEAR(Fix2X(t.Scale[k]), Fix2X(first.Scale[k]), 0.01) << i;
        }
        // Angles may come back as another triple of the same rotation: compare mappings.
        for (Point3 p : {Point3{1, 0, 0}, Point3{0, 1, 0}, Point3{0, 0, 1}})
            ExpectNear(Map(t, p), Map(first, p), 0.05);
    }
}

TEST(Transform, IdentityChangesLeaveEveryBit)
{
    for (const TransformPtr& pointer : RandomTransforms(4, 10)) {
        const Transform& original = *pointer;
        Transform t;
        original.TransformCopyTo(&t);
        t.RotateAbout(0, 0, 0, F(3), F(4), F(5));
        t.ScaleAbout(kFixedOne, kFixedOne, kFixedOne, F(3), F(4), F(5));
        t.ShearAbout(0, 0, 0, F(3), F(4), F(5));
        t.UnrotateAbout(0, 0, 0, F(3), F(4), F(5));
        t.UnscaleAbout(kFixedOne, kFixedOne, kFixedOne, F(3), F(4), F(5));
        t.UnshearAbout(0, 0, 0, F(3), F(4), F(5));
        t.Rotate2D(0, F(1), F(1));
        t.Shear2D(0, F(1), F(1));
        t.Scale2D(kFixedOne, kFixedOne, F(1), F(1));
        t.Scale1D(kFixedOne, F(1));
        EXPECT_TRUE(SameParameters(t, original));
    }
}

TEST(Transform, ChangesAboutACentreMoveThePositionAroundIt)
{
    Transform t;
    t.TransformInit();
    t.RotateAbout(0, 0, X2Fix(kPi), kFixedOne, 0, 0);
    ExpectNear({Fix2X(t.Position[0]), Fix2X(t.Position[1]), Fix2X(t.Position[2])}, {2, 0, 0}, 1e-3);

    // Each change equals the old mapping followed by the change about the centre; its undo
    // about the same centre gives the old mapping back.
    const Point3 centre = {3, -2, 5};
    const Point3 points[] = {{1, 2, 3}, {-4, 0, 2}};
    for (const TransformPtr& pointer : RandomTransforms(6, 20)) {
        const Transform& original = *pointer;
        Transform rotated, sheared, scaled;
        original.TransformCopyTo(&rotated);
        original.TransformCopyTo(&sheared);
        original.TransformCopyTo(&scaled);
        const Fixed cx = X2Fix(centre.x), cy = X2Fix(centre.y), cz = X2Fix(centre.z);
        rotated.RotateAbout(F(0.5), F(-0.3), F(1.2), cx, cy, cz);
        sheared.ShearAbout(F(0.2), F(-0.4), F(0.3), cx, cy, cz);
        scaled.ScaleAbout(F(2.0), F(0.5), F(-1.5), cx, cy, cz);
        const TransformPtr rotation = Make({0, 0, 0}, {0.5, -0.3, 1.2}, {0, 0, 0}, {1, 1, 1});
        const TransformPtr shear = Make({0, 0, 0}, {0, 0, 0}, {0.2, -0.4, 0.3}, {1, 1, 1});
        const TransformPtr scale = Make({0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {2.0, 0.5, -1.5});
        for (Point3 p : points) {
            const auto about = [&](const Transform& change, Point3 q) {
                const Point3 r = Reference(change, {q.x - centre.x, q.y - centre.y, q.z - centre.z});
                return Point3{r.x + centre.x, r.y + centre.y, r.z + centre.z};
            };
            const Point3 before = Reference(original, p);
            ExpectNear(Map(rotated, p), about(*rotation, before), 0.05);
            ExpectNear(Map(sheared, p), about(*shear, before), 0.05);
            ExpectNear(Map(scaled, p), about(*scale, before), 0.1);
        }
        rotated.UnrotateAbout(F(0.5), F(-0.3), F(1.2), cx, cy, cz);
        sheared.UnshearAbout(F(0.2), F(-0.4), F(0.3), cx, cy, cz);
        scaled.UnscaleAbout(F(2.0), F(0.5), F(-1.5), cx, cy, cz);
        for (Point3 p : points) {
            ExpectNear(Map(rotated, p), Map(original, p), 0.05);
            ExpectNear(Map(sheared, p), Map(original, p), 0.05);
            ExpectNear(Map(scaled, p), Map(original, p), 0.1);
        }
    }
}

TEST(Transform, ZeroScaleGivesTheDivisionByZeroReciprocal)
{
    Transform t;
    t.TransformInit();
    t.SetScale(0, F(2.0), F(-4.0));
    EXPECT_EQ(t.InverseScale[0], 0x7FFFFFFF);
    EXPECT_EQ(t.InverseScale[1], F(0.5));
    EXPECT_EQ(t.InverseScale[2], F(-0.25));
}

TEST(Transform2D, SettersReplaceTheWholeVectors)
{
    const TransformPtr tOwner = Make({1, 2, 3}, {0.1, 0.2, 0.3}, {0.1, 0.2, 0.3}, {2, 3, 4});
    Transform& t = *tOwner;
    t.SetPosition2D(F(5), F(6));
    t.SetAngle2D(F(0.5));
    t.SetShear2D(F(0.25));
    t.SetScale2D(F(2), F(-3));
    const Fixed position[3] = {F(5), F(6), 0}, rotation[3] = {0, 0, F(0.5)};
    const Fixed shear[3] = {F(0.25), 0, 0}, scale[3] = {F(2), F(-3), kFixedOne};
    EXPECT_EQ(std::memcmp(t.Position, position, sizeof position), 0);
    EXPECT_EQ(std::memcmp(t.Rotation, rotation, sizeof rotation), 0);
    EXPECT_EQ(std::memcmp(t.Shear, shear, sizeof shear), 0);
    EXPECT_EQ(std::memcmp(t.Scale, scale, sizeof scale), 0);
    EXPECT_EQ(t.Sines[0], 0);
    EXPECT_EQ(t.Cosines[1], kFixedOne);
    EXPECT_EQ(t.InverseScale[2], kFixedOne);
    FixedPoint p;
    EXPECT_EQ(t.GetPosition2D(&p)->y, F(6));
    EXPECT_EQ(t.GetScale2D(&p)->y, F(-3));
    EXPECT_EQ(t.GetAngle2D(), F(0.5));
    EXPECT_EQ(t.GetShear2D(), F(0.25));
}

TEST(Transform2D, AnglesAddWithoutWrapping)
{
    Transform t;
    t.TransformInit();
    t.Rotate2D(F(3.0), 0, 0);
    t.Rotate2D(F(3.0), 0, 0);
    EXPECT_EQ(t.GetAngle2D(), F(6.0));
    t.Unrotate2D(F(7.0), 0, 0);
    EXPECT_EQ(t.GetAngle2D(), F(-1.0));
}

// The 2-D mapping in doubles.
FixedPoint Reference2D(const Transform& t, double x, double y)
{
    x *= Fix2X(t.Scale[0]), y *= Fix2X(t.Scale[1]);
    x += y * Fix2X(t.Shear[0]);
    const double s = std::sin(Fix2X(t.Rotation[2])), c = std::cos(Fix2X(t.Rotation[2]));
    return {X2Fix(x * c - y * s + Fix2X(t.Position[0])), X2Fix(x * s + y * c + Fix2X(t.Position[1]))};
}

void ExpectNear2D(FixedPoint a, FixedPoint b, double tolerance)
{
    EXPECT_NEAR(Fix2X(a.x), Fix2X(b.x), tolerance);
    EXPECT_NEAR(Fix2X(a.y), Fix2X(b.y), tolerance);
}

TEST(Transform2D, ChangesAboutACentreIncludingMirrors)
{
    for (double mirror : {1.0, -1.0}) {
        Transform t;
        t.TransformInit();
        t.SetPosition2D(F(4), F(-2));
        t.SetAngle2D(F(0.7));
        t.SetShear2D(F(0.3));
        t.SetScale2D(X2Fix(1.5 * mirror), F(0.5));
        Transform original;
        t.TransformCopyTo(&original);
        const Fixed cx = F(1), cy = F(2);
        const double points[][2] = {{1, 0}, {0, 1}, {3, -2}};

        // Scaling and shearing after the transform, about the centre.
        t.Scale2D(F(2.0), F(3.0), cx, cy);
        t.Shear2D(F(0.5), cx, cy);
        for (const auto& p : points) {
            FixedPoint before, got;
            original.TransformPoint2D(&before, X2Fix(p[0]), X2Fix(p[1]));
            double x = (Fix2X(before.x) - 1) * 2.0, y = (Fix2X(before.y) - 2) * 3.0;
            x += 0.5 * y;
            ExpectNear2D(*t.TransformPoint2D(&got, X2Fix(p[0]), X2Fix(p[1])), {X2Fix(x + 1), X2Fix(y + 2)}, 0.01);
            ExpectNear2D(got, Reference2D(t, p[0], p[1]), 0.01);
        }
        // A mirror stays a mirror: exactly one negative 2-D scale.
        EXPECT_EQ((t.Scale[0] < 0) != (t.Scale[1] < 0), mirror < 0);
        EXPECT_EQ(t.Scale[2], kFixedOne);
        EXPECT_EQ(t.Rotation[0], 0);
        EXPECT_EQ(t.Rotation[1], 0);

        t.Unshear2D(F(0.5), cx, cy);
        t.Unscale2D(F(2.0), F(3.0), cx, cy);
        t.Rotate2D(F(1.0), cx, cy);
        t.Unrotate2D(F(1.0), cx, cy);
        for (const auto& p : points) {
            FixedPoint a, b;
            ExpectNear2D(*t.TransformPoint2D(&a, X2Fix(p[0]), X2Fix(p[1])),
                         *original.TransformPoint2D(&b, X2Fix(p[0]), X2Fix(p[1])), 0.01);
            FixedPoint back;
            t.InverseTransformPoint2D(&back, a.x, a.y);
            ExpectNear2D(back, {X2Fix(p[0]), X2Fix(p[1])}, 0.01);
        }
    }
}

TEST(Transform2D, TranslatesAndRotatesAboutACentre)
{
    Transform t;
    t.TransformInit();
    t.Translate2D(F(2), F(0));
    t.Rotate2D(X2Fix(kPi / 2), F(1), F(0));
    FixedPoint p;
    ExpectNear2D(*t.GetPosition2D(&p), {F(1), F(1)}, 1e-3);
    t.Untranslate2D(F(1), F(1));
    ExpectNear2D(*t.GetPosition2D(&p), {0, 0}, 1e-3);
}

TEST(Transform1D, MapsScalesAndMovesOneAxis)
{
    Transform t;
    t.TransformInit();
    t.SetPosition1D(F(3));
    t.SetScale1D(F(2));
    EXPECT_EQ(t.TransformPoint1D(F(5)), F(13));
    EXPECT_EQ(t.InverseTransformPoint1D(F(13)), F(5));
    t.Translate1D(F(1));
    EXPECT_EQ(t.GetPosition1D(), F(4));
    t.Untranslate1D(F(2));
    EXPECT_EQ(t.GetPosition1D(), F(2));
    t.Scale1D(F(3), F(1));  // position (2 - 1) x 3 + 1
    EXPECT_EQ(t.GetPosition1D(), F(4));
    EXPECT_EQ(t.GetScale1D(), F(6));
    t.Unscale1D(F(3), F(1));
    EXPECT_NEAR(t.GetPosition1D(), F(2), 1);  // through the reciprocal 0x5555
    EXPECT_EQ(t.GetScale1D(), F(2));
    EXPECT_EQ(t.Position[1], 0);
    EXPECT_EQ(t.Scale[2], kFixedOne);
}

// --- stored forms ---

const Bytes kStored = {
    0x00, 0x01, 0x80, 0x00, 0xFF, 0xFE, 0x00, 0x00, 0x12, 0x34, 0x56, 0x78,  // position
    0x00, 0x00, 0x40, 0x00, 0xFF, 0xFF, 0xC0, 0x00, 0x00, 0x03, 0x00, 0x00,  // about Y, X, Z
    0x00, 0x00, 0x20, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xF0, 0x00,  // shear
    0x00, 0x02, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x80, 0x00,  // scale
};

TEST(TransformStream, WritesTheFortyEightByteForm)
{
    Transform t;
    t.TransformInit();
    t.SetPosition(F(1.5), F(-2.0), 0x12345678);
    t.SetRotation(F(0.25), F(-0.25), F(3.0));
    t.SetShear(F(0.125), 0, F(-0.0625));
    t.SetScale(F(2.0), F(-1.0), F(0.5));
    MemoryStream out;
    out.StreamInit(kStreamWriting);
    EXPECT_EQ(t.StreamTransform(&out), kResultOk);
    EXPECT_EQ(Contents(out), kStored);
    EXPECT_EQ(kStored.size(), size_t(kTransformBytes));

    MemoryStream in;
    Load(in, kStored);
    const TransformPtr backOwner = Make({9, 9, 9}, {1, 1, 1}, {1, 1, 1}, {3, 3, 3});
    Transform& back = *backOwner;
    EXPECT_EQ(back.StreamTransform(&in), kResultOk);
    EXPECT_TRUE(SameParameters(back, t));
    MemoryStream again;
    again.StreamInit(kStreamWriting);
    EXPECT_EQ(back.StreamTransform(&again), kResultOk);
    EXPECT_EQ(Contents(again), kStored);
}

TEST(TransformStream, ACutShortFormKeepsDefaultsForWhatIsMissing)
{
    MemoryStream in;
    LoadInChunk(in, Bytes(kStored.begin(), kStored.begin() + 14));
    const TransformPtr tOwner = Make({9, 9, 9}, {1, 1, 1}, {1, 1, 1}, {3, 3, 3});
    Transform& t = *tOwner;
    EXPECT_EQ(t.StreamTransform(&in), kResultOk);
    EXPECT_EQ(t.Position[0], F(1.5));
    EXPECT_EQ(t.Position[2], 0x12345678);
    EXPECT_EQ(t.Rotation[1], 0);
    EXPECT_EQ(t.Rotation[2], 0);
    EXPECT_EQ(t.Sines[0], t.Rotation[0] == 0 ? 0 : X2Fix(std::sin(Fix2X(t.Rotation[0]))));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(t.Shear[i], 0);
        EXPECT_EQ(t.Scale[i], kFixedOne);
        EXPECT_EQ(t.InverseScale[i], kFixedOne);
    }
    MemoryStream empty;
    LoadInChunk(empty, {});
    t.SetScale(F(4), F(4), F(4));
    EXPECT_EQ(t.StreamTransform(&empty), kResultOk);
    EXPECT_TRUE(SameParameters(t, *Make({0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {1, 1, 1})));
}

TEST(TransformStream, TwoAndOneDimensionalForms)
{
    Transform t;
    t.TransformInit();
    t.SetPosition2D(F(1.5), F(-2.0));
    t.SetAngle2D(F(0.25));
    t.SetShear2D(F(-0.5));
    t.SetScale2D(F(2.0), F(3.0));
    MemoryStream out;
    out.StreamInit(kStreamWriting);
    EXPECT_EQ(t.StreamTransform2D(&out), kResultOk);
    const Bytes form2D = {0x00, 0x01, 0x80, 0x00, 0xFF, 0xFE, 0x00, 0x00, 0x00, 0x00, 0x40, 0x00,
                          0xFF, 0xFF, 0x80, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00};
    EXPECT_EQ(Contents(out), form2D);
    MemoryStream in;
    Load(in, form2D);
    const TransformPtr backOwner = Make({9, 9, 9}, {1, 1, 1}, {1, 1, 1}, {3, 3, 3});
    Transform& back = *backOwner;
    EXPECT_EQ(back.StreamTransform2D(&in), kResultOk);
    EXPECT_TRUE(SameParameters(back, t));

    MemoryStream out1;
    out1.StreamInit(kStreamWriting);
    EXPECT_EQ(t.StreamTransform1D(&out1), kResultOk);
    const Bytes form1D = {0x00, 0x01, 0x80, 0x00, 0x00, 0x02, 0x00, 0x00};
    EXPECT_EQ(Contents(out1), form1D);
    MemoryStream in1;
    Load(in1, form1D);
    EXPECT_EQ(back.StreamTransform1D(&in1), kResultOk);
    EXPECT_EQ(back.GetPosition1D(), F(1.5));
    EXPECT_EQ(back.GetScale1D(), F(2.0));
    EXPECT_EQ(back.Position[1], 0);
    EXPECT_EQ(back.Scale[1], kFixedOne);
}

TEST(TransformStream, AWriteShortOfRoomFails)
{
    const TransformPtr t = Make({1, 2, 3}, {0.1, 0.2, 0.3}, {0.1, 0.2, 0.3}, {2, 3, 4});
    ExpectEveryWriteShortOfRoomFails([&](MemoryStream* out) { return t->StreamTransform(out); });
    ExpectEveryWriteShortOfRoomFails([&](MemoryStream* out) { return t->StreamTransform2D(out); });
    ExpectEveryWriteShortOfRoomFails([&](MemoryStream* out) { return t->StreamTransform1D(out); });
}

}  // namespace
