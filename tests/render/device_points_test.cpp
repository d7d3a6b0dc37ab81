// Device point lists: the view origin, vertex order, repeats dropped with their parallel values,
// and the texture coordinates flipped against the texture's height.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "foundation/dynamic_array.h"
#include "render/device_points.h"
#include "render/projection.h"

namespace {

using List = Owned<DynamicArray>;

template <class T>
List ListOf(std::initializer_list<T> items)
{
    List list(NewDynamicArray(0, int32_t(sizeof(T)), 8));
    for (const T& item : items) list->Append(&item);
    return list;
}

std::vector<std::pair<int32_t, int32_t>> PointsOf(const DynamicArray* list)
{
    std::vector<std::pair<int32_t, int32_t>> out;
    for (int32_t i = 0; i < list->ArrayCount(); ++i) out.emplace_back(list->At<DevicePoint>(i)->x, list->At<DevicePoint>(i)->y);
    return out;
}

using Points = std::vector<std::pair<int32_t, int32_t>>;

class DevicePoints : public testing::Test {
protected:
    void SetUp() override { SetViewOrigin(0, 0); }
    void TearDown() override
    {
        SetViewOrigin(0, 0);
        FreeDevicePointLists();
    }
};

}  // namespace

TEST_F(DevicePoints, OriginFlipsYAndOrderWalksEitherWay)
{
    auto vertices = ListOf<ScreenPoint>({{1, 2}, {3, 4}, {5, 6}});
    EXPECT_EQ(PointsOf(BuildDevicePoly(vertices.get(), 1)), (Points{{1, -2}, {3, -4}, {5, -6}}));
    SetViewOrigin(100, 50);
    EXPECT_EQ(PointsOf(BuildDevicePoly(vertices.get(), 0)), (Points{{105, 44}, {103, 46}, {101, 48}}));
    auto indices = ListOf<int16_t>({2, 0, 1});
    EXPECT_EQ(PointsOf(BuildIndexedDevicePoly(vertices.get(), indices.get(), 1)), (Points{{105, 44}, {101, 48}, {103, 46}}));
    // The lists without dropping, and the plain copy without origin.
    EXPECT_EQ(PointsOf(CopyPointList(vertices.get(), 1)), (Points{{5, 6}, {3, 4}, {1, 2}}));
    EXPECT_EQ(PointsOf(BuildDevicePolyAll(vertices.get(), 0)), (Points{{101, 48}, {103, 46}, {105, 44}}));
}

TEST_F(DevicePoints, RepeatsAreDroppedWithTheirValues)
{
    auto closed = ListOf<ScreenPoint>({{0, 0}, {10, 0}, {10, 10}, {0, 0}});
    EXPECT_EQ(PointsOf(BuildDevicePoly(closed.get(), 1)), (Points{{0, 0}, {10, 0}, {10, -10}}));
    auto same = ListOf<ScreenPoint>({{7, 7}, {7, 7}, {7, 7}});
    EXPECT_EQ(BuildDevicePoly(same.get(), 1)->ArrayCount(), 0);

    auto doubled = ListOf<ScreenPoint>({{0, 0}, {10, 0}, {10, 0}, {10, 10}});
    auto values = ListOf<Fixed>({1, 2, 3, 4});
    DevicePointList* points = nullptr;
    DeviceValueList* out = nullptr;
    BuildShadedDevicePoly(doubled.get(), 1, values.get(), &points, &out);
    ASSERT_EQ(points->ArrayCount(), 3);
    ASSERT_EQ(out->ArrayCount(), 3);
    EXPECT_EQ(*out->At<Fixed>(1), 2);  // the first of the two equal neighbours
    EXPECT_EQ(*out->At<Fixed>(2), 4);
    // Reverse order carries the values of each corner.
    auto triangle = ListOf<ScreenPoint>({{0, 0}, {10, 0}, {0, 10}});
    BuildShadedDevicePoly(triangle.get(), 0, values.get(), &points, &out);
    EXPECT_EQ(PointsOf(points), (Points{{0, -10}, {10, 0}, {0, 0}}));
    EXPECT_EQ(*out->At<Fixed>(0), 3);
    EXPECT_EQ(*out->At<Fixed>(2), 1);
    // An index outside the vertex array is left out.
    auto indices = ListOf<int16_t>({0, 9, 1, 2});
    BuildIndexedShadedDevicePoly(triangle.get(), indices.get(), 1, values.get(), &points, &out);
    EXPECT_EQ(points->ArrayCount(), 3);
    EXPECT_EQ(*out->At<Fixed>(1), 3);
}

TEST_F(DevicePoints, TextureCoordinatesAreFlipped)
{
    auto pairs = ListOf<FixedPoint>({{0, 0}, {IntToFixed(3), IntToFixed(5)}, {IntToFixed(3), IntToFixed(5)}});
    DynamicArray* flipped = FlipTextureCoords(pairs.get(), 64, 0);
    ASSERT_EQ(flipped->ArrayCount(), 3);
    EXPECT_EQ(flipped->At<FixedPoint>(0)->y, IntToFixed(63));
    EXPECT_EQ(flipped->At<FixedPoint>(2)->y, IntToFixed(58));
    EXPECT_EQ(FlipTextureCoords(pairs.get(), 64, 1)->At<FixedPoint>(0)->y, IntToFixed(58));
    EXPECT_EQ(FlipTextureCoordsDedup(pairs.get(), 64, 1)->ArrayCount(), 2);
}
