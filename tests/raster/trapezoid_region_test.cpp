// Span regions in their trapezoid form: rows of convex polygons, intersections, outlines, and
// regions cut by polygons in both forms.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "raster/span_region.h"

namespace {

using Region = OwnedSpanRegion;

Region TrapezoidRegion(std::initializer_list<DevicePoint> points)
{
    Region region(new SpanRegion);
    region->SpanRegionInit();
    std::vector<DevicePoint> corners(points);
    region->BuildTrapezoidRegion(corners.data(), int32_t(corners.size()));
    return region;
}

std::vector<int32_t> RowYs(const SpanRegion* region)
{
    std::vector<int32_t> ys;
    for (int32_t i = 0; i < region->TrapezoidCount(); ++i) ys.push_back(region->Rows()[i].leftY);
    return ys;
}

}  // namespace

TEST(TrapezoidRegion, RowsAtEveryCornerHeightFromTheTop)
{
    // A horizontal top edge: one row joining the two top corners, then one per corner below.
    auto triangle = TrapezoidRegion({{0, 10}, {10, 10}, {4, 0}});
    ASSERT_EQ(triangle->TrapezoidCount(), 2);
    const TrapezoidRow& top = triangle->Rows()[0];
    EXPECT_EQ(top.leftX, 0);
    EXPECT_EQ(top.rightX, 10);
    EXPECT_EQ(top.leftCorner + top.rightCorner, 2);
    const TrapezoidRow& apex = triangle->Rows()[1];
    EXPECT_EQ(apex.leftX, 4);
    EXPECT_EQ(apex.rightX, 4);
    EXPECT_EQ(triangle->top, 10);
    EXPECT_EQ(triangle->bottom, 0);
    EXPECT_EQ(triangle->left, 0);
    EXPECT_EQ(triangle->right, 10);
    // One top corner; the far side is cut at each corner's height, flagged as no corner.
    auto kite = TrapezoidRegion({{5, 20}, {10, 10}, {6, 0}, {0, 14}});
    EXPECT_EQ(RowYs(kite.get()), (std::vector<int32_t>{20, 14, 10, 0}));
    const TrapezoidRow& second = kite->Rows()[1];
    EXPECT_EQ(second.leftX, 0);
    EXPECT_EQ(second.leftCorner, 1);
    EXPECT_EQ(second.rightCorner, 0);
    EXPECT_EQ(second.rightX, 5 + (14 - 20) * (10 - 5) / (10 - 20));
    // All corners at one height: no rows.
    auto flat = TrapezoidRegion({{0, 3}, {5, 3}, {9, 3}});
    EXPECT_EQ(flat->TrapezoidCount(), 0);
}

TEST(TrapezoidRegion, IntersectionsAndOutlines)
{
    auto clip = TrapezoidRegion({{0, 0}, {100, 0}, {100, 100}, {0, 100}});
    auto face = TrapezoidRegion({{50, 50}, {150, 50}, {150, 150}, {50, 150}});
    Region result(new SpanRegion);
    result->SpanRegionInit();
    ASSERT_TRUE(clip->IntersectTrapezoidRegionsInto(face.get(), result.get()));
    EXPECT_EQ(result->left, 50);
    EXPECT_EQ(result->right, 100);
    EXPECT_EQ(result->top, 100);
    EXPECT_EQ(result->bottom, 50);
    DynamicArray* outline = NewDynamicArray(0, int32_t(sizeof(DevicePoint)), 8);
    result->TrapezoidRegionOutline(outline);
    ASSERT_EQ(outline->ArrayCount(), 5);
    EXPECT_EQ(outline->At<DevicePoint>(0)->x, outline->At<DevicePoint>(4)->x);
    EXPECT_EQ(outline->At<DevicePoint>(0)->y, outline->At<DevicePoint>(4)->y);
    outline->Destroy();
    // Regions that only touch at one height, or lie apart, leave nothing.
    auto above = TrapezoidRegion({{0, 100}, {100, 100}, {50, 200}});
    EXPECT_FALSE(clip->IntersectTrapezoidRegionsInto(above.get(), result.get()));
    auto apart = TrapezoidRegion({{300, 0}, {400, 0}, {350, 50}});
    EXPECT_FALSE(clip->IntersectTrapezoidRegionsInto(apart.get(), result.get()));
    // A crossing of edges becomes a corner of the result.
    auto slanted = TrapezoidRegion({{-50, 50}, {50, -50}, {150, 50}, {50, 150}});
    ASSERT_TRUE(clip->IntersectTrapezoidRegionsInto(slanted.get(), result.get()));
    EXPECT_EQ(result->left, 0);
    EXPECT_EQ(result->right, 100);
    EXPECT_EQ(result->bottom, 0);
}

TEST(LineIntersection, CrossingOfTwoLines)
{
    const DevicePoint p = LineIntersection({0, 0}, {10, 10}, {0, 10}, {10, 0});
    EXPECT_EQ(p.x, 5);
    EXPECT_EQ(p.y, 5);
    const DevicePoint parallel = LineIntersection({1, 2}, {11, 2}, {0, 5}, {10, 5});
    EXPECT_EQ(parallel.x, 1);
    EXPECT_EQ(parallel.y, 2);
    const DevicePoint far = LineIntersection({-100000, 0}, {100000, 1}, {0, -100000}, {1, 100000});
    EXPECT_NEAR(far.x, 0, 1);
    EXPECT_NEAR(far.y, 0, 1);
}

TEST(SpanRegion, RegionsWithoutRowsTakeTheTrapezoidForm)
{
    RegionRowQuery previous = InstallRegionRowQuery([]() { return 0; });
    Region whole(new SpanRegion);
    whole->SpanRegionInit();
    EXPECT_EQ(whole->rowCount, 0);
    Region frame(whole->SpanRegionFromRect(0, 0, 40, 30));
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->clipped, 1);
    EXPECT_EQ(frame->TrapezoidCount(), 2);
    EXPECT_EQ(frame->SpanRegionFromRect(0, 0, 10, 10), nullptr);
    std::unique_ptr<DynamicArray, void (*)(DynamicArray*)> points(NewDynamicArray(0, int32_t(sizeof(DevicePoint)), 4),
                                                                   [](DynamicArray* a) { a->Destroy(); });
    for (const DevicePoint& p : {DevicePoint{30, 20}, DevicePoint{60, 20}, DevicePoint{60, 50}}) points->Append(&p);
    Region cut(frame->SpanRegionIntersectPolygon(points.get()));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->right, 40);
    EXPECT_EQ(cut->top, 30);
    IgnoreResult(points->ArraySetCount(2));
    EXPECT_EQ(frame->SpanRegionIntersectPolygon(points.get()), nullptr);
    // With rows the cut is a clip shape.
    InstallRegionRowQuery([]() { return 30; });
    Region direct(new SpanRegion);
    direct->SpanRegionInit();
    EXPECT_EQ(direct->rowCount, 30);
    Region directFrame(direct->SpanRegionFromRect(0, 0, 40, 30));
    ASSERT_TRUE(directFrame);
    EXPECT_EQ(directFrame->ClipVertexCount(), 4);
    InstallRegionRowQuery(previous);
}
