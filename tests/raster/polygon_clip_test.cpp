// Clipping against convex clip shapes: edge equations, polygon cuts with flags, values and
// texture coordinates, the bounds reject, and the two line clippers.
#include "raster/polygon_clip.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "region_support.h"

using rastertest::RectRegion;
using rastertest::ShapeRegion;

namespace {

constexpr Fixed kQuarter = 0x4000;

double ToDouble(Fixed v) { return v / 65536.0; }
// A cut is exact up to the 16-bit cut parameter: an error of |difference| / 65536 plus rounding.
double CutTolerance(double difference) { return std::abs(difference) / 65536 + 2.0 / 65536; }

FixedPoint FP(double x, double y) { return {Fixed(std::lround(x * 65536)), Fixed(std::lround(y * 65536))}; }

// The signed distance of p from the line through a and b, in pixels (positive to the left of
// a->b on a y-down screen, which is outside for a clockwise shape).
double LineDistance(FixedPoint a, FixedPoint b, FixedPoint p)
{
    const double ax = ToDouble(a.x), ay = ToDouble(a.y), bx = ToDouble(b.x), by = ToDouble(b.y);
    const double px = ToDouble(p.x), py = ToDouble(p.y);
    return ((by - ay) * (px - ax) - (bx - ax) * (py - ay)) / std::hypot(bx - ax, by - ay);
}

bool InsideShape(const SpanRegion& region, FixedPoint p, double tolerance)
{
    const FixedPoint* v = region.ClipVertices();
    const int32_t m = region.ClipVertexCount();
    for (int32_t i = 0; i < m; ++i)
        if (LineDistance(v[i], v[(i + 1) % m], p) > tolerance) return false;
    return true;
}

}  // namespace

TEST(ClipEdgeEquation, ScalesToSixteenSignificantBitsWithInsideNegative)
{
    ClipEdgeEquation edge(0, 0, IntToFixed(10), 0);  // along the top of a clockwise shape
    EXPECT_EQ(edge.a, 0);
    EXPECT_EQ(edge.b, -0xA000);  // -10.0 shifted right by 4
    EXPECT_EQ(edge.c, 0);
    edge = ClipEdgeEquation(IntToFixed(5), IntToFixed(1), IntToFixed(5), IntToFixed(1) + 3);  // tiny vertical
    EXPECT_EQ(edge.a, 0xC000);  // 3 shifted left by 14
    EXPECT_EQ(edge.b, 0);

    edge = ClipEdgeEquation(IntToFixed(10), IntToFixed(0), IntToFixed(20), IntToFixed(10));  // diagonal
    const ClipEdge general = MakeClipEdge(edge, {IntToFixed(10), 0});
    ASSERT_EQ(general.kind, ClipEdgeKind::kGeneral);
    int32_t d;
    EXPECT_EQ(ClipClassify(general, IntToFixed(10), IntToFixed(5), &d), kClipInside);  // below-left: inside
    EXPECT_LT(d, 0);
    EXPECT_EQ(ClipClassify(general, IntToFixed(20), IntToFixed(5), &d), kClipOutside);
    EXPECT_EQ(ClipClassify(general, IntToFixed(15), IntToFixed(5), &d), kClipOnEdge);
    EXPECT_EQ(d, 0);
}

TEST(ClipCutParameter, StaysWithinZeroAndOneFromTheFartherPoint)
{
    bool startsAtB = false;
    EXPECT_EQ(ClipCutParameter(-3 * kFixedOne, kFixedOne, &startsAtB), 0xC000);
    EXPECT_FALSE(startsAtB);
    EXPECT_EQ(ClipCutParameter(-kFixedOne, 3 * kFixedOne, &startsAtB), 0xC000);
    EXPECT_TRUE(startsAtB);
    for (int32_t a : {INT32_MIN, -0x7FFFFFFF, -65536, -1})
        for (int32_t b : {1, 2, 65536, 0x7FFFFFFF}) {
            const Fixed t = ClipCutParameter(a, b, &startsAtB);
            EXPECT_GE(t, 0);
            EXPECT_LE(t, kFixedOne);
            EXPECT_GE(t, kFixedHalf - 2);  // measured from the farther point
        }
}

TEST(ClipPolygon, TriangleInsideComesBackUnchangedWithOwnEdges)
{
    auto region = RectRegion(0, 0, 100, 100);
    ASSERT_TRUE(region);
    const DevicePoint tri[3] = {{10, 10}, {50, 20}, {20, 60}};
    FixedPoint* out = nullptr;
    uint8_t* flags = nullptr;
    int32_t count = 0;
    ASSERT_EQ(ClipPolygon(region.get(), tri, 3, &out, &flags, &count, 0), kClipKept);
    ASSERT_EQ(count, 3);
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(out[i].x, IntToFixed(tri[i].x));
        EXPECT_EQ(out[i].y, IntToFixed(tri[i].y));
        EXPECT_EQ(flags[i], 1);
    }
}

TEST(ClipPolygon, OneVertexOutsideGivesQuadrilateralWithFlaggedCuts)
{
    auto region = RectRegion(0, 0, 100, 100);
    const DevicePoint tri[3] = {{10, 10}, {150, 50}, {10, 90}};
    FixedPoint* out = nullptr;
    uint8_t* flags = nullptr;
    int32_t count = 0;
    ASSERT_EQ(ClipPolygon(region.get(), tri, 3, &out, &flags, &count, 0), kClipKept);
    ASSERT_EQ(count, 4);
    const Fixed right = IntToFixed(100) - kQuarter;
    EXPECT_EQ(out[0].x, IntToFixed(10));
    EXPECT_EQ(out[1].x, right);  // exit cut
    EXPECT_NEAR(ToDouble(out[1].y), 10 + 40 * 89.75 / 140, CutTolerance(40));
    EXPECT_EQ(out[2].x, right);  // entering cut
    EXPECT_NEAR(ToDouble(out[2].y), 90 - 40 * 89.75 / 140, CutTolerance(40));
    EXPECT_EQ(out[3].y, IntToFixed(90));
    const uint8_t expected[4] = {1, 0, 1, 1};
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(flags[i], expected[i]) << i;
}

TEST(ClipPolygon, DiamondAroundRectangleCrossesEveryEdgeTwice)
{
    auto region = RectRegion(0, 0, 100, 100);
    const DevicePoint diamond[4] = {{50, -40}, {140, 50}, {50, 140}, {-40, 50}};
    FixedPoint* out = nullptr;
    uint8_t* flags = nullptr;
    int32_t count = 0;
    ASSERT_EQ(ClipPolygon(region.get(), diamond, 4, &out, &flags, &count, 0), kClipKept);
    ASSERT_EQ(count, 8);
    int32_t own = 0;
    for (int32_t i = 0; i < count; ++i) {
        const FixedPoint a = out[i], b = out[(i + 1) % count];
        const double diamondA = std::abs(ToDouble(a.x) - 50) + std::abs(ToDouble(a.y) - 50);
        const double diamondB = std::abs(ToDouble(b.x) - 50) + std::abs(ToDouble(b.y) - 50);
        EXPECT_TRUE(InsideShape(*region, a, 1e-4));
        if (flags[i]) {  // along the diamond
            ++own;
            EXPECT_NEAR(diamondA, 90, CutTolerance(180));
            EXPECT_NEAR(diamondB, 90, CutTolerance(180));
        } else {  // along the rectangle
            EXPECT_TRUE(a.x == b.x || a.y == b.y);
        }
    }
    EXPECT_EQ(own, 4);
}

TEST(ClipPolygon, GeneralEdgesOfADiamondShapeCutASquareToTheShape)
{
    auto region = ShapeRegion({{50, 0}, {100, 50}, {50, 100}, {0, 50}});
    ASSERT_TRUE(region && !region->empty);
    ASSERT_EQ(region->ClipVertexCount(), 4);
    const DevicePoint square[4] = {{-10, -10}, {110, -10}, {110, 110}, {-10, 110}};
    FixedPoint* out = nullptr;
    int32_t count = 0;
    ASSERT_EQ(ClipPolygon(region.get(), square, 4, &out, nullptr, &count, 0), kClipKept);
    double area = 0;
    for (int32_t i = 0; i < count; ++i) {
        EXPECT_TRUE(InsideShape(*region, out[i], 4e-3)) << i;  // 16-bit edge equations
        const FixedPoint a = out[i], b = out[(i + 1) % count];
        area += ToDouble(a.x) * ToDouble(b.y) - ToDouble(b.x) * ToDouble(a.y);
    }
    EXPECT_NEAR(area / 2, 4950, 60);  // the diamond of area 5000, inset a quarter pixel
}

TEST(ClipPolygon, PointExactlyOnTheEdgeIsNotCut)
{
    auto region = RectRegion(0, 0, 100, 100);
    const FixedPoint tri[3] = {FP(10, 10), FP(99.75, 50), FP(10, 90)};
    FixedPoint* out = nullptr;
    uint8_t* flags = nullptr;
    int32_t count = 0;
    ASSERT_EQ(ClipPolygon(region.get(), tri, 3, &out, &flags, &count, 0), kClipKept);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(out[1].x, FP(99.75, 0).x);
    EXPECT_EQ(flags[0] + flags[1] + flags[2], 3);
}

TEST(ClipPolygon, ClosingEdgeIsCutWhenTheOnlyOtherContactIsAPointOnTheEdge)
{
    // Point 0 lies outside, point 1 exactly on the right edge, the rest inside: the closing edge
    // from the last point back to point 0 still leaves the shape and must be cut.
    auto region = RectRegion(0, 0, 100, 100);
    const FixedPoint poly[4] = {FP(120, 40), FP(99.75, 60), FP(50, 80), FP(50, 20)};
    FixedPoint* out = nullptr;
    uint8_t* flags = nullptr;
    int32_t count = 0;
    ASSERT_EQ(ClipPolygon(region.get(), poly, 4, &out, &flags, &count, 0), kClipKept);
    ASSERT_EQ(count, 4);
    EXPECT_EQ(out[0].y, FP(0, 60).y);
    EXPECT_EQ(out[3].x, FP(99.75, 0).x);
    EXPECT_NEAR(ToDouble(out[3].y), 20 + 20 * 49.75 / 70, CutTolerance(20));
    EXPECT_EQ(flags[3], 0);

    // The mirror case: point 0 inside, the point before the last on the edge, the last outside.
    const FixedPoint mirror[4] = {FP(50, 20), FP(50, 80), FP(99.75, 60), FP(120, 40)};
    ASSERT_EQ(ClipPolygon(region.get(), mirror, 4, &out, &flags, &count, 0), kClipKept);
    ASSERT_EQ(count, 4);
    EXPECT_EQ(out[3].x, FP(99.75, 0).x);
    EXPECT_NEAR(ToDouble(out[3].y), 20 + 20 * 49.75 / 70, CutTolerance(20));
    EXPECT_EQ(flags[3], 1);  // continues the polygon's own closing edge
}

TEST(ClipPolygon, ConcaveCombGetsRoomForEveryCut)
{
    auto region = RectRegion(0, 0, 100, 400);
    constexpr int32_t kTeeth = 40;
    std::vector<DevicePoint> comb;
    comb.push_back({10, 5});
    for (int32_t i = 0; i < kTeeth; ++i) {
        comb.push_back({90, 10 + 8 * i});
        comb.push_back({130, 14 + 8 * i});
    }
    comb.push_back({10, 10 + 8 * kTeeth});
    FixedPoint* out = nullptr;
    uint8_t* flags = nullptr;
    int32_t count = 0;
    ASSERT_EQ(ClipPolygon(region.get(), comb.data(), int32_t(comb.size()), &out, &flags, &count, 0), kClipKept);
    EXPECT_EQ(count, 3 * kTeeth + 2);  // each tooth: its inner point and two cuts
    for (int32_t i = 0; i < count; ++i) EXPECT_LE(out[i].x, IntToFixed(100) - kQuarter);

    // A smaller polygon afterwards reuses the scratch arrays.
    const DevicePoint tri[3] = {{10, 10}, {50, 20}, {20, 60}};
    ASSERT_EQ(ClipPolygon(region.get(), tri, 3, &out, &flags, &count, 0), kClipKept);
    EXPECT_EQ(count, 3);
}

TEST(ClipPolygon, RejectsOutsideTheMarginEmptyRegionsAndShapelessRegions)
{
    auto region = RectRegion(0, 0, 100, 100);
    const DevicePoint sliver[3] = {{-20, 10}, {3, 50}, {-20, 90}};  // max x 3: 2.75 past the left bound
    FixedPoint* out = nullptr;
    int32_t count = 0;
    EXPECT_EQ(ClipPolygon(region.get(), sliver, 3, &out, nullptr, &count, 3), kClipRejected);
    EXPECT_EQ(ClipPolygon(region.get(), sliver, 3, &out, nullptr, &count, 2), kClipKept);
    const DevicePoint outside[3] = {{110, 10}, {150, 50}, {110, 90}};
    EXPECT_EQ(ClipPolygon(region.get(), outside, 3, &out, nullptr, &count, 0), kClipRejected);
    region->empty = 1;
    EXPECT_EQ(ClipPolygon(region.get(), sliver, 3, &out, nullptr, &count, 0), kClipRejected);
    auto whole = rastertest::WholeRegion();
    EXPECT_EQ(ClipPolygon(whole.get(), sliver, 3, &out, nullptr, &count, 0), kClipRejected);
    EXPECT_EQ(ClipPolygon(nullptr, sliver, 3, &out, nullptr, &count, 0), kClipRejected);
}

TEST(ClipPolygon, RepeatedShapeVertexMakesNoCut)
{
    auto region = ShapeRegion({{0, 0}, {100, 0}, {100, 100}, {100, 100}, {0, 100}});
    ASSERT_TRUE(region && !region->empty);
    const DevicePoint tri[3] = {{10, 10}, {50, 20}, {20, 60}};
    FixedPoint* out = nullptr;
    int32_t count = 0;
    ASSERT_EQ(ClipPolygon(region.get(), tri, 3, &out, nullptr, &count, 0), kClipKept);
    EXPECT_EQ(count, 3);
}

TEST(ClipShadedPolygon, InterpolatesValuesAtTheCuts)
{
    auto region = RectRegion(0, 0, 100, 100);
    const DevicePoint tri[3] = {{10, 10}, {150, 50}, {10, 90}};
    const Fixed values[3] = {0, IntToFixed(31), IntToFixed(10)};
    FixedPoint* out = nullptr;
    Fixed* outValues = nullptr;
    int32_t count = 0;
    ASSERT_EQ(ClipShadedPolygon(region.get(), tri, 3, &out, &count, values, &outValues, 0), kClipKept);
    ASSERT_EQ(count, 4);
    EXPECT_EQ(outValues[0], 0);
    EXPECT_NEAR(ToDouble(outValues[1]), 31 * 89.75 / 140, CutTolerance(31));
    EXPECT_NEAR(ToDouble(outValues[2]), 31 - 21 * 50.25 / 140, CutTolerance(21));
    EXPECT_EQ(outValues[3], IntToFixed(10));
}

TEST(ClipTexturedPolygon, CarriesDepthAndPerspectiveCorrectCoordinates)
{
    auto region = RectRegion(0, 0, 100, 100);
    const ClipPoint3 points[3] = {{IntToFixed(10), IntToFixed(10), kFixedOne},
                                  {IntToFixed(150), IntToFixed(50), kFixedOne / 4},
                                  {IntToFixed(10), IntToFixed(90), kFixedOne}};
    const TextureCoord coords[3] = {{0, 0}, {IntToFixed(64), IntToFixed(32)}, {0, IntToFixed(64)}};
    ClipPoint3* out = nullptr;
    TextureCoord* outCoords = nullptr;
    int32_t count = 0;
    ASSERT_EQ(ClipTexturedPolygon(region.get(), points, coords, 3, &out, &outCoords, &count, 0), kClipKept);
    ASSERT_EQ(count, 4);
    // Exit cut between points 0 and 1, t from point 0: depth linear, coordinates u w / w.
    const double t = 89.75 / 140;
    const double w = 1 + t * (0.25 - 1);
    EXPECT_NEAR(ToDouble(out[1].z), w, 2.0 / 65536);
    EXPECT_NEAR(ToDouble(outCoords[1].u), (t * 64 * 0.25) / w, 1.0 / 256);
    EXPECT_NEAR(ToDouble(outCoords[1].v), (t * 32 * 0.25) / w, 1.0 / 256);
}

TEST(InterpolatePerspective, LinearAtEqualDepthCorrectOtherwise)
{
    const ClipPoint3 a{0, 0, IntToFixed(2)};
    const ClipPoint3 b{0, 0, IntToFixed(2)};
    const TextureCoord ca{IntToFixed(10), IntToFixed(-4)}, cb{IntToFixed(30), IntToFixed(4)};
    TextureCoord out;
    InterpolatePerspective(a, ca, b, cb, kFixedHalf, {0, 0, IntToFixed(2)}, &out);
    EXPECT_EQ(out.u, IntToFixed(20));
    EXPECT_EQ(out.v, 0);

    const ClipPoint3 far{0, 0, kFixedOne / 8};  // w = 1/8
    const double t = 0.25;
    const double w = 2 + t * (0.125 - 2);
    InterpolatePerspective(a, ca, far, cb, Fixed(t * 65536), {0, 0, Fixed(w * 65536)}, &out);
    EXPECT_NEAR(ToDouble(out.u), (10 * 2 + t * (30 * 0.125 - 10 * 2)) / w, 1.0 / 128);
    EXPECT_NEAR(ToDouble(out.v), (-4 * 2 + t * (4 * 0.125 + 4 * 2)) / w, 1.0 / 128);

    // Large coordinates are scaled down before the products and back afterwards.
    const TextureCoord big{IntToFixed(3000), IntToFixed(2000)}, big2{IntToFixed(1000), IntToFixed(500)};
    const ClipPoint3 nearPoint{0, 0, IntToFixed(64)};
    const double wn = 64 + t * (0.125 - 64);
    InterpolatePerspective(nearPoint, big, far, big2, Fixed(t * 65536), {0, 0, Fixed(wn * 65536)}, &out);
    EXPECT_NEAR(ToDouble(out.u), (3000 * 64 + t * (1000 * 0.125 - 3000 * 64)) / wn, 0.5);
}

TEST(ClipLineToRect, KeepsInsideRejectsAboveAndMovesOntoTheInsetEdge)
{
    Fixed x0 = IntToFixed(10), y0 = IntToFixed(10), x1 = IntToFixed(50), y1 = IntToFixed(60);
    ASSERT_EQ(ClipLineToRect(0, 0, 100, 100, &x0, &y0, &x1, &y1), kClipKept);
    EXPECT_EQ(x0, IntToFixed(10));
    EXPECT_EQ(y1, IntToFixed(60));

    x0 = IntToFixed(10), y0 = IntToFixed(-30), x1 = IntToFixed(50), y1 = IntToFixed(-5);
    EXPECT_EQ(ClipLineToRect(0, 0, 100, 100, &x0, &y0, &x1, &y1), kClipRejected);

    x0 = IntToFixed(-10), y0 = IntToFixed(5), x1 = IntToFixed(20), y1 = IntToFixed(5);
    ASSERT_EQ(ClipLineToRect(0, 0, 100, 100, &x0, &y0, &x1, &y1), kClipKept);
    EXPECT_EQ(x0, kQuarter);
    EXPECT_EQ(y0, IntToFixed(5));
    EXPECT_EQ(x1, IntToFixed(20));

    // A line along the top row or the left column lies in the quarter-pixel band and is kept.
    x0 = IntToFixed(-5), y0 = 0, x1 = IntToFixed(30), y1 = 0;
    ASSERT_EQ(ClipLineToRect(0, 0, 100, 100, &x0, &y0, &x1, &y1), kClipKept);
    EXPECT_EQ(x0, kQuarter);
    EXPECT_EQ(y0, 0);
    x0 = 0, y0 = IntToFixed(3), x1 = 0, y1 = IntToFixed(9);
    EXPECT_EQ(ClipLineToRect(0, 0, 100, 100, &x0, &y0, &x1, &y1), kClipKept);

    x0 = IntToFixed(50), y0 = IntToFixed(50), x1 = IntToFixed(50), y1 = IntToFixed(300);
    ASSERT_EQ(ClipLineToRect(0, 0, 100, 100, &x0, &y0, &x1, &y1), kClipKept);
    EXPECT_EQ(y1, IntToFixed(100) - kQuarter);
}

TEST(ClipLineToShape, MovesCrossingEndsAndRejectsLinesOutside)
{
    auto region = ShapeRegion({{50, 0}, {100, 50}, {50, 100}, {0, 50}});
    FixedPoint p0{IntToFixed(50), IntToFixed(50)}, p1{IntToFixed(150), IntToFixed(50)};
    ASSERT_EQ(ClipLineToShape(region.get(), &p0, &p1), kClipKept);
    EXPECT_EQ(p0.x, IntToFixed(50));
    EXPECT_NEAR(ToDouble(p1.x), 99.75, 0.3);
    EXPECT_EQ(p1.y, IntToFixed(50));
    EXPECT_TRUE(InsideShape(*region, p1, 1e-3));

    FixedPoint q0{IntToFixed(95), IntToFixed(5)}, q1{IntToFixed(99), IntToFixed(10)};  // beyond a corner
    EXPECT_EQ(ClipLineToShape(region.get(), &q0, &q1), kClipRejected);
    FixedPoint r0{IntToFixed(40), IntToFixed(45)}, r1{IntToFixed(60), IntToFixed(55)};
    ASSERT_EQ(ClipLineToShape(region.get(), &r0, &r1), kClipKept);
    EXPECT_EQ(r1.x, IntToFixed(60));
    region->empty = 1;
    EXPECT_EQ(ClipLineToShape(region.get(), &r0, &r1), kClipRejected);
}
