// Polygon projection: the dominant plane of a normal and the corners a face projects to.
#include <gtest/gtest.h>

#include "model/polygon_projection.h"

#include "foundation/dynamic_array.h"
#include "foundation/fixed.h"

namespace {

using ArrayPtr = Owned<DynamicArray>;

ArrayPtr Vertices()
{
    ArrayPtr vertices(NewDynamicArray(0, int32_t(sizeof(FixedVector3)), 4));
    const FixedVector3 points[3] = {{IntToFixed(1), IntToFixed(2), IntToFixed(3)},
                                    {IntToFixed(4), IntToFixed(5), IntToFixed(6)},
                                    {IntToFixed(7), IntToFixed(8), IntToFixed(9)}};
    for (const FixedVector3& p : points) vertices->Append(&p);
    return vertices;
}

}  // namespace

TEST(PolygonProjection, TheLargestComponentChoosesThePlaneWithXThenYWinningTies)
{
    EXPECT_EQ(DominantProjectionAxis(5, -5, 3), kProjectYZ);
    EXPECT_EQ(DominantProjectionAxis(0, 256, 256), kProjectZX);
    EXPECT_EQ(DominantProjectionAxis(256, 256, 0), kProjectYZ);
    EXPECT_EQ(DominantProjectionAxis(1, -2, 3), kProjectXY);
    EXPECT_EQ(DominantProjectionAxis(0, -32768, 1), kProjectZX);
}

TEST(PolygonProjection, CornersByIndexInTheChosenPlaneAndTheAxisKept)
{
    ArrayPtr vertices = Vertices();
    ArrayPtr indices(NewDynamicArray(0, int32_t(sizeof(int16_t)), 4));
    for (int16_t index : {2, 0, 7, 1}) indices->Append(&index);  // 7 names no vertex
    ArrayPtr points(NewDynamicArray(0, int32_t(sizeof(FixedPoint)), 4));
    int16_t axis = kProjectionUnchosen;
    ProjectPolygonToPlane(vertices.get(), indices.get(), 0, 9, -3, points.get(), &axis);
    EXPECT_EQ(axis, kProjectZX);
    ASSERT_EQ(points->ArrayCount(), 3);
    EXPECT_EQ(points->At<FixedPoint>(0)->x, IntToFixed(9));  // z then x of vertex 2
    EXPECT_EQ(points->At<FixedPoint>(0)->y, IntToFixed(7));
    EXPECT_EQ(points->At<FixedPoint>(2)->x, IntToFixed(6));
    // A chosen axis is used whatever the next face's normal says; without indices every vertex.
    IgnoreResult(points->ArraySetCount(0));
    ProjectPolygonToPlane(vertices.get(), nullptr, 0, 0, 100, points.get(), &axis);
    EXPECT_EQ(axis, kProjectZX);
    ASSERT_EQ(points->ArrayCount(), 3);
    EXPECT_EQ(points->At<FixedPoint>(1)->x, IntToFixed(6));
    axis = kProjectXY;
    IgnoreResult(points->ArraySetCount(0));
    ProjectPolygonToPlane(vertices.get(), nullptr, 100, 0, 0, points.get(), &axis);
    EXPECT_EQ(points->At<FixedPoint>(1)->x, IntToFixed(4));
    EXPECT_EQ(points->At<FixedPoint>(1)->y, IntToFixed(5));
}
