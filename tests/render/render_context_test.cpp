// Render contexts: a drawing made in a context installed inside another leaves the outer one's
// view origin, point lists and rasterizer rings as they were.
#include <gtest/gtest.h>

#include "foundation/dynamic_array.h"
#include "render/device_points.h"
#include "render/projection.h"
#include "render/raster_buffers.h"
#include "render/render_context.h"

namespace {

Owned<DynamicArray> Points(std::initializer_list<ScreenPoint> points)
{
    Owned<DynamicArray> list(NewDynamicArray(0, int32_t(sizeof(ScreenPoint)), 8));
    for (const ScreenPoint& p : points) list->Append(&p);
    return list;
}

}  // namespace

TEST(RenderContext, ANestedDrawingLeavesTheOuterOriginAndPointListAlone)
{
    RenderContext outer;
    RenderContextScope outerScope(&outer);
    SetViewOrigin(100, 50);
    auto face = Points({{1, 2}, {3, 4}, {5, 6}});
    const DevicePointList* built = BuildDevicePoly(face.get(), 1);
    ASSERT_NE(built, nullptr);
    {
        RenderContext inner;
        RenderContextScope innerScope(&inner);
        SetViewOrigin(7, 7);
        auto other = Points({{-9, -9}, {9, -9}, {9, 9}, {-9, 9}});
        const DevicePointList* nested = BuildDevicePoly(other.get(), 1);
        ASSERT_NE(nested, nullptr);
        EXPECT_NE(nested, built);
        EXPECT_EQ(nested->ArrayCount(), 4);
        EXPECT_EQ(nested->At<DevicePoint>(0)->x, -2);
        inner.Free();
    }
    int32_t x = 0, y = 0;
    GetViewOrigin(&x, &y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 50);
    ASSERT_EQ(built->ArrayCount(), 3);
    EXPECT_EQ(built->At<DevicePoint>(2)->x, 105);
    EXPECT_EQ(built->At<DevicePoint>(2)->y, 44);
    outer.Free();
}

TEST(RenderContext, ANestedDrawingLeavesTheOuterRingsTurnAlone)
{
    RenderContext outer;
    RenderContextScope outerScope(&outer);
    ASSERT_EQ(InitRasterBuffers(), kResultOk);
    GrowRings(4);
    void* first = NextRingA();
    {
        RenderContext inner;
        RenderContextScope innerScope(&inner);
        ASSERT_EQ(inner.InitRasterArrays(), kResultOk);
        GrowRings(4);
        for (int i = 0; i < 3; ++i) {
            void* nested = NextRingA();
            EXPECT_NE(nested, first);
        }
        inner.Free();
    }
    // The outer ring turns on from where it stood: round to its first array after five more.
    for (int i = 0; i < kRingSize - 1; ++i) EXPECT_NE(NextRingA(), first);
    EXPECT_EQ(NextRingA(), first);
    FreeRasterBuffers();
}
