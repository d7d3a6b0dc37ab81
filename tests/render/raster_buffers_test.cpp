// The textured rasterizer's work arrays and the table square root.
#include <gtest/gtest.h>

#include "render/raster_buffers.h"

TEST(RasterBuffers, RingsTurnAndGrowOnce)
{
    ASSERT_EQ(InitRasterBuffers(), kResultOk);
    GrowRings(4);
    void* ring[6];
    for (void*& r : ring) r = NextRingA();
    EXPECT_EQ(ring[5], ring[0]);
    for (int i = 1; i < 5; ++i) EXPECT_NE(ring[i], ring[i - 1]);
    // Growing to a size already held changes nothing.
    GrowRings(3);
    for (int i = 0; i < 5; ++i) NextRingA();
    EXPECT_EQ(NextRingA(), ring[1]);
    void* buffer = GrowBuffer(100);
    EXPECT_NE(buffer, nullptr);
    EXPECT_EQ(GrowBuffer(50), buffer);
    GrowEdgeArrays(10);
    EXPECT_NE(EdgeArrayData(3), nullptr);
    FreeRasterBuffers();
}

TEST(FastSqrt, TableRoots)
{
    BuildSqrtTable();
    EXPECT_EQ(FastSqrt(0x10000), 0x10000);
    EXPECT_EQ(FastSqrt(0x40000), 0x20000);
    EXPECT_EQ(FastSqrt(0x4000), 0x8000);
    EXPECT_EQ(FastSqrt(0), 0);
    EXPECT_EQ(FastSqrt(-5), 0);
    EXPECT_NEAR(FastSqrt(IntToFixed(1000)), X2Fix(31.6227766), 0x400);
}
