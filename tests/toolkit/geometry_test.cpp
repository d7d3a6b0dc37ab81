// The geometry utilities: the sine table and what is computed from it at its edge angles, plane
// shapes, vector sums and planes.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <vector>

#include "foundation/dynamic_array.h"
#include "tests/draw/port_rect_corners.h"
#include "toolkit/degree_trig.h"
#include "toolkit/shape_geometry.h"
#include "toolkit/vector_math.h"

namespace {

using Pair = std::array<int32_t, 2>;
using Corners = std::array<int32_t, 4>;

Pair SinCos(int32_t degrees)
{
    Pair result;
    SinCosDegrees(degrees, &result[0], &result[1]);
    return result;
}

std::vector<Pair> Points(DynamicArray* array)
{
    std::vector<Pair> points;
    for (int32_t i = 0; array && i < array->ArrayCount(); ++i)
        points.push_back({array->At<IntPoint>(i)->x, array->At<IntPoint>(i)->y});
    if (array) array->Destroy();
    return points;
}

}  // namespace

TEST(DegreeTrig, TheTableAndItsEdgeAngles)
{
    EXPECT_EQ(SineTable[30], 63);
    EXPECT_EQ(SineTable[90], 127);
    EXPECT_EQ(SineTable[150], 64);
    EXPECT_EQ(SineTable[210], -63);
    EXPECT_EQ(SineTable[270], -127);
    EXPECT_EQ(SineTable[360], 0);

    EXPECT_EQ(SinCos(-90), (Pair{-127, 0}));
    EXPECT_EQ(SinCos(450), SinCos(90));
    EXPECT_EQ(SinCos(90), (Pair{127, 0}));
    // Past 270 the cosine's index wraps round the table's end.
    EXPECT_EQ(SinCos(300), (Pair{SineTable[300], SineTable[30]}));
    EXPECT_EQ(SinCos(-720), (Pair{0, 127}));
    EXPECT_EQ(SinCos(INT32_MIN), SinCos(ReduceDegrees(INT32_MIN)));
    EXPECT_EQ(SinCos(INT32_MAX), SinCos(ReduceDegrees(INT32_MAX)));

    EXPECT_EQ(VectorAngleDegrees(0, 0), 270);
    EXPECT_EQ(VectorAngleDegrees(5, 0), 0);
    EXPECT_EQ(VectorAngleDegrees(0, 5), 90);
    EXPECT_EQ(VectorAngleDegrees(-5, 0), 180);
    EXPECT_EQ(VectorAngleDegrees(3, -3), 315);
}

TEST(DegreeTrig, RegularPolygonsRefuseNoCornersAndWrapTheirAngles)
{
    EXPECT_EQ(RegularPolygonPoints(0, 0, 0, 10, 0), nullptr);
    EXPECT_EQ(RegularPolygonPoints(-3, 0, 0, 10, 0), nullptr);
    EXPECT_EQ(Points(RegularPolygonPoints(4, 100, 100, 50, 0)),
              (std::vector<Pair>{{150, 100}, {100, 50}, {50, 100}, {100, 150}}));
    // Angles past 270 take their cosine from the table's start: 300 degrees reads entry 30.
    EXPECT_EQ(Points(RegularPolygonPoints(1, 100, 100, 50, 300)),
              (std::vector<Pair>{{125, 143}}));
    EXPECT_EQ(Points(RegularPolygonPoints(2, 0, 0, 128, -450)), Points(RegularPolygonPoints(2, 0, 0, 128, 270)));
}

TEST(ShapeGeometry, RectanglesAroundAndBetweenPoints)
{
    PortRect rect = {95, 96, 105, 104};
    ClampRectAround(&rect, 100, 100);
    EXPECT_EQ(CornersOf(rect), (Corners{95, 96, 105, 104}));
    rect = {0, 0, 300, 300};
    ClampRectAround(&rect, 100, 200);
    EXPECT_EQ(CornersOf(rect), (Corners{92, 192, 108, 208}));
    rect = {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    ClampRectAround(&rect, INT32_MAX, INT32_MIN);
    EXPECT_EQ(CornersOf(rect), (Corners{INT32_MAX - 8, INT32_MIN, INT32_MAX, INT32_MIN + 8}));
    RectFromPoints(&rect, 30, 5, 10, 20);
    EXPECT_EQ(CornersOf(rect), (Corners{10, 5, 30, 20}));
}

TEST(ShapeGeometry, CirclePointsStepBackwardsFromThePoint)
{
    DynamicArray* points = NewDynamicArray(2, sizeof(FixedPoint), 4);
    ASSERT_NE(points, nullptr);
    EXPECT_EQ(CirclePoints(points, 0, 0, IntToFixed(10), 0, 4), 0);
    std::vector<std::array<Fixed, 2>> got;
    for (int32_t i = 0; i < points->ArrayCount(); ++i) got.push_back({points->At<FixedPoint>(i)->x, points->At<FixedPoint>(i)->y});
    EXPECT_EQ(got, (std::vector<std::array<Fixed, 2>>{
                       {IntToFixed(10), 0}, {0, IntToFixed(-10)}, {IntToFixed(-10), 0}, {0, IntToFixed(10)}}));
    // A point at the centre: angle 0, every point there.
    EXPECT_EQ(CirclePoints(points, IntToFixed(3), IntToFixed(4), IntToFixed(3), IntToFixed(4), 2), 0);
    EXPECT_EQ(points->ArrayCount(), 2);
    EXPECT_EQ(points->At<FixedPoint>(1)->y, IntToFixed(4));
    EXPECT_EQ(CirclePoints(points, 0, 0, 0, IntToFixed(1), 3), X2Fix(1.5707963267948966));
    points->Destroy();

    DynamicArray* bytes = NewDynamicArray(0, 1, 4);
    ASSERT_NE(bytes, nullptr);
    CirclePoints(bytes, 0, 0, IntToFixed(1), 0, 8);
    EXPECT_EQ(bytes->ArrayCount(), 0);
    bytes->Destroy();
}

TEST(ShapeGeometry, TurnedRectanglesAndDraggedCorners)
{
    IntPoint corners[4];
    auto flat = [&] {
        std::array<int32_t, 8> all;
        for (int32_t i = 0; i < 4; ++i) all[2 * i] = corners[i].x, all[2 * i + 1] = corners[i].y;
        return all;
    };
    RotatedRectCorners(corners, 10, 20, 30, 5, 100, 200, 0, 0);
    EXPECT_EQ(flat(), (std::array<int32_t, 8>{110, 220, 140, 220, 140, 225, 110, 225}));
    RotatedRectCorners(corners, 10, 20, 30, 5, 100, 200, 0, kRotatedNoXOffset);
    EXPECT_EQ(flat(), (std::array<int32_t, 8>{10, 220, 40, 220, 40, 225, 10, 225}));
    RotatedRectCorners(corners, 10, 20, 30, 5, 100, 200, 0, kRotatedAtOffset);
    EXPECT_EQ(flat(), (std::array<int32_t, 8>{100, 200, 130, 200, 130, 205, 100, 205}));
    // A quarter turn clockwise on the screen.
    RotatedRectCorners(corners, 0, 0, 30, 5, 0, 0, X2Fix(1.5707963), 0);
    EXPECT_EQ(flat(), (std::array<int32_t, 8>{0, 0, 0, 30, -5, 30, -5, 0}));
    RotatedRectCorners(corners, 0, 0, 30, 5, 0, 0, X2Fix(1.5707963), kRotatedHeightOnly);
    EXPECT_EQ(flat(), (std::array<int32_t, 8>{0, 0, 0, 0, -5, 0, -5, 0}));

    const FixedPoint square[4] = {{0, 0}, {IntToFixed(10), 0}, {IntToFixed(10), IntToFixed(10)}, {0, IntToFixed(10)}};
    auto moved = [&](int32_t corner, int32_t kind, int32_t constrain) {
        FixedPoint quad[4] = {square[0], square[1], square[2], square[3]};
        MoveQuadCorner(quad, IntToFixed(2), IntToFixed(3), corner, kind, constrain);
        std::array<int32_t, 8> all;
        for (int32_t i = 0; i < 4; ++i) all[2 * i] = quad[i].x >> 16, all[2 * i + 1] = quad[i].y >> 16;
        return all;
    };
    EXPECT_EQ(moved(0, 0, 0), (std::array<int32_t, 8>{2, 3, 10, 3, 10, 10, 2, 10}));
    EXPECT_EQ(moved(1, 0, 0), (std::array<int32_t, 8>{0, 3, 12, 3, 12, 10, 0, 10}));
    EXPECT_EQ(moved(0, 0, 1), (std::array<int32_t, 8>{2, 0, 10, 0, 10, 10, 2, 10}));
    EXPECT_EQ(moved(1, 0, 1), (std::array<int32_t, 8>{0, 3, 10, 3, 10, 10, 0, 10}));
    EXPECT_EQ(moved(4, 0, 0), (std::array<int32_t, 8>{0, 0, 10, 0, 10, 10, 0, 10}));
}

TEST(ShapeGeometry, TrianglesOnOneSideOfEachEdge)
{
    const IntPoint triangle[3] = {{0, 0}, {10, 0}, {0, 10}};
    const IntPoint apart[3] = {{20, 20}, {30, 20}, {20, 30}};
    const IntPoint across[3] = {{5, -5}, {5, 5}, {6, 0}};
    // Points on an edge's line count for either side.
    const IntPoint onALine[3] = {{20, 0}, {30, 0}, {20, -5}};
    EXPECT_EQ(TrianglesSameSide(triangle, apart), 1);
    EXPECT_EQ(TrianglesSameSide(triangle, across), 0);
    EXPECT_EQ(TrianglesSameSide(triangle, onALine), 1);
}

TEST(VectorMath, SumsPlanesAnglesAndDistances)
{
    FixedVector3 v;
    Vector3Add(&v, {INT32_MAX, 1, 2}, {1, 2, 3});
    EXPECT_EQ(v.x, INT32_MIN);
    EXPECT_EQ(v.z, 5);
    Vector3Sub(&v, {1, 2, 3}, {3, 2, 1});
    EXPECT_EQ((std::array<Fixed, 3>{v.x, v.y, v.z}), (std::array<Fixed, 3>{-2, 0, 2}));
    const FixedPoint sum = Vector2Add({1, 2}, {10, 20});
    const FixedPoint difference = Vector2Sub({1, 2}, {10, 20});
    EXPECT_EQ((std::array<Fixed, 4>{sum.x, sum.y, difference.x, difference.y}), (std::array<Fixed, 4>{11, 22, -9, -18}));

    FixedPlane plane;
    PlaneFromPointsScaled({0, 0, 0}, {kFixedOne, 0, 0}, {0, kFixedOne, 0}, &plane);
    EXPECT_EQ((std::array<Fixed, 4>{plane.a, plane.b, plane.c, plane.d}), (std::array<Fixed, 4>{0, 0, kFixedOne, 0}));
    // d = -10^9 is brought to -32767, and the normal with it.
    const Fixed k = IntToFixed(1000);
    PlaneFromPointsScaled({0, 0, k}, {k, 0, k}, {0, k, k}, &plane);
    EXPECT_EQ(plane.d, IntToFixed(-32767));
    EXPECT_EQ(plane.c, X2Fix(32.767));
    // Then the normal's own components: c = 10^6 with d = 0.
    PlaneFromPointsScaled({0, 0, 0}, {k, 0, 0}, {0, k, 0}, &plane);
    EXPECT_EQ((std::array<Fixed, 2>{plane.c, plane.d}), (std::array<Fixed, 2>{IntToFixed(32767), 0}));

    EXPECT_EQ(PointPlaneDistance({0, 0, IntToFixed(5)}, {0, 0, IntToFixed(2), IntToFixed(-4)}), IntToFixed(3));
    EXPECT_EQ(PointPlaneDistance({0, 0, IntToFixed(5)}, {0, 0, 0, IntToFixed(1)}), IntToFixed(32767));

    const FixedVector3 east = {kFixedOne, 0, 0};
    const FixedVector3 west = {-kFixedOne, 0, 0};
    PlaneAngle(&v, east, east, kPlaneAboutZ);
    EXPECT_EQ((std::array<Fixed, 3>{v.x, v.y, v.z}), (std::array<Fixed, 3>{0, 0, X2Fix(3.14159265358979)}));
    PlaneAngle(&v, east, west, kPlaneAboutZ);
    EXPECT_EQ((std::array<Fixed, 3>{v.x, v.y, v.z}), (std::array<Fixed, 3>{0, 0, 0}));
    PlaneAngle(&v, {0, kFixedOne, 0}, {0, 0, kFixedOne}, kPlaneAboutX);
    EXPECT_NEAR(v.x, X2Fix(3.14159265358979 / 2), 1);
    PlaneAngle(&v, east, west, 4);
    EXPECT_EQ((std::array<Fixed, 3>{v.x, v.y, v.z}), (std::array<Fixed, 3>{0, 0, 0}));

    EXPECT_EQ(MeanOfHalves(0x00020004, 0x00000006), (2 + 4 + 6 + 0x8000) >> 2);
    EXPECT_EQ(MeanOfHalves(-1, -1), int32_t((0xFFFFu * 3 + 0x8000) >> 2));
}
