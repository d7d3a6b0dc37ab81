// The occlusion mask: exactly the pixels a convex polygon covers with a pixel to spare, never one
// whose neighbourhood leaves the polygon (across the words of its rows), nothing for polygons
// that are not convex, and only the part of a box inside the frame tested.
#include <gtest/gtest.h>

#include <initializer_list>
#include <random>
#include <vector>

#include "render/occlusion_mask.h"

namespace {

std::vector<DevicePoint> Points(std::initializer_list<DevicePoint> list)
{
    return std::vector<DevicePoint>(list);
}

// Whether (x, y) lies inside or on the convex polygon, whichever way round it runs.
bool Inside(const std::vector<DevicePoint>& p, double x, double y)
{
    int32_t sign = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        const DevicePoint& a = p[i];
        const DevicePoint& b = p[(i + 1) % p.size()];
        const double cross = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
        const int32_t s = cross > 0 ? 1 : cross < 0 ? -1 : 0;
        if (s != 0 && sign != 0 && s != sign) return false;
        if (s != 0) sign = s;
    }
    return true;
}

}  // namespace

TEST(OcclusionMask, ARectangleMarksItsPixelsLessAPixelAllRound)
{
    OcclusionMask mask;
    mask.Reset(0, 0, 200, 100);
    const auto square = Points({{10, 10}, {30, 10}, {30, 20}, {10, 20}});
    mask.CoverPolygon(square.data(), int32_t(square.size()));
    // Pixels 11 to 28 across and 11 to 18 down: each with a pixel of the polygon on every side.
    EXPECT_TRUE(mask.Covers(11, 11, 29, 19));
    EXPECT_FALSE(mask.Covers(10, 11, 29, 19));
    EXPECT_FALSE(mask.Covers(11, 10, 29, 19));
    EXPECT_FALSE(mask.Covers(11, 11, 30, 19));
    EXPECT_FALSE(mask.Covers(11, 11, 29, 20));
    // A new frame starts empty; only the part of a box inside the frame counts.
    mask.Reset(0, 0, 200, 100);
    EXPECT_FALSE(mask.Covers(20, 15, 21, 16));
    EXPECT_TRUE(mask.Covers(220, 10, 240, 20));
    EXPECT_FALSE(mask.Covers(190, 10, 240, 20));
    const auto big = Points({{-500, -500}, {600, -500}, {600, 600}, {-500, 600}});
    mask.CoverPolygon(big.data(), 4);
    EXPECT_TRUE(mask.Covers(-50, -50, 250, 150));
    // A mask marked whole starts empty again too; a box across words wants every word between its
    // first and last whole, and each end only as far as it reaches.
    mask.Reset(0, 0, 200, 100);
    EXPECT_FALSE(mask.Covers(150, 50, 151, 51));
    const auto left = Points({{-10, 0}, {80, 0}, {80, 50}, {-10, 50}});
    const auto right = Points({{120, 0}, {210, 0}, {210, 50}, {120, 50}});
    mask.CoverPolygon(left.data(), 4);
    mask.CoverPolygon(right.data(), 4);
    EXPECT_TRUE(mask.Covers(0, 5, 79, 45));
    EXPECT_TRUE(mask.Covers(121, 5, 200, 45));
    EXPECT_FALSE(mask.Covers(0, 5, 200, 45));
    EXPECT_FALSE(mask.Covers(60, 5, 140, 45));
}

TEST(OcclusionMask, NeverMarksAPixelWhoseNeighbourhoodLeavesThePolygon)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> coordinate(-40, 240);
    int32_t marked = 0;
    for (int32_t round = 0; round < 200; ++round) {
        // A triangle or a quadrilateral of random corners; only convex ones mark anything.
        std::vector<DevicePoint> polygon;
        const int32_t corners = 3 + round % 2;
        for (int32_t i = 0; i < corners; ++i) polygon.push_back({coordinate(random), coordinate(random)});
        OcclusionMask mask;
        mask.Reset(0, 0, 200, 160);
        mask.CoverPolygon(polygon.data(), corners);
        for (int32_t y = 0; y < 160; ++y) {
            for (int32_t x = 0; x < 200; ++x) {
                if (!mask.Covers(x, y, x + 1, y + 1)) continue;
                ++marked;
                for (double cx : {x - 1.0, x + 2.0})
                    for (double cy : {y - 1.0, y + 2.0}) ASSERT_TRUE(Inside(polygon, cx, cy)) << x << "," << y;
            }
        }
    }
    EXPECT_GT(marked, 100000);
}

TEST(OcclusionMask, PolygonsThatAreNotConvexMarkNothing)
{
    OcclusionMask mask;
    mask.Reset(0, 0, 200, 200);
    // An L: its notch must stay unmarked, so none of it is marked.
    const auto ell = Points({{10, 10}, {100, 10}, {100, 40}, {40, 40}, {40, 100}, {10, 100}});
    mask.CoverPolygon(ell.data(), int32_t(ell.size()));
    EXPECT_FALSE(mask.Covers(20, 20, 21, 21));
    // A five-pointed star drawn in one line turns the same way at every corner but winds twice.
    const auto star = Points({{100, 10}, {160, 190}, {10, 70}, {190, 70}, {40, 190}});
    mask.CoverPolygon(star.data(), int32_t(star.size()));
    EXPECT_FALSE(mask.Covers(100, 110, 101, 111));
}

TEST(OcclusionMask, MarksTakenBackLeaveWhatTheLaterPolygonsMarked)
{
    // Two overlapping squares marked in turn; the second's own marks taken back leave the first's
    // exactly, the first's then leave nothing.
    const auto first = Points({{10, 10}, {90, 10}, {90, 40}, {10, 40}});
    const auto second = Points({{50, 20}, {150, 20}, {150, 60}, {50, 60}});
    OcclusionMask alone;
    alone.Reset(0, 0, 200, 100);
    alone.CoverPolygon(first.data(), int32_t(first.size()));
    OcclusionMask mask;
    mask.Reset(0, 0, 200, 100);
    const size_t start = mask.MarksMade();
    mask.CoverPolygon(first.data(), int32_t(first.size()));
    const size_t between = mask.MarksMade();
    mask.CoverPolygon(second.data(), int32_t(second.size()));
    EXPECT_GT(mask.MarksMade(), between);
    mask.Uncover(between, mask.MarksMade());
    const CoveredPixels pixels = mask.Pixels();
    const CoveredPixels expected = alone.Pixels();
    ASSERT_EQ(pixels.wordsPerRow, expected.wordsPerRow);
    const size_t words = size_t(pixels.wordsPerRow) * size_t(pixels.height);
    EXPECT_EQ(std::vector<uint64_t>(pixels.bits, pixels.bits + words),
              std::vector<uint64_t>(expected.bits, expected.bits + words));
    mask.Uncover(start, between);
    EXPECT_EQ(std::vector<uint64_t>(pixels.bits, pixels.bits + words), std::vector<uint64_t>(words, 0));
    EXPECT_EQ(mask.Pixels().left, 0);
    EXPECT_EQ(mask.Pixels().width, 200);
    // A reset forgets the marks, those taken back and those standing, and counts itself.
    mask.CoverPolygon(second.data(), int32_t(second.size()));
    const uint32_t resets = mask.Resets();
    mask.Reset(0, 0, 200, 100);
    EXPECT_EQ(mask.MarksMade(), 0u);
    EXPECT_EQ(mask.Resets(), resets + 1);
    EXPECT_EQ(std::vector<uint64_t>(pixels.bits, pixels.bits + words), std::vector<uint64_t>(words, 0));
}

TEST(OcclusionMask, AMaskKeepingNoMarksIsClearedWholeForEveryBox)
{
    // Marked over one box, then reset to a smaller box within it and to the first again: nothing
    // stays marked, and no marks are kept to take back.
    const auto square = Points({{10, 10}, {90, 10}, {90, 40}, {10, 40}});
    OcclusionMask mask(false);
    for (const int32_t right : {200, 100, 200}) {
        mask.Reset(0, 0, right, 100);
        EXPECT_FALSE(mask.Covers(20, 20, 30, 30)) << right;
        mask.CoverPolygon(square.data(), int32_t(square.size()));
        EXPECT_TRUE(mask.Covers(20, 20, 80, 30)) << right;
        EXPECT_FALSE(mask.Covers(20, 20, 95, 30)) << right;
        EXPECT_EQ(mask.MarksMade(), 0u) << right;
    }
}
