// The bounds of runs of face kinds: every run bounds the sum of every kind in it, whatever the
// vertices summed, and its halves share its kinds between them; and the vertices laid out for
// the search give the sums and the vertices behind a plane that a walk over them finds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/parting_bounds.h"

namespace {

// A number in [0, 1) that the index picks.
double Pick(uint32_t index)
{
    uint32_t h = index * 2654435761u;
    h ^= h >> 13;
    h *= 2246822519u;
    h ^= h >> 16;
    return double(h) / 4294967296.0;
}

// The counted sums of `count` vertices about (x, y, z), `spread` units apart at most.
VertexSums SumsAbout(uint32_t seed, int32_t count, double x, double y, double z, double spread)
{
    VertexSums sums;
    for (int32_t k = 0; k < count; ++k) {
        const Fixed v[3] = {X2Fix(x + spread * Pick(seed + 3 * k)), X2Fix(y + spread * Pick(seed + 3 * k + 1)),
                            X2Fix(z + spread * Pick(seed + 3 * k + 2))};
        const int64_t named = 1 + k % 4;
        sums.counted += named;
        for (int32_t axis = 0; axis < 3; ++axis) {
            sums.total[axis] += v[axis] * named;
            sums.lowest[axis] = std::min<int64_t>(sums.lowest[axis], v[axis]);
            sums.highest[axis] = std::max<int64_t>(sums.highest[axis], v[axis]);
        }
    }
    return sums;
}

}  // namespace

TEST(PartingBounds, EveryRunBoundsEachKindInItAndItsHalvesShareThem)
{
    // Kinds of a rolling ground, with normals leaning every way, and a few far out and steep.
    std::vector<FaceKind> kinds;
    for (int32_t k = 0; k < 1000; ++k) {
        const double lean = k % 50 == 0 ? 1.2 : 0.3;
        const double around = 6.283 * Pick(7 * k);
        const double tilt = lean * Pick(7 * k + 1);
        const ShortVector3 normal = {int16_t(256 * std::sin(tilt) * std::cos(around)),
                                     int16_t(256 * std::sin(tilt) * std::sin(around)), int16_t(256 * std::cos(tilt))};
        const double reach = k % 97 == 0 ? 30000 : 400;
        const FixedVector3 first = {X2Fix(reach * (2 * Pick(7 * k + 2) - 1)), X2Fix(reach * (2 * Pick(7 * k + 3) - 1)),
                                    X2Fix(20 * Pick(7 * k + 4))};
        kinds.push_back({k, normal, first});
    }
    std::vector<FaceKind> sorted = kinds;
    KindRuns runs;
    const int64_t steps = runs.Build(&sorted);
    // The same kinds, each once.
    std::vector<int32_t> faces;
    for (const FaceKind& kind : sorted) faces.push_back(kind.face);
    std::sort(faces.begin(), faces.end());
    for (int32_t k = 0; k < 1000; ++k) ASSERT_EQ(faces[size_t(k)], k);

    // Vertices near the ground, above it, far beyond it, and far enough apart to wrap.
    const VertexSums sums[] = {SumsAbout(1, 8, 10, 20, 3, 12),       SumsAbout(2, 30, -300, 250, 60, 40),
                               SumsAbout(3, 5, 9000, -7000, 100, 5), SumsAbout(4, 200, -380, -390, 0, 770),
                               SumsAbout(5, 3, -32000, 500, 0, 10)};
    int32_t leaves = 0;
    int32_t unbounded = 0;
    for (const VertexSums& sum : sums) {
        std::vector<int32_t> open = {KindRuns::kWhole};
        while (!open.empty()) {
            const int32_t run = open.back();
            open.pop_back();
            const double bound = runs.Bound(run, sum);
            unbounded += bound == HUGE_VAL;
            for (int32_t k = runs.First(run); k < runs.First(run) + runs.Count(run); ++k) {
                const FaceKind& kind = sorted[size_t(k)];
                ASSERT_GE(bound, PartingBound(kind.normal, kind.first, sum)) << "run " << run << " kind " << k;
            }
            if (runs.Half(run, 0) < 0) {
                ++leaves;
                EXPECT_LE(runs.Count(run), 8);
                continue;
            }
            const int32_t lower = runs.Half(run, 0);
            const int32_t upper = runs.Half(run, 1);
            EXPECT_EQ(runs.First(lower), runs.First(run));
            EXPECT_EQ(runs.First(upper), runs.First(lower) + runs.Count(lower));
            EXPECT_EQ(runs.Count(lower) + runs.Count(upper), runs.Count(run));
            open.push_back(lower);
            open.push_back(upper);
        }
    }
    EXPECT_EQ(leaves, 5 * 128);
    // Each kind placed and sorted, and each run laid.
    EXPECT_EQ(steps, 3 * 1000 + 2 * 128 - 1);
    // Only the vertices far enough out to wrap leave runs unbounded.
    EXPECT_GT(unbounded, 0);
    EXPECT_LT(unbounded, 40);
}

TEST(PartingBounds, VerticesLaidOutSumAndFindWhatAWalkDoes)
{
    // A figure of a few units, whose offsets mostly round to the -1, 0 and 1 that count as 0; a
    // hall of hundreds of units with vertices named by several faces; and one far out.
    struct Cloud {
        int32_t count;
        double x, y, z, spread;
    };
    const Cloud clouds[] = {{500, -1.3, 0.7, 2.2, 3.1}, {3000, -300, 250, 60, 640}, {40, 9000, -7000, 100, 2.5}};
    int32_t behind = 0;
    int32_t parted = 0;
    for (uint32_t c = 0; c < 3; ++c) {
        const Cloud& cloud = clouds[c];
        std::vector<FixedVector3> points;
        for (int32_t k = 0; k < cloud.count; ++k) {
            const uint32_t seed = 1000 * c + 3 * uint32_t(k);
            points.push_back({X2Fix(cloud.x + cloud.spread * Pick(seed)), X2Fix(cloud.y + cloud.spread * Pick(seed + 1)),
                              X2Fix(cloud.z + cloud.spread * Pick(seed + 2))});
        }
        std::vector<VertexUse> uses;
        for (int32_t k = 0; k < cloud.count; ++k) uses.push_back({&points[size_t(k)], 1 + k % 4});
        PartingVertices laid;
        EXPECT_EQ(laid.Build(&uses), PartingVertices::BuildSteps(uses.size()));
        // Every vertex once, in the order of a curve through them.
        ASSERT_EQ(uses.size(), points.size());
        for (int32_t k = 0; k < 400; ++k) {
            const uint32_t seed = 77777 * (c + 1) + 5 * uint32_t(k);
            const double around = 6.283 * Pick(seed);
            const double tilt = 3.1416 * Pick(seed + 1);
            ShortVector3 n = {int16_t(256 * std::sin(tilt) * std::cos(around)),
                              int16_t(256 * std::sin(tilt) * std::sin(around)), int16_t(256 * std::cos(tilt))};
            if (k % 5 == 0) n = {0, 0, int16_t(k % 10 == 0 ? 256 : -256)};
            // Planes through vertices (and half a unit beside them), across the cloud, and beside
            // it on an axis, a unit or two away.
            const FixedVector3& at = points[size_t(k) % points.size()];
            FixedVector3 q = k % 3 == 0 ? FixedVector3{at.x + 32768 * (k % 2), at.y, at.z}
                                        : FixedVector3{X2Fix(cloud.x + cloud.spread * Pick(seed + 2)),
                                                       X2Fix(cloud.y + cloud.spread * Pick(seed + 3)),
                                                       X2Fix(cloud.z + cloud.spread * Pick(seed + 4))};
            if (k % 3 == 1) {
                const double beside[] = {-2.1, -1.5, -1.49, 1.5, 1.49, 2.0, 3.5};
                const double off = beside[k % 7];
                q.y = X2Fix(off < 0 ? cloud.y + cloud.spread - off : cloud.y - off);
            }
            ASSERT_TRUE(laid.Holds(q));
            int64_t walked = 0;
            bool anyBehind = false;
            for (const VertexUse& use : uses) {
                const int64_t offset = PlaneOffset(n, q, *use.vertex);
                walked += offset * use.count;
                anyBehind = anyBehind || offset < 0;
            }
            int64_t steps = 0;
            EXPECT_EQ(laid.Sum(n, q, &steps), walked) << "cloud " << c << " plane " << k;
            const int64_t found = laid.Behind(uses, n, q, &steps);
            ASSERT_EQ(found >= 0, anyBehind) << "cloud " << c << " plane " << k;
            if (found >= 0) {
                EXPECT_LT(PlaneOffset(n, q, *uses[size_t(found)].vertex), 0);
            }
            behind += anyBehind;
            parted += !anyBehind;
            EXPECT_GT(steps, 0);
        }
        // A plane so far off that a difference wraps is not answered.
        EXPECT_EQ(laid.Holds({X2Fix(-30000), 0, 0}), c != 2);
    }
    // Both verdicts are tried.
    EXPECT_GT(behind, 100);
    EXPECT_GT(parted, 100);
}

TEST(PartingBounds, AFacesBoundHoldsItsSumAtEveryDistanceFromItsPlane)
{
    // Small clusters of vertices at distances from a face's point along each axis around those
    // whose offsets round to the -1, 0 and 1 that count as 0 (up to 1.5 units), and beyond, where
    // only the rounding's half a unit is allowed: each face's bound holds the sum a walk finds, and
    // so does its ceiling from the far side of the vertices' box, which is that sum where the
    // vertices lie on one point.
    const double distances[] = {0, 0.4, 1.0, 1.2, 1.49, 1.5, 1.51, 1.9, 2.0, 2.1, 3.3, 7.5};
    const FixedVector3 q = {X2Fix(5), X2Fix(-3), X2Fix(11)};
    for (uint32_t k = 0; k < 3000; ++k) {
        const double around = 6.283 * Pick(11 * k);
        const double tilt = 3.1416 * Pick(11 * k + 1);
        const ShortVector3 n = {int16_t(256 * std::sin(tilt) * std::cos(around)),
                                int16_t(256 * std::sin(tilt) * std::sin(around)), int16_t(256 * std::cos(tilt))};
        double apart[3];
        for (int32_t axis = 0; axis < 3; ++axis) {
            const double distance = distances[size_t(Pick(11 * k + 2 + axis) * 12)];
            apart[axis] = Pick(11 * k + 5 + axis) < 0.5 ? -distance : distance;
        }
        const double spread = k % 3 == 0 ? 0 : 0.3;
        const VertexSums sums = SumsAbout(100 * k, 1 + int32_t(k % 6), Fix2X(q.x) + apart[0], Fix2X(q.y) + apart[1],
                                          Fix2X(q.z) + apart[2], spread);
        // The same vertices, walked.
        int64_t walked = 0;
        for (int32_t j = 0; j < 1 + int32_t(k % 6); ++j) {
            const uint32_t seed = 100 * k + 3 * uint32_t(j);
            const FixedVector3 v = {X2Fix(Fix2X(q.x) + apart[0] + spread * Pick(seed)),
                                    X2Fix(Fix2X(q.y) + apart[1] + spread * Pick(seed + 1)),
                                    X2Fix(Fix2X(q.z) + apart[2] + spread * Pick(seed + 2))};
            walked += PlaneOffset(n, q, v) * (1 + j % 4);
        }
        ASSERT_GE(PartingBound(n, q, sums), double(walked)) << "face " << k;
        const int64_t ceiling = PartingCeiling(n, q, sums);
        ASSERT_GE(ceiling, walked) << "face " << k;
        if (spread == 0) {
            ASSERT_EQ(ceiling, walked) << "face " << k;
        }
    }
}
