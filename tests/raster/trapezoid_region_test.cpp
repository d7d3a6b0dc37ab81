// Span regions in their trapezoid form: rows of convex polygons, intersections (row by row, and
// of random polygons against the exact common area), outlines, and regions cut by polygons in
// both forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "raster/span_region.h"

namespace {

using Region = OwnedSpanRegion;

Region TrapezoidRegion(const std::vector<DevicePoint>& corners)
{
    Region region(new SpanRegion);
    region->SpanRegionInit();
    region->BuildTrapezoidRegion(corners.data(), int32_t(corners.size()));
    return region;
}

// A region's rows as left x, left y, right x, right y, left corner flag, right corner flag.
std::vector<std::vector<int32_t>> RowsOf(const SpanRegion* region)
{
    std::vector<std::vector<int32_t>> rows;
    for (int32_t i = 0; i < region->TrapezoidCount(); ++i) {
        const TrapezoidRow& r = region->Rows()[i];
        rows.push_back({r.leftX, r.leftY, r.rightX, r.rightY, r.leftCorner, r.rightCorner});
    }
    return rows;
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

TEST(TrapezoidRegion, IntersectionWalksBothRowListsDownwards)
{
    using Rows = std::vector<std::vector<int32_t>>;
    const std::vector<DevicePoint> square = {{0, 0}, {100, 0}, {100, 100}, {0, 100}};
    struct Case {
        const char* what;
        std::vector<DevicePoint> a, b;
        Rows rows;
    };
    const Case cases[] = {
        // The first row lies at the square's top, the triangle's edges cut there (corners); each
        // crossing of two left or two right edges is a row of its own with a corner on its side;
        // at the triangle's row the square's edges are interpolated (no corners); where the sides
        // meet the area closes to a point.
        {"a triangle over the square's top and out at both sides",
         square,
         {{50, 130}, {130, 40}, {-30, 20}},
         {{29, 100, 76, 100, 1, 1},
          {9, 73, 100, 73, 0, 1},
          {0, 60, 100, 60, 1, 0},
          {0, 40, 100, 40, 0, 0},
          {0, 36, 100, 36, 0, 1},
          {0, 23, 0, 23, 1, 1}}},
        // The area opens at the point the triangle's right edge enters the square; the last row's
        // ends are corners.
        {"a triangle beside the square at its top",
         square,
         {{-50, 150}, {60, 0}, {-80, 0}},
         {{0, 81, 0, 81, 1, 1}, {0, 0, 60, 0, 1, 1}}},
        // The sliver enters across the region's right edge; the area closes where its lower edge
        // leaves across the region's left edge (x 52.x), not at its own tip beyond it.
        {"a thin sliver across a narrow region",
         {{9, 107}, {206, -304}, {93, -544}},
         {{514, -219}, {514, -223}, {-24, -233}},
         {{169, -228, 169, -228, 1, 1}, {92, -230, 171, -230, 0, 1}, {53, -232, 53, -232, 1, 1}}},
        // The first region has level rows at y -78 (126 to 140, then 126 to 170): the area's span
        // changes at once there, its ends are corners.
        {"level rows",
         {{396, -172}, {220, -218}, {126, -77}, {140, -78}, {170, -78}, {310, -95}, {320, -97}},
         {{120, -339}, {-208, -537}, {-613, -359}, {-679, 4}, {177, -19}},
         {{126, -77, 126, -77, 1, 1},
          {126, -78, 140, -78, 0, 1},
          {126, -78, 167, -78, 1, 1},
          {137, -95, 164, -95, 0, 0},
          {138, -97, 164, -97, 0, 0},
          {158, -127, 158, -127, 1, 1}}},
        {"a crossing that rounds to the last row's height: the two level rows become one",
         square,
         {{81, 10}, {119, -9}, {0, -9}},
         {{81, 10, 81, 10, 1, 1}, {39, 0, 100, 0, 1, 1}}},
    };
    Region result(new SpanRegion);
    result->SpanRegionInit();
    for (const Case& c : cases) {
        auto a = TrapezoidRegion(c.a);
        auto b = TrapezoidRegion(c.b);
        ASSERT_TRUE(a->IntersectTrapezoidRegionsInto(b.get(), result.get())) << c.what;
        const Rows rows = RowsOf(result.get());
        EXPECT_EQ(rows, c.rows) << c.what;
        // The bounds are those of the rows.
        int32_t left = rows[0][0], right = rows[0][2];
        for (const auto& row : rows) left = std::min(left, row[0]), right = std::max(right, row[2]);
        EXPECT_EQ((std::vector<int32_t>{result->top, result->bottom, result->left, result->right}),
                  (std::vector<int32_t>{rows.front()[1], rows.back()[1], left, right}))
            << c.what;
    }
}

namespace {

using Polygon = std::vector<std::pair<double, double>>;

// A convex polygon of 3 to 8 corners rounded to whole points (which may leave it a little
// concave), about a random centre.
std::vector<DevicePoint> RandomConvexPolygon(std::mt19937& random, double range)
{
    std::uniform_real_distribution<double> unit(0, 1);
    const double cx = (unit(random) - 0.5) * range, cy = (unit(random) - 0.5) * range;
    const double rx = 3 + unit(random) * range * 0.8, ry = 3 + unit(random) * range * 0.8;
    std::vector<double> angles(3 + random() % 6);
    for (double& a : angles) a = unit(random) * 6.2832;
    std::sort(angles.begin(), angles.end());
    if (random() % 2) std::reverse(angles.begin(), angles.end());
    std::vector<DevicePoint> points;
    for (double a : angles)
        points.push_back({int32_t(std::lround(cx + rx * std::cos(a))), int32_t(std::lround(cy + ry * std::sin(a)))});
    return points;
}

// The area of a region as its rows give it: down the left points, back up the right ones.
Polygon RowsPolygon(const SpanRegion* region)
{
    Polygon p;
    const TrapezoidRow* rows = region->Rows();
    for (int32_t i = 0; i < region->TrapezoidCount(); ++i) p.emplace_back(rows[i].leftX, rows[i].leftY);
    for (int32_t i = region->TrapezoidCount() - 1; i >= 0; --i) p.emplace_back(rows[i].rightX, rows[i].rightY);
    return p;
}

Polygon OutlinePolygon(const SpanRegion* region)
{
    DynamicArray* outline = NewDynamicArray(0, int32_t(sizeof(DevicePoint)), 8);
    region->TrapezoidRegionOutline(outline);
    Polygon p;
    for (int32_t i = 0; i < outline->ArrayCount(); ++i)
        p.emplace_back(outline->At<DevicePoint>(i)->x, outline->At<DevicePoint>(i)->y);
    outline->Destroy();
    return p;
}

// The distance from a point to the polygon's edges, negative outside it.
double SignedDistance(const Polygon& p, double x, double y)
{
    bool inside = false;
    double d = 1e30;
    for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
        const auto& [xi, yi] = p[i];
        const auto& [xj, yj] = p[j];
        if ((yi > y) != (yj > y) && x < xj + (y - yj) * (xi - xj) / (yi - yj)) inside = !inside;
        const double dx = xi - xj, dy = yi - yj, length = dx * dx + dy * dy;
        const double t = length == 0 ? 0 : std::clamp(((x - xj) * dx + (y - yj) * dy) / length, 0.0, 1.0);
        d = std::min(d, std::hypot(x - xj - t * dx, y - yj - t * dy));
    }
    return inside ? d : -d;
}

}  // namespace

TEST(TrapezoidRegion, IntersectionsOfRandomPolygonsKeepToTheCommonArea)
{
    // Every point that lies in both regions farther than the rounding from their edges lies in
    // the intersection's outline, and every point of the outline lies in both regions or within
    // the rounding of them; the rows run downwards, left to right.
    constexpr double kRounding = 3;
    std::mt19937 random(26);
    for (int32_t trial = 0; trial < 20000; ++trial) {
        const double range = trial % 3 == 0 ? 40 : 600;
        auto clip = TrapezoidRegion(RandomConvexPolygon(random, range));
        auto face = TrapezoidRegion(RandomConvexPolygon(random, range));
        if (clip->TrapezoidCount() < 2 || face->TrapezoidCount() < 2) continue;
        Region result(new SpanRegion);
        result->SpanRegionInit();
        const bool met = clip->IntersectTrapezoidRegionsInto(face.get(), result.get());
        const TrapezoidRow* rows = result->Rows();
        for (int32_t i = 0; met && i < result->TrapezoidCount(); ++i) {
            ASSERT_LE(rows[i].leftX, rows[i].rightX) << trial;
            ASSERT_LE(rows[i].leftY, rows[i > 0 ? i - 1 : 0].leftY) << trial;
        }
        const Polygon inClip = RowsPolygon(clip.get()), inFace = RowsPolygon(face.get());
        const Polygon outline = met ? OutlinePolygon(result.get()) : Polygon{};
        double left = 1e30, right = -1e30, low = 1e30, high = -1e30;
        for (const auto& [x, y] : inClip) {
            left = std::min(left, x), right = std::max(right, x), low = std::min(low, y), high = std::max(high, y);
        }
        const double step = std::max(1.0, (right - left) * (high - low) / 1000);
        for (double y = low + 0.37; y < high; y += step) {
            for (double x = left + 0.41; x < right; x += step) {
                // How far inside both regions the point lies (negative: outside one).
                const double depth = std::min(SignedDistance(inClip, x, y), SignedDistance(inFace, x, y));
                if ((depth > 0) == (outline.size() > 2 && SignedDistance(outline, x, y) > 0)) continue;
                ASSERT_LE(std::abs(depth), kRounding) << trial << " at " << x << "," << y;
            }
        }
    }
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
