// Planar predicates: side codes, segment meetings and nearness.
#include "foundation/planar_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "foundation/dynamic_array.h"
#include "foundation/loop_turns.h"

namespace {

constexpr Fixed F(double x) { return Fixed(x * 65536.0); }

TEST(PointSide, EdgeCases)
{
    EXPECT_EQ(PointSide(0, 0, 0, 0, 10, 0), kSideDegenerate);  // p equals a
    EXPECT_EQ(PointSide(5, 5, 0, 0, 0, 0), kSideDegenerate);   // a equals b
    EXPECT_EQ(PointSide(20, 0, 0, 0, 10, 0), kSideOnLine);
    EXPECT_EQ(PointSide(-20, 0, 0, 0, 10, 0), kSideOnLine);
    EXPECT_EQ(PointSide(5, 1, 0, 0, 10, 0), kSideRight);
    EXPECT_EQ(PointSide(5, -1, 0, 0, 10, 0), kSideLeft);
}

TEST(PointSide, ProductsBeyond32BitsCompareExactly)
{
    // (px-ax)(by-ay) = 70000 x 70001 and (py-ay)(bx-ax) = 70000 x 70000: both overflow 32 bits.
    EXPECT_EQ(PointSide(70000, 70000, 0, 0, 70000, 70001), kSideLeft);
    EXPECT_EQ(PointSide(70000, 70001, 0, 0, 70000, 70000), kSideRight);
    // Differences of the whole 32-bit range.
    EXPECT_EQ(PointSide(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX - 1),
              kSideRight);
    EXPECT_EQ(PointSide(INT32_MAX, INT32_MAX - 1, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX),
              kSideLeft);
    EXPECT_EQ(PointSide(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0, 0), kSideOnLine);
}

TEST(FixedPointSide, TellsApartProductsThatDifferBeyondTheLow32Bits)
{
    // Near 300.0 the products are about 90000.0, beyond the 16.16 range; they differ by 300/65536.
    EXPECT_EQ(FixedPointSide(F(300.0), F(300.0) + 1, 0, 0, F(300.0), F(300.0)), kSideRight);
    EXPECT_EQ(FixedPointSide(F(300.0) + 1, F(300.0), 0, 0, F(300.0), F(300.0)), kSideLeft);
    EXPECT_EQ(FixedPointSide(F(300.0), F(300.0), 0, 0, F(300.0), F(300.0)), kSideOnLine);
    EXPECT_EQ(FixedPointSide(F(300.0), F(300.0), F(300.0), F(300.0), 0, 0), kSideDegenerate);
    EXPECT_EQ(FixedPointSide(F(600.0), F(600.0), 0, 0, F(300.0), F(300.0)), kSideOnLine);
    // Products of 90000.0 and 90000.998: the integer parts agree, the fractions decide.
    const Fixed d = F(300.0);
    EXPECT_EQ(FixedPointSide(d + 0xFFFF / 300, d, 0, 0, d, d), kSideLeft);
    EXPECT_EQ(FixedPointSide(d, d + 0xFFFF / 300, 0, 0, d, d), kSideRight);
    // Integer parts of opposite signs.
    EXPECT_EQ(FixedPointSide(F(-300.0), F(300.0), 0, 0, F(300.0), F(300.0)), kSideRight);
}

TEST(FixedPointSide, AgreesWithAnExtendedPrecisionReference)
{
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        // Coordinates within +-512.0 keep the differences within 32 bits.
        Fixed v[6];
        for (Fixed& c : v) c = int32_t(random() % 0x4000000) - 0x2000000;
        if (i % 3 == 0) v[1] = v[3] + (v[5] - v[3]) / 2 + int32_t(random() % 3) - 1;  // near the line
        const long double m1 = (long double)(v[0] - v[2]) * (long double)(v[5] - v[3]);
        const long double m2 = (long double)(v[1] - v[3]) * (long double)(v[4] - v[2]);
        const PointSideCode expected = m1 > m2 ? kSideLeft : (m1 < m2 ? kSideRight : kSideOnLine);
        ASSERT_EQ(FixedPointSide(v[0], v[1], v[2], v[3], v[4], v[5]), expected) << i;
    }
}

Owned<DynamicArray> Outline(const std::vector<FixedPoint>& points)
{
    Owned<DynamicArray> outline(NewDynamicArray(0, sizeof(FixedPoint), 4));
    for (const FixedPoint& point : points) outline->Append(&point);
    return outline;
}

int32_t Orientation(const std::vector<FixedPoint>& points)
{
    return PolygonOrientation(Outline(points).get());
}

TEST(PolygonOrientation, SquaresBothWaysAndShortOutlines)
{
    const Fixed one = kFixedOne;
    EXPECT_EQ(Orientation({{0, 0}, {one, 0}, {one, one}, {0, one}}), 0);
    EXPECT_EQ(Orientation({{0, one}, {one, one}, {one, 0}, {0, 0}}), 1);
    // Any starting point gives the same answer.
    EXPECT_EQ(Orientation({{one, one}, {0, one}, {0, 0}, {one, 0}}), 0);
    EXPECT_EQ(Orientation({{one, 0}, {0, 0}, {0, one}, {one, one}}), 1);
    EXPECT_EQ(Orientation({{0, 0}, {one, 0}}), -1);
    EXPECT_EQ(Orientation({}), -1);
    EXPECT_EQ(PolygonOrientation(nullptr), -1);
    // A triangle gives its side code.
    EXPECT_EQ(Orientation({{F(5.0), F(1.0)}, {0, 0}, {F(10.0), 0}}), kSideRight);
    EXPECT_EQ(Orientation({{F(5.0), F(-1.0)}, {0, 0}, {F(10.0), 0}}), kSideLeft);
}

TEST(PolygonOrientation, CollapsingExtremesAndCollinearOutlines)
{
    // A thin diagonal shape: lowest-left and highest-right are the same two points.
    EXPECT_EQ(Orientation({{0, 0}, {F(5.0), F(4.0)}, {F(10.0), F(10.0)}, {F(4.0), F(5.0)}}), 0);
    EXPECT_EQ(Orientation({{0, 0}, {F(4.0), F(5.0)}, {F(10.0), F(10.0)}, {F(5.0), F(4.0)}}), 1);
    // All points on one vertical, horizontal or slanted line: the extremes give fewer than
    // three distinct points; points are shed until three remain, which lie on a line.
    EXPECT_EQ(Orientation({{0, 0}, {0, F(1.0)}, {0, F(2.0)}, {0, F(3.0)}, {0, F(4.0)}}), kSideOnLine);
    EXPECT_EQ(Orientation({{F(3.0), 7}, {F(1.0), 7}, {F(2.0), 7}, {0, 7}}), kSideOnLine);
    EXPECT_EQ(Orientation({{0, 0}, {F(1.0), F(1.0)}, {F(3.0), F(3.0)}, {F(2.0), F(2.0)}}), kSideOnLine);
    std::vector<FixedPoint> same(50, FixedPoint{F(2.0), F(2.0)});
    EXPECT_EQ(Orientation(same), kSideDegenerate);
    // Thousands of points up a diagonal, then one off it to the right: turning clockwise, and the
    // other way round, however many points go before the extremes decide.
    std::vector<FixedPoint> onLine;
    for (int32_t i = 0; i < 5000; ++i) onLine.push_back({F(i), F(i)});
    onLine.push_back({F(5000.0), 0});
    EXPECT_EQ(Orientation(onLine), 1);
    std::reverse(onLine.begin(), onLine.end());
    EXPECT_EQ(Orientation(onLine), 0);
}

TEST(PolygonOrientation, ConvexOutlinesOfManyPointsAndTheCallersArrayStays)
{
    std::mt19937 random(11);
    for (int round = 0; round < 200; ++round) {
        const int n = 4 + int(random() % 40);
        std::vector<double> angles;
        for (int i = 0; i < n; ++i) angles.push_back((random() % 100000) / 100000.0 * 6.283185307);
        std::sort(angles.begin(), angles.end());
        angles.erase(std::unique(angles.begin(), angles.end()), angles.end());
        std::vector<FixedPoint> points;
        for (double a : angles)  // counter-clockwise with y up
            points.push_back({X2Fix(std::cos(a) * 300.0), X2Fix(std::sin(a) * 300.0)});
        if (points.size() < 4) continue;
        std::rotate(points.begin(), points.begin() + random() % points.size(), points.end());
        Owned<DynamicArray> outline = Outline(points);
        ASSERT_EQ(PolygonOrientation(outline.get()), 0) << round;
        ASSERT_EQ(outline->ArrayCount(), int32_t(points.size()));
        ASSERT_EQ(std::memcmp(outline->ArrayData(), points.data(), points.size() * sizeof(FixedPoint)), 0);
        std::reverse(points.begin(), points.end());
        ASSERT_EQ(Orientation(points), 1) << round;
    }
}

// Which way round the outline runs as the extremes tell it, shedding the lowest point (the first
// of equal ones) and scanning what is left again until they tell or three points are left: the
// rule as written, a scan a point.
int32_t ShedAndScan(const std::vector<FixedPoint>& p)
{
    std::vector<int32_t> left(p.size());
    for (size_t i = 0; i < p.size(); ++i) left[i] = int32_t(i);
    for (;;) {
        if (left.size() == 3) return FixedPointSide(p[left[0]].x, p[left[0]].y, p[left[1]].x, p[left[1]].y, p[left[2]].x, p[left[2]].y);
        size_t minX = 0, minY = 0, maxX = 0, maxY = 0;
        for (size_t k = 1; k < left.size(); ++k) {
            const FixedPoint& q = p[left[k]];
            if (q.x < p[left[minX]].x) minX = k;
            if (q.y < p[left[minY]].y) minY = k;
            if (q.x > p[left[maxX]].x) maxX = k;
            if (q.y > p[left[maxY]].y) maxY = k;
        }
        // The extremes as a walk minX, minY, maxX, maxY without repeats (positions in index order).
        std::vector<size_t> walk;
        for (size_t k : {minX, minY, maxX, maxY})
            if (walk.empty() || walk.back() != k) walk.push_back(k);
        const bool two = (minX == minY && maxY == maxX) || (maxX == minY && maxY == minX) || walk.size() < 3;
        if (!two) {
            const size_t a = walk[0], b = walk[1], c = walk[2];
            return (c < b && b < a) || (a < c && c < b) || (b < a && a < c) ? 1 : 0;
        }
        left.erase(left.begin() + std::ptrdiff_t(minY));
    }
}

TEST(PolygonOrientation, AnswersAsTheRuleOnOutlinesOfFewPlacesAndLinesAndTurnsByTheirSorts)
{
    // Outlines of 4 to 60 points on a grid of 3 x 3 places, on one line or two, many of them the
    // same point: the extremes seldom tell, and points are shed one by one.
    std::mt19937 random(5);
    for (int round = 0; round < 3000; ++round) {
        const int n = 4 + int(random() % 57);
        std::vector<FixedPoint> points;
        const int kind = round % 3;
        for (int i = 0; i < n; ++i) {
            const Fixed a = F(double(random() % 3)), b = F(double(random() % 3));
            if (kind == 0) points.push_back({a, b});
            else if (kind == 1) points.push_back({a, Fixed(random() % 2) * F(2.0) + a / 2});
            else points.push_back({random() % 4 ? a : b, a});
        }
        ASSERT_EQ(Orientation(points), ShedAndScan(points)) << round;
    }
    // 1,200 points on a line, its two ends last: each of four orders sorted once, not a scan a
    // point shed (which would be 1,200 x 1,200 / 2).
    std::vector<FixedPoint> line;
    for (int32_t i = 1; i < 1199; ++i) line.push_back({F(i % 7 + 1), F(2 * (i % 7 + 1))});
    line.push_back({0, 0});
    line.push_back({F(8.0), F(16.0)});
    const Owned<DynamicArray> outline = Outline(line);
    const int64_t before = TurnsCounted();
    int64_t sorted = -1;
    EXPECT_EQ(PolygonOrientation(outline.get(), &sorted), ShedAndScan(line));
    const int64_t turns = TurnsCounted() - before;
    EXPECT_GE(turns, 4 * 1200 * 11);
    EXPECT_LE(turns, 4 * 1200 * 14);
    // The sorts' turns are told to the caller, beyond the pass that found the extremes; an outline
    // whose extremes tell makes none.
    EXPECT_EQ(sorted, turns - 1200);
    const Fixed one = kFixedOne;
    EXPECT_EQ(PolygonOrientation(Outline({{0, 0}, {one, 0}, {one, one}, {0, one}}).get(), &sorted), 0);
    EXPECT_EQ(sorted, 0);
}

TEST(Segments, CrossingMeetingAndApart)
{
    EXPECT_EQ(SegmentsIntersect({0, 0}, {10, 10}, {0, 10}, {10, 0}), kSegmentsCross);
    EXPECT_EQ(SegmentsIntersect({0, 0}, {10, 10}, {20, 0}, {30, 10}), kSegmentsApart);
    EXPECT_EQ(SegmentsIntersect({0, 0}, {10, 0}, {5, 1}, {5, 10}), kSegmentsApart);  // lines cross
    EXPECT_EQ(SegmentsIntersect({0, 0}, {10, 10}, {10, 10}, {20, 0}), kSegmentsMeet);
    EXPECT_EQ(SegmentsIntersect({0, 0}, {10, 0}, {5, 0}, {5, 10}), kSegmentsMeet);   // a T
    // One line: continuing, overlapping, apart.
    EXPECT_EQ(SegmentsIntersect({0, 0}, {10, 0}, {10, 0}, {20, 0}), kSegmentsMeet);
    EXPECT_EQ(SegmentsIntersect({0, 0}, {10, 0}, {5, 0}, {20, 0}), kSegmentsCross);
    EXPECT_EQ(SegmentsIntersect({0, 0}, {10, 0}, {11, 0}, {20, 0}), kSegmentsApart);
    EXPECT_EQ(SegmentsIntersect({0, 0}, {0, 10}, {0, 12}, {0, 10}), kSegmentsMeet);
    // Parallel on different lines.
    EXPECT_EQ(SegmentsIntersect({0, 0}, {10, 0}, {0, 1}, {10, 1}), kSegmentsApart);
    // Single points.
    EXPECT_EQ(SegmentsIntersect({5, 5}, {5, 5}, {0, 0}, {10, 10}), kSegmentsMeet);
    EXPECT_EQ(SegmentsIntersect({5, 6}, {5, 6}, {0, 0}, {10, 10}), kSegmentsApart);
    EXPECT_EQ(SegmentsIntersect({0, 0}, {10, 10}, {20, 20}, {20, 20}), kSegmentsApart);
    EXPECT_EQ(SegmentsIntersect({3, 3}, {3, 3}, {3, 3}, {3, 3}), kSegmentsMeet);
    EXPECT_EQ(FixedSegmentsIntersect({0, 0}, {F(300.0), F(300.0)}, {0, F(300.0)}, {F(300.0), 0}),
              kSegmentsCross);
    EXPECT_EQ(FixedSegmentsIntersect({0, 0}, {F(300.0), F(300.0)}, {1, 0}, {F(300.0) + 1, F(300.0)}),
              kSegmentsApart);
}

TEST(PointSideDirected, OnTheLineByTheSideOfA)
{
    EXPECT_EQ(PointSideDirected({20, 0}, {0, 0}, {10, 0}), kSideDegenerate);
    EXPECT_EQ(PointSideDirected({5, 0}, {0, 0}, {10, 0}), kSideDegenerate);
    EXPECT_EQ(PointSideDirected({-20, 0}, {0, 0}, {10, 0}), kSideOnLine);
    EXPECT_EQ(PointSideDirected({5, 1}, {0, 0}, {10, 0}), kSideRight);
    EXPECT_EQ(PointSideDirected({0, 0}, {0, 0}, {10, 0}), kSideDegenerate);
}

TEST(PointInQuad, InsideOutsideAndBothWindings)
{
    const IntPoint square[4] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    const IntPoint backwards[4] = {{0, 10}, {10, 10}, {10, 0}, {0, 0}};
    EXPECT_EQ(PointInQuad({5, 5}, square), 1);
    EXPECT_EQ(PointInQuad({5, 5}, backwards), 1);
    EXPECT_EQ(PointInQuad({15, 5}, square), 0);
    EXPECT_EQ(PointInQuad({-1, 5}, backwards), 0);
    EXPECT_EQ(PointInQuad({5, -3}, square), 0);
}

TEST(PointNear, WithinTheBoxAndTheDistance)
{
    EXPECT_EQ(PointNearSegment({50, 3}, {0, 0}, {100, 0}), 1);
    EXPECT_EQ(PointNearSegment({50, -4}, {0, 0}, {100, 0}), 0);  // outside the grown box
    EXPECT_EQ(PointNearSegment({50, 55}, {0, 0}, {100, 100}), 1);
    EXPECT_EQ(PointNearSegment({50, 56}, {0, 0}, {100, 100}), 0);
    EXPECT_EQ(PointNearSegment({103, 0}, {0, 0}, {100, 0}), 1);
    EXPECT_EQ(PointNearSegment({104, 0}, {0, 0}, {100, 0}), 0);
    // A steep line: the horizontal distance decides.
    EXPECT_EQ(PointNearSegment({2, 50}, {0, 0}, {1, 100}), 1);
    EXPECT_EQ(PointNearSegment({2, 3}, {0, 0}, {0, 0}), 1);
    EXPECT_EQ(PointNearSegment({4, 0}, {0, 0}, {0, 0}), 0);
    // Extreme coordinates stay exact.
    EXPECT_EQ(PointNearSegment({0, 1}, {INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MAX}), 1);

    EXPECT_EQ(PointNearSegmentScaled({50, 0}, {0, 0}, {100, 0}), 1);
    EXPECT_EQ(PointNearSegmentScaled({50, 1}, {0, 0}, {100, 0}), 0);  // 100 is not below 100
    EXPECT_EQ(PointNearSegmentScaled({500, 3}, {0, 0}, {1000, 0}), 1);  // halved twice: 3 -> 0
    EXPECT_EQ(PointNearSegmentScaled({500, 501}, {0, 0}, {1000, 1000}), 1);
    EXPECT_EQ(PointNearSegmentScaled({500, 520}, {0, 0}, {1000, 1000}), 0);
    EXPECT_EQ(PointNearSegmentScaled({5000, 5000}, {0, 0}, {10000, 10000}), 1);
    EXPECT_EQ(PointNearSegmentScaled({200, 0}, {0, 0}, {100, 0}), 0);
}

TEST(Perpendicular, FootAndOffset)
{
    double x, y;
    PerpendicularFoot({3, 7}, {0, 0}, {0, 10}, &x, &y);
    EXPECT_EQ(x, 0.0);
    EXPECT_EQ(y, 7.0);
    PerpendicularFoot({3, 7}, {0, 2}, {10, 2}, &x, &y);
    EXPECT_EQ(x, 3.0);
    EXPECT_EQ(y, 2.0);
    PerpendicularFoot({0, 2}, {0, 0}, {2, 2}, &x, &y);
    EXPECT_DOUBLE_EQ(x, 1.0);
    EXPECT_DOUBLE_EQ(y, 1.0);
    PerpendicularOffset({0, 2}, {0, 0}, {2, 2}, &x, &y);
    EXPECT_DOUBLE_EQ(x, 1.0);
    EXPECT_DOUBLE_EQ(y, -1.0);
    PerpendicularFoot({9, 9}, {4, 4}, {4, 4}, &x, &y);
    EXPECT_EQ(x, 4.0);
    EXPECT_EQ(y, 4.0);
}

}  // namespace
