// Flat polygons in every pixel format: the same coverage in every format, half-open spans that
// tile shared edges exactly, the results and edge cases of the routines, clipped frames, and
// nothing ever written outside the destination or the buffer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "raster/raster_polygon.h"
#include "raster_surface.h"
#include "region_support.h"

using namespace raster;
using rastertest::RectRegion;
using rastertest::ShapeRegion;
using rastertest::Surface;

namespace {

constexpr uint32_t kFill = 0xFFFFFFFF;
constexpr uint32_t kFrame = 0x12345678;
constexpr int32_t kFillOnly = kOptionFill;
constexpr int32_t kFillAndFrame = kOptionFill | kOptionFrame;

using Polygon = std::vector<DevicePoint>;

const std::vector<Polygon>& TestPolygons()
{
    static const std::vector<Polygon> polygons = {
        {{3, 2}, {40, 9}, {17, 30}},                        // triangle
        {{5, 5}, {60, 5}, {60, 20}, {5, 20}},               // rectangle with horizontal edges
        {{30, 1}, {62, 16}, {31, 39}, {1, 17}},             // diamond
        {{2, 3}, {61, 4}, {3, 5}},                          // thin sliver
        {{-20, -15}, {90, 10}, {10, 70}},                   // partly outside the buffer
        {{10, 10}, {20, 10}, {25, 14}, {20, 25}, {12, 22}, {8, 16}},  // hexagon
        {{0, 0}, {63, 0}, {63, 39}, {0, 39}},               // the whole buffer
        {{33, 7}, {34, 7}, {34, 8}, {33, 8}},               // one pixel
    };
    return polygons;
}

template <class F>
std::string FillCoverage(const Polygon& p, int32_t options = kFillOnly)
{
    Surface<F> s(64, 40);
    FillPolygonOn<F>(s.Target(), p.data(), int32_t(p.size()), kFill, kFrame, options, 0);
    EXPECT_TRUE(s.GuardsIntact());
    return s.Coverage();
}

template <class F>
std::string ClippedCoverage(const Polygon& p, const SpanRegion* region)
{
    Surface<F> s(64, 40);
    FillPolygonClippedOn<F>(s.Target(), p.data(), int32_t(p.size()), kFill, kFrame, region, kFillOnly, 0);
    EXPECT_TRUE(s.GuardsIntact());
    return s.Coverage();
}

template <class F>
std::string ShadedCoverage(const Polygon& p, const SpanRegion* region, const ShadeLevelEntry* levels)
{
    Surface<F> s(64, 40);
    std::vector<Fixed> values(p.size(), IntToFixed(7));
    ShadePolygonClippedOn<F>(s.Target(), p.data(), values.data(), int32_t(p.size()), levels, 5, kFrame, region,
                             kFillOnly, 0);
    EXPECT_TRUE(s.GuardsIntact());
    return s.Coverage();
}

int32_t Count(const std::string& map, char c) { return int32_t(std::count(map.begin(), map.end(), c)); }

// Adds coverage map b to a: '2' where a pixel is covered more than once, '#' where once.
std::string Overlay(const std::string& a, const std::string& b)
{
    std::string out = a;
    for (size_t i = 0; i < a.size(); ++i)
        if (b[i] == '#') out[i] = a[i] == '.' ? '#' : '2';
    return out;
}

}  // namespace

TEST(PolygonCoverage, SamePixelsInEveryFormat)
{
    auto rect = RectRegion(4, 3, 50, 33);
    auto diamond = ShapeRegion({{32, 0}, {64, 20}, {32, 40}, {0, 20}});
    rastertest::FakeShadeTables tables;
    for (const Polygon& p : TestPolygons()) {
        const std::string reference = FillCoverage<Direct32>(p);
        EXPECT_GT(Count(reference, '#'), 0);
        EXPECT_EQ(FillCoverage<Packed4>(p), reference);
        EXPECT_EQ(FillCoverage<Planar4>(p), reference);
        EXPECT_EQ(FillCoverage<Indexed8>(p), reference);
        EXPECT_EQ(FillCoverage<Direct16>(p), reference);
        EXPECT_EQ(FillCoverage<Direct24>(p), reference);

        for (const SpanRegion* region : {rect.get(), diamond.get()}) {
            const std::string clipped = ClippedCoverage<Direct32>(p, region);
            EXPECT_EQ(ClippedCoverage<Packed4>(p, region), clipped);
            EXPECT_EQ(ClippedCoverage<Planar4>(p, region), clipped);
            EXPECT_EQ(ClippedCoverage<Indexed8>(p, region), clipped);
            EXPECT_EQ(ClippedCoverage<Direct16>(p, region), clipped);
            EXPECT_EQ(ClippedCoverage<Direct24>(p, region), clipped);
            // Shading walks the same edges: its coverage is the clipped fill's.
            EXPECT_EQ(ShadedCoverage<Packed4>(p, region, tables.Levels()), clipped);
            EXPECT_EQ(ShadedCoverage<Planar4>(p, region, tables.Levels()), clipped);
            EXPECT_EQ(ShadedCoverage<Indexed8>(p, region, tables.Levels()), clipped);
            EXPECT_EQ(ShadedCoverage<Direct16>(p, region, tables.Levels()), clipped);
            EXPECT_EQ(ShadedCoverage<Direct24>(p, region, tables.Levels()), clipped);
            EXPECT_EQ(ShadedCoverage<Direct32>(p, region, tables.Levels()), clipped);
        }
    }
}

TEST(PolygonCoverage, RectangleCoversItsHalfOpenPixels)
{
    const std::string map = FillCoverage<Indexed8>({{5, 5}, {60, 5}, {60, 20}, {5, 20}});
    EXPECT_EQ(Count(map, '#'), 55 * 15);
    EXPECT_EQ(map[5 * 65 + 5], '#');
    EXPECT_EQ(map[5 * 65 + 60], '.');
    EXPECT_EQ(map[20 * 65 + 5], '.');
    // Clipped to a 64 x 40 view the same rectangle covers the same pixels.
    auto view = RectRegion(0, 0, 64, 40);
    EXPECT_EQ(ClippedCoverage<Indexed8>({{5, 5}, {60, 5}, {60, 20}, {5, 20}}, view.get()), map);
}

TEST(PolygonCoverage, SharedEdgesNeitherGapNorOverlap)
{
    auto view = RectRegion(0, 0, 64, 40);
    const std::vector<Polygon> quads = {
        {{3, 2}, {50, 6}, {60, 37}, {7, 30}},
        {{20, 1}, {62, 20}, {35, 38}, {2, 18}},
        {{1, 1}, {63, 2}, {62, 3}, {2, 39}},
        {{10, 5}, {11, 5}, {55, 35}, {9, 36}},
    };
    for (const Polygon& q : quads) {
        const Polygon first = {q[0], q[1], q[2]};
        const Polygon second = {q[0], q[2], q[3]};
        const std::string whole = FillCoverage<Direct16>(q);
        const std::string split = Overlay(FillCoverage<Direct16>(first), FillCoverage<Direct16>(second));
        EXPECT_EQ(Count(split, '2'), 0);
        EXPECT_EQ(split, whole);

        const std::string clippedWhole = ClippedCoverage<Packed4>(q, view.get());
        const std::string clippedSplit =
            Overlay(ClippedCoverage<Packed4>(first, view.get()), ClippedCoverage<Packed4>(second, view.get()));
        EXPECT_EQ(Count(clippedSplit, '2'), 0);
        EXPECT_EQ(clippedSplit, clippedWhole);
    }

    // A fan of triangles around an inner point tiles the hexagon exactly.
    const Polygon hexagon = TestPolygons()[5];
    const DevicePoint centre{16, 17};
    std::string fan = Surface<Indexed8>(64, 40).Coverage();
    for (size_t i = 0; i < hexagon.size(); ++i)
        fan = Overlay(fan, FillCoverage<Indexed8>({centre, hexagon[i], hexagon[(i + 1) % hexagon.size()]}));
    const std::string hexMap = FillCoverage<Indexed8>(hexagon);
    EXPECT_EQ(Count(fan, '2'), 0);
    EXPECT_EQ(Count(fan, '#'), Count(hexMap, '#'));
}

TEST(FillPolygon, ResultsForDegenerateAndRejectedPolygons)
{
    Surface<Indexed8> s(64, 40);
    s.Target().destination = {10, 10, 40, 30};
    RasterTarget& t = s.Target();
    const DevicePoint two[2] = {{12, 12}, {30, 25}};
    EXPECT_EQ(FillPolygonOn<Indexed8>(t, two, 2, kFill, kFrame, kFillOnly, 0), 0);
    EXPECT_EQ(FillPolygonOn<Indexed8>(t, two, 2, kFill, kFrame, kFillAndFrame, 0), 1);
    EXPECT_EQ(FillPolygonOn<Indexed8>(t, two, 2, kFill, kFrame, 0, 0), 0);
    EXPECT_EQ(Count(s.Coverage(), '#'), 0);

    const DevicePoint clockwise[3] = {{12, 12}, {30, 14}, {15, 25}};
    const DevicePoint anticlockwise[3] = {{12, 12}, {15, 25}, {30, 14}};
    EXPECT_EQ(FillPolygonOn<Indexed8>(t, anticlockwise, 3, kFill, kFrame, kFillOnly, 0), 1);
    EXPECT_EQ(Count(s.Coverage(), '#'), 0);
    EXPECT_EQ(FillPolygonOn<Indexed8>(t, clockwise, 3, kFill, kFrame, kFillOnly, 0), 1);
    EXPECT_GT(Count(s.Coverage(), '#'), 50);

    Surface<Indexed8> e(64, 40);
    e.Target().destination = {10, 10, 40, 30};
    const DevicePoint atRight[3] = {{40, 12}, {50, 14}, {45, 25}};   // smallest x on the right edge
    const DevicePoint atLeft[3] = {{0, 12}, {10, 14}, {5, 25}};      // largest x on the left edge
    const DevicePoint atBottom[3] = {{12, 30}, {30, 31}, {15, 35}};  // top row on the bottom edge
    const DevicePoint oneRow[3] = {{12, 15}, {20, 15}, {30, 15}};
    EXPECT_EQ(FillPolygonOn<Indexed8>(e.Target(), atRight, 3, kFill, kFrame, kFillOnly, 0), 1);
    EXPECT_EQ(FillPolygonOn<Indexed8>(e.Target(), atLeft, 3, kFill, kFrame, kFillOnly, 0), 0);
    EXPECT_EQ(FillPolygonOn<Indexed8>(e.Target(), atBottom, 3, kFill, kFrame, kFillOnly, 0), 1);
    EXPECT_EQ(FillPolygonOn<Indexed8>(e.Target(), oneRow, 3, kFill, kFrame, kFillAndFrame, 0), 0);
    EXPECT_EQ(Count(e.Coverage(), '#'), 0);
}

TEST(FillPolygon, FrameOnlyDrawsTheThreeLines)
{
    const DevicePoint tri[3] = {{5, 5}, {40, 12}, {12, 30}};
    Surface<Direct32> framed(64, 40);
    EXPECT_EQ(FillPolygonOn<Direct32>(framed.Target(), tri, 3, kFill, kFrame, kOptionFrame, 0), 1);
    Surface<Direct32> lines(64, 40);
    const Direct32::Line line = Direct32::MakeLine(kFrame);
    DrawLineOn<Direct32>(lines.Target(), 5, 5, 40, 12, line);
    DrawLineOn<Direct32>(lines.Target(), 40, 12, 12, 30, line);
    DrawLineOn<Direct32>(lines.Target(), 5, 5, 12, 30, line);
    EXPECT_EQ(framed.Coverage(), lines.Coverage());
    EXPECT_GT(Count(framed.Coverage(), '#'), 60);

    // Fill and frame: the frame is drawn over the fill.
    Surface<Direct32> both(64, 40);
    EXPECT_EQ(FillPolygonOn<Direct32>(both.Target(), tri, 3, kFill, kFrame, kFillAndFrame, 0), 1);
    EXPECT_EQ(both.Pixel(5, 5), kFrame);
    EXPECT_EQ(both.Pixel(15, 15), kFill);
}

TEST(FillPolygonClipped, FramesOnlyThePolygonsOwnEdges)
{
    auto region = RectRegion(0, 0, 20, 20);
    const DevicePoint tri[3] = {{5, 5}, {40, 10}, {5, 15}};
    Surface<Direct32> s(64, 40);
    EXPECT_EQ(FillPolygonClippedOn<Direct32>(s.Target(), tri, 3, kFill, kFrame, region.get(), kFillAndFrame, 0), 1);
    // The cut along x = 19.75 is filled, never framed; the polygon's own left edge is framed.
    for (int32_t y = 9; y <= 11; ++y) EXPECT_EQ(s.Pixel(19, y), kFill) << y;
    EXPECT_EQ(s.Pixel(5, 10), kFrame);
    EXPECT_EQ(s.Pixel(20, 10), 0u);
    for (int32_t y = 0; y < 40; ++y) EXPECT_EQ(s.Pixel(20, y), 0u);

    // Without option 8 the polygon's outline is clipped to the shape.
    Surface<Direct32> outline(64, 40);
    EXPECT_EQ(FillPolygonClippedOn<Direct32>(outline.Target(), tri, 3, kFill, kFrame, region.get(), kOptionFrame, 0),
              1);
    EXPECT_EQ(outline.Pixel(5, 10), kFrame);
    EXPECT_EQ(outline.Pixel(10, 10), 0u);
    EXPECT_EQ(outline.Pixel(25, 8), 0u);

    // Results: too few points, an empty region and a polygon clipped away answer 1; one row 0.
    const DevicePoint away[3] = {{30, 30}, {40, 31}, {32, 39}};
    EXPECT_EQ(FillPolygonClippedOn<Direct32>(s.Target(), tri, 2, kFill, kFrame, region.get(), kFillOnly, 0), 1);
    EXPECT_EQ(FillPolygonClippedOn<Direct32>(s.Target(), away, 3, kFill, kFrame, region.get(), kFillOnly, 0), 1);
    EXPECT_EQ(FillPolygonClippedOn<Direct32>(s.Target(), tri, 3, kFill, kFrame, region.get(), 0, 0), 0);
    const DevicePoint flat[3] = {{2, 10}, {8, 10}, {16, 10}};
    EXPECT_EQ(FillPolygonClippedOn<Direct32>(s.Target(), flat, 3, kFill, kFrame, region.get(), kFillOnly, 0), 0);
    region->empty = 1;
    EXPECT_EQ(FillPolygonClippedOn<Direct32>(s.Target(), tri, 3, kFill, kFrame, region.get(), kFillOnly, 0), 1);
    EXPECT_EQ(FillPolygonClippedOn<Direct32>(s.Target(), tri, 3, kFill, kFrame, nullptr, kFillOnly, 0), 1);
}

template <class F>
class PolygonFormats : public ::testing::Test {};
using AllFormats = ::testing::Types<Packed4, Planar4, Indexed8, Direct16, Direct24, Direct32>;
TYPED_TEST_SUITE(PolygonFormats, AllFormats);

TYPED_TEST(PolygonFormats, HalftoneFillWritesACheckerboardInsideTheCoverage)
{
    using F = TypeParam;
    const Polygon p = {{3, 2}, {60, 9}, {40, 37}, {5, 30}};
    const std::string solid = FillCoverage<F>(p);
    Surface<F> s(64, 40);
    FillPolygonOn<F>(s.Target(), p.data(), 4, kFill, kFrame, kFillOnly, 1);
    const bool inverted = std::is_same_v<F, Packed4> || std::is_same_v<F, Planar4>;
    for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 0; x < 64; ++x) {
            const bool covered = solid[y * 65 + x] == '#';
            const bool written = covered && (((x ^ y) & 1) == 0) != inverted;
            ASSERT_EQ(s.Pixel(x, y) != 0, written) << x << "," << y;
        }
}

TYPED_TEST(PolygonFormats, NothingOutsideTheDestinationOrTheBuffer)
{
    using F = TypeParam;
    rastertest::FakeShadeTables tables;
    const std::vector<Polygon> wild = {
        {{-1000, -1000}, {1000, -900}, {900, 1000}, {-900, 900}},
        {{-40000, 5}, {40000, 9}, {100, 30000}},
        {{20, -2000000000}, {30, 2000000000}, {10, 15}},
        {{63, 0}, {200, 20}, {63, 39}},
        {{-5, -5}, {0, -5}, {0, 45}, {-5, 45}},
        {{30, 10}, {70000, 10}, {70000, 11}, {30, 11}},
    };
    Surface<F> s(64, 40);
    s.Target().destination = {6, 4, 50, 33};
    auto buffer = RectRegion(-100, -100, 200, 200);  // a region larger than the buffer
    for (const Polygon& p : wild) {
        const int32_t n = int32_t(p.size());
        FillPolygonOn<F>(s.Target(), p.data(), n, kFill, kFrame, kFillAndFrame, 0);
        FillPolygonOn<F>(s.Target(), p.data(), n, kFill, kFrame, kFillOnly, 1);
    }
    for (int32_t y = 0; y < 40; ++y) {
        for (int32_t x = 0; x < 64; ++x) {
            if (x < 6 || x >= 50 || y < 4 || y >= 33) {
                ASSERT_EQ(s.Pixel(x, y), 0u) << x << "," << y;
            }
        }
    }
    EXPECT_NE(s.Pixel(20, 20), 0u);

    Surface<F> c(64, 40);
    for (const Polygon& p : wild) {
        const int32_t n = int32_t(p.size());
        FillPolygonClippedOn<F>(c.Target(), p.data(), n, kFill, kFrame, buffer.get(), kFillAndFrame, 0);
        std::vector<Fixed> values(p.size(), IntToFixed(40));
        ShadePolygonClippedOn<F>(c.Target(), p.data(), values.data(), n, tables.Levels(), 9, kFrame, buffer.get(),
                                 kFillOnly, 1);
        ShadePolygonClippedOn<F>(c.Target(), p.data(), values.data(), n, tables.Levels(), 9, kFrame, buffer.get(),
                                 kOptionFrame, 0);
    }
    EXPECT_TRUE(c.GuardsIntact());
    EXPECT_TRUE(s.GuardsIntact());
}
