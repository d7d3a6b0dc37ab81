// Span regions as clip shapes, and the renderer's scratch buffer.
#include "raster/span_region.h"

#include <gtest/gtest.h>

#include "raster/polygon_clip.h"
#include "raster/scratch_buffer.h"
#include "region_support.h"

using rastertest::RectRegion;
using rastertest::WholeRegion;

TEST(SpanRegion, RectangleBecomesAClipPolygonInsetByAQuarterPixel)
{
    auto region = RectRegion(0, 0, 10, 10);
    ASSERT_TRUE(region);
    EXPECT_EQ(region->clipped, 1);
    EXPECT_EQ(region->empty, 0);
    ASSERT_EQ(region->ClipVertexCount(), 4);
    const FixedPoint* v = region->ClipVertices();
    EXPECT_EQ(v[0].x, 0x4000);
    EXPECT_EQ(v[0].y, 0x4000);
    EXPECT_EQ(v[2].x, IntToFixed(10) - 0x4000);
    EXPECT_EQ(v[2].y, IntToFixed(10) - 0x4000);
    EXPECT_EQ(region->scanBounds[kScanLeft], 0x4000);
    EXPECT_EQ(region->scanBounds[kScanRight], IntToFixed(10) - 0x4000);
    EXPECT_EQ(region->boundsCopy[kScanBottom], IntToFixed(10) - 0x4000);
    // Edge i runs from vertex i to vertex i + 1: the top edge is horizontal, the right vertical.
    const ClipEdgeEquation* e = region->ClipEdges();
    EXPECT_EQ(e[0].a, 0);
    EXPECT_LT(e[0].b, 0);
    EXPECT_GT(e[1].a, 0);
    EXPECT_EQ(e[1].b, 0);
}

TEST(SpanRegion, NoRectangleRegionFromAClippedOrEmptyOne)
{
    auto region = RectRegion(0, 0, 10, 10);
    EXPECT_EQ(region->SpanRegionFromRect(2, 2, 5, 5), nullptr);
    auto whole = WholeRegion();
    EXPECT_EQ(whole->SpanRegionFromRect(3, 3, 3, 9), nullptr);  // no width
    whole->empty = 1;
    EXPECT_EQ(whole->SpanRegionFromRect(0, 0, 10, 10), nullptr);
}

TEST(SpanRegion, NarrowedRegionIsThePolygonCutByTheParentsShape)
{
    auto parent = RectRegion(0, 0, 20, 20);
    rastertest::RegionPtr child(new SpanRegion);
    child->SpanRegionInit();
    child->clipped = 1;
    const DevicePoint square[4] = {{10, 10}, {40, 10}, {40, 40}, {10, 40}};
    parent->SetRegionClipShape(child.get(), square, 4);
    ASSERT_EQ(child->empty, 0);
    EXPECT_EQ(child->scanBounds[kScanLeft], IntToFixed(10));
    EXPECT_EQ(child->scanBounds[kScanRight], IntToFixed(20) - 0x4000);
    EXPECT_EQ(child->scanBounds[kScanBottom], IntToFixed(20) - 0x4000);
    EXPECT_EQ(child->ClipVertexCount(), 4);

    rastertest::RegionPtr outside(new SpanRegion);
    outside->SpanRegionInit();
    const DevicePoint far[3] = {{50, 50}, {60, 50}, {55, 60}};
    parent->SetRegionClipShape(outside.get(), far, 3);
    EXPECT_EQ(outside->empty, 1);
    EXPECT_EQ(outside->ClipVertexCount(), 0);
}

TEST(SpanRegion, RegionsLetGoOfComeBackAsFreshOnes)
{
    // A narrowed five-corner region with every field written, then let go of with its parent.
    SpanRegion* parent = NewSpanRegion();
    SpanRegion* used = parent->SpanRegionFromRect(0, 0, 40, 40);
    ASSERT_NE(used, nullptr);
    SpanRegion* child = NewSpanRegion();
    child->clipped = 1;
    const DevicePoint pentagon[5] = {{10, 5}, {30, 10}, {35, 30}, {20, 35}, {5, 20}};
    used->SetRegionClipShape(child, pentagon, 5);
    ASSERT_EQ(child->ClipVertexCount(), 5);
    child->imageFirstRow = child->imageLeft = child->imageRight = 7;
    child->left = child->top = 3;
    const TrapezoidRow row = {1, 2, 3, 4, 1, 1};
    ASSERT_GE(child->Append(&row), 0);
    child->SpanRegionFree();
    used->SpanRegionFree();
    parent->SpanRegionFree();

    // Made again, each is as new, and a clip shape made in one is its own.
    SpanRegion* again[3] = {NewSpanRegion(), NewSpanRegion(), NewSpanRegion()};
    for (SpanRegion* region : again) {
        EXPECT_TRUE(region == child || region == used || region == parent);
        EXPECT_EQ(region->TrapezoidCount(), 0);
        EXPECT_EQ(region->clipped, 0);
        EXPECT_EQ(region->empty, 0);
        EXPECT_EQ(region->ClipVertexCount(), 0);
        EXPECT_EQ(region->shape, nullptr);
        EXPECT_EQ(region->imageFirstRow | region->imageLeft | region->imageRight, 0);
        EXPECT_EQ(region->left, kRegionEmptyLow);
        EXPECT_EQ(region->bottom, kRegionEmptyHigh);
        for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(region->scanBounds[i] | region->boundsCopy[i], 0) << i;
    }
    SpanRegion* rect = again[0]->SpanRegionFromRect(2, 4, 12, 8);
    ASSERT_NE(rect, nullptr);
    ASSERT_EQ(rect->ClipVertexCount(), 4);
    EXPECT_EQ(rect->ClipVertices()[3].x, IntToFixed(2) + 0x4000);
    EXPECT_EQ(rect->ClipVertices()[3].y, IntToFixed(8) - 0x4000);
    EXPECT_EQ(rect->ClipEdges()[3].b, 0);  // from the bottom-left corner up: vertical
    rect->SpanRegionFree();
    for (SpanRegion* region : again) region->SpanRegionFree();
    FreeSpareRegions();
}

TEST(ScratchBuffer, ReservesGrowingBlocksAndKeepsThem)
{
    ASSERT_EQ(InitScratchBuffer(), kResultOk);
    EXPECT_EQ(ScratchBufferReserved(), 0);
    auto* first = static_cast<uint8_t*>(ScratchBufferReserve(10));
    ASSERT_NE(first, nullptr);
    first[79] = 0x42;  // 10 elements of 8 bytes
    EXPECT_EQ(ScratchBufferReserved(), 10);
    EXPECT_EQ(ScratchBufferReserve(4), first);  // already reserved
    auto* grown = static_cast<uint8_t*>(ScratchBufferReserve(1000));
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(grown[79], 0x42);
    EXPECT_EQ(ScratchBufferReserved(), 1000);
    FreeScratchBuffer();
    EXPECT_EQ(ScratchBufferReserve(1), nullptr);
}
