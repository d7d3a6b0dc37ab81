// The bounds of runs of face kinds: every run bounds the sum of every kind in it, whatever the
// vertices summed, and its halves share its kinds between them.
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
