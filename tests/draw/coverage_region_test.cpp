// Coverage regions over the system's regions: what subtracting a polygon answers, when the
// remainder is empty, the rounding of points to whole units, and polygons too small to cover.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "draw/coverage_region.h"
#include "foundation/dynamic_array.h"
#include "foundation/fixed.h"

namespace {

using ArrayPtr = Owned<DynamicArray>;

ArrayPtr Polygon(const std::vector<std::pair<double, double>>& points)
{
    ArrayPtr polygon(NewDynamicArray(0, int32_t(sizeof(FixedPoint)), 4));
    for (const auto& p : points) {
        const FixedPoint point = {X2Fix(p.first), X2Fix(p.second)};
        polygon->Append(&point);
    }
    return polygon;
}

ArrayPtr Square(double x0, double y0, double x1, double y1)
{
    return Polygon({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

struct RegionDeleter {
    void operator()(CoverageRegion* region) const { region->DisposeCoverageRegion(); }
};
using RegionPtr = std::unique_ptr<CoverageRegion, RegionDeleter>;

RegionPtr Coverage(const DynamicArray* polygon)
{
    RegionPtr region(new CoverageRegion);
    region->CoverageRegionInit(polygon);
    return region;
}

}  // namespace

TEST(CoverageRegion, SubtractingAnswersWhetherTheRemainderChanged)
{
    ArrayPtr area = Square(0, 0, 10, 10);
    RegionPtr region = Coverage(area.get());
    EXPECT_EQ(region->CoverageRegionRemains(), 1);
    EXPECT_EQ(region->CoverageRegionSubtract(Square(20, 0, 30, 10).get()), 0);   // outside
    EXPECT_EQ(region->CoverageRegionSubtract(Square(10, 0, 20, 10).get()), 0);   // touching only
    EXPECT_EQ(region->CoverageRegionSubtract(Square(-5, -5, 5, 15).get()), 1);   // the left half
    EXPECT_EQ(region->CoverageRegionSubtract(Square(1, 1, 4, 4).get()), 0);      // already covered
    EXPECT_EQ(region->CoverageRegionRemains(), 1);
    EXPECT_EQ(region->CoverageRegionSubtract(Square(5, 0, 10, 5).get()), 1);
    EXPECT_EQ(region->CoverageRegionSubtract(Square(4, 4, 12, 12).get()), 1);
    EXPECT_EQ(region->CoverageRegionRemains(), 0);
    EXPECT_EQ(region->CoverageRegionSubtract(area.get()), 0);
}

TEST(CoverageRegion, TheOwnPolygonEmptiesTheRemainder)
{
    ArrayPtr area = Polygon({{0, 0}, {40, 0}, {20, 30}});
    RegionPtr region = Coverage(area.get());
    EXPECT_EQ(region->CoverageRegionSubtract(area.get()), 1);
    EXPECT_EQ(region->CoverageRegionRemains(), 0);
}

TEST(CoverageRegion, PointsRoundHalfUpToWholeUnits)
{
    // (10.5, 3.25) is the unit point (11, 3) and (-1.5, -0.5) is (-1, 0): this square is the
    // square (-1, 0) to (11, 3), which a whole-unit square of those corners covers exactly.
    RegionPtr region = Coverage(Polygon({{-1.5, -0.5}, {10.5, -0.5}, {10.5, 3.25}, {-1.5, 3.25}}).get());
    EXPECT_EQ(region->CoverageRegionSubtract(Square(-1, 0, 10, 3).get()), 1);
    EXPECT_EQ(region->CoverageRegionRemains(), 1);  // the column from 10 to 11 is left
    EXPECT_EQ(region->CoverageRegionSubtract(Square(10, 0, 11, 3).get()), 1);
    EXPECT_EQ(region->CoverageRegionRemains(), 0);
}

TEST(CoverageRegion, FewerThanThreePointsCoverNothing)
{
    RegionPtr region = Coverage(Square(0, 0, 10, 10).get());
    EXPECT_EQ(region->CoverageRegionSubtract(Polygon({{-5, -5}, {15, 15}}).get()), 0);
    EXPECT_EQ(region->CoverageRegionSubtract(Polygon({}).get()), 0);
    EXPECT_EQ(region->CoverageRegionSubtract(nullptr), 0);
    EXPECT_EQ(region->CoverageRegionRemains(), 1);
    // An area of fewer than three points has nothing to cover.
    RegionPtr line = Coverage(Polygon({{0, 0}, {10, 10}}).get());
    EXPECT_EQ(line->CoverageRegionRemains(), 0);
    EXPECT_EQ(line->CoverageRegionSubtract(Square(0, 0, 10, 10).get()), 0);
}

TEST(CoverageRegion, WorkIsTheSquareOfTheEdgesEachRowCrossesAndTheRectanglesMet)
{
    // A square 10 rows tall: 4 corners, and in each row 2 edges (4, and 1 for the row).
    ArrayPtr square = Square(0, 0, 20, 10);
    EXPECT_EQ(CoverageRegion::PolygonWork(square.get()), 4 + 10 * (1 + 4));
    // A saw of three teeth 8 tall: 7 corners, 6 edges crossing each of its 8 rows; half rows
    // round to whole ones.
    ArrayPtr saw = Polygon({{0, 0}, {1, 8}, {2, 0}, {3, 8}, {4, 0}, {5, 8}, {6, 0}});
    EXPECT_EQ(CoverageRegion::PolygonWork(saw.get()), 7 + 8 * (1 + 36));
    EXPECT_EQ(CoverageRegion::PolygonWork(Polygon({{0, 0}, {0.5, 9.6}, {1, 0.4}}).get()), 3 + 10 * (1 + 4));
    EXPECT_EQ(CoverageRegion::PolygonWork(Polygon({{0, 0}, {10, 10}}).get()), 2);
    // Taking a polygon away works through the rectangles of what is left twice (combined with the
    // polygon's region, and compared with the result): one for the square, two once its middle is
    // taken; the calls to the system weigh the same whatever the polygon. A polygon whose
    // whole-unit bounds miss the square's takes no work, nor does any once nothing is left.
    RegionPtr region = Coverage(square.get());
    const int64_t calls = region->SubtractWork(square.get()) - CoverageRegion::PolygonWork(square.get()) - 2;
    EXPECT_GT(calls, 0);
    EXPECT_EQ(region->SubtractWork(saw.get()), CoverageRegion::PolygonWork(saw.get()) + 2 + calls);
    EXPECT_EQ(region->CoverageRegionSubtract(Square(5, 0, 15, 10).get()), 1);
    EXPECT_EQ(region->SubtractWork(saw.get()), CoverageRegion::PolygonWork(saw.get()) + 2 * 2 + calls);
    EXPECT_EQ(region->SubtractWork(Square(20.5, 0, 30, 10).get()), 0);
    EXPECT_EQ(region->SubtractWork(Square(-10, 10.5, 30, 20).get()), 0);
    EXPECT_GT(region->SubtractWork(Square(20, 10, 30, 20).get()), 0);  // its corner meets the square's
    EXPECT_EQ(region->CoverageRegionSubtract(square.get()), 1);
    EXPECT_EQ(region->SubtractWork(square.get()), 0);
    // A zigzag whose edges each begin a row higher, closed from its top back to its foot: 64 edges
    // begin on 63 rows, each filed past half of those before it; two edges cross each of its 63
    // rows.
    std::vector<std::pair<double, double>> zigzag;
    for (int32_t k = 0; k < 64; ++k) zigzag.push_back({k % 2 ? 10.0 : 0.0, double(k)});
    EXPECT_EQ(CoverageRegion::PolygonWork(Polygon(zigzag).get()),
              64 + 63 * (1 + 4) + 64 * 63 / 2 / CoverageRegion::kFilingStepsPerTurn);
}
