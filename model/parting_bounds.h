// What the search for the face that parts two records keeps of a record, and the bounds on the
// parting sums of its faces: what the vertices of the other record sum to from a face's plane is
// bounded from their counted sums, one face at a time or for a whole run of a record's face kinds
// at once, so that the search leaves out the runs that cannot hold the best face.
#pragma once

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "foundation/fixed.h"
#include "model/parting_vertices.h"
#include "model/short_vector.h"

// The vertices of a record counted with the number of faces naming each: their count, the sum of
// their coordinates on each axis (Fixed, each times its count) and their box.
struct VertexSums {
    int64_t counted = 0;
    int64_t total[3] = {0, 0, 0};
    int64_t lowest[3] = {INT64_MAX, INT64_MAX, INT64_MAX};
    int64_t highest[3] = {INT64_MIN, INT64_MIN, INT64_MIN};
};

// A face kind: the normal of its faces (length 256) and the first vertex of its first face.
struct FaceKind {
    int32_t face;
    ShortVector3 normal;
    FixedVector3 first;
};

// The place of a point along a curve that visits the cells of every power of two in turn: the
// bits of its three whole coordinates interleaved, so that points near each other mostly come
// near each other.
uint64_t CurvePlace(const FixedVector3& point);

// Each vertex's whole offset from a plane is within this much of its exact offset along every axis
// (an offset of -1, 0 or 1 counts as 0)...
constexpr double kPartingRounding = 1.5;
// ...and within the rounding's half along an axis where every vertex lies at least this far (two
// whole units, in Fixed) from the plane's point, or from every point of a run's box of them.
constexpr double kClearRounding = 0.5;
constexpr int64_t kRoundingClearance = int64_t(2) << 16;

// How far a vertex's whole offset along the axis may be from its exact offset, per unit of the
// normal's part on it, for planes through points from atLow to atHigh on the axis.
inline double AxisRounding(const VertexSums& sums, int32_t axis, int64_t atLow, int64_t atHigh)
{
    const bool clear = sums.lowest[axis] - atHigh >= kRoundingClearance ||
                       sums.highest[axis] - atLow <= -kRoundingClearance;
    return clear ? kClearRounding : kPartingRounding;
}

// The most that the vertices summed (each whole offset from the plane of the face of the normal
// through `first`, counted, times the normal's length) can come to, or HUGE_VAL where a difference
// of coordinates wraps round the 32 bits of Fixed. Below 0 the face cannot part the records (the
// sum of a face that does is 0 or more): the vertices lie behind it more than before it, as those
// of records sunk into each other mostly do. (Inline: the search bounds every kind of a record of
// few kinds.)
inline double PartingBound(const ShortVector3& normal, const FixedVector3& first, const VertexSums& sums)
{
    // A face's sum is the vertices' offsets from its plane, each a whole number within 1.5 of
    // the exact offset along every axis: the counted sum of the vertices gives it to within
    // that much for every vertex counted (and the error of the arithmetic, a tiny part of the
    // terms' size).
    const int16_t normalAxes[3] = {normal.x, normal.y, normal.z};
    const Fixed at[3] = {first.x, first.y, first.z};
    const double counted = double(sums.counted);
    double estimate = 0;
    double rounding = 0;
    double magnitude = 0;
    bool wraps = false;
    for (int32_t axis = 0; axis < 3; ++axis) {
        if (normalAxes[axis] == 0) continue;
        const double term = normalAxes[axis] * (double(sums.total[axis]) - double(at[axis]) * counted) / 65536;
        estimate += term;
        rounding += AxisRounding(sums, axis, at[axis], at[axis]) * std::abs(normalAxes[axis]) * counted;
        magnitude += std::fabs(term);
        wraps = wraps || sums.highest[axis] - at[axis] > INT32_MAX || sums.lowest[axis] - at[axis] < INT32_MIN;
    }
    return wraps ? HUGE_VAL : estimate + rounding + 1e-9 * magnitude + 1;
}

// The most that the vertices summed can come to from the plane of the normal through `first`, exactly
// as a walk over them sums it: a whole offset along an axis grows with the coordinate, so that no
// vertex's is beyond that of the box's far side along the normal. INT64_MAX where a difference of
// coordinates wraps round the 32 bits of Fixed.
inline int64_t PartingCeiling(const ShortVector3& normal, const FixedVector3& first, const VertexSums& sums)
{
    const int16_t normalAxes[3] = {normal.x, normal.y, normal.z};
    const Fixed at[3] = {first.x, first.y, first.z};
    int64_t most = 0;
    for (int32_t axis = 0; axis < 3; ++axis) {
        if (normalAxes[axis] == 0) continue;
        if (sums.highest[axis] - at[axis] > INT32_MAX || sums.lowest[axis] - at[axis] < INT32_MIN) return INT64_MAX;
        const int64_t side = normalAxes[axis] > 0 ? sums.highest[axis] : sums.lowest[axis];
        most += normalAxes[axis] * RoundedOffset(Fixed(side), at[axis]);
    }
    return most * sums.counted;
}

// The kinds of a record in runs of neighbours, halved down to a few (the kinds of a record of few
// in one run): each run bounds the normals and first vertices of its kinds, and so the parting
// sums of all of them at once.
class KindRuns {
public:
    // Sorts the kinds of a record of many so that those near each other in space mostly come side
    // by side, and lays the runs over them; answers the steps taken.
    int64_t Build(std::vector<FaceKind>* kinds);
    // The run of every kind: the first to try.
    static constexpr int32_t kWhole = 0;
    // At least the PartingBound of every kind in the run: below 0, none of them parts the records.
    double Bound(int32_t run, const VertexSums& sums) const;
    // The runs the run halves into, or -1 for a run of a few kinds, which are tried one by one.
    int32_t Half(int32_t run, int32_t which) const { return runs_[size_t(run)].halves[which]; }
    // The kinds of the run: first to first + count - 1.
    int32_t First(int32_t run) const { return runs_[size_t(run)].first; }
    int32_t Count(int32_t run) const { return runs_[size_t(run)].count; }

private:
    struct Run {
        int32_t first;
        int32_t count;
        int32_t halves[2];
        ShortVector3 normalLow;
        ShortVector3 normalHigh;
        // The longest normal (the sum of its parts' sizes), the box of the kinds' first vertices,
        // and the least distance of a kind's plane from the middle of that box along its normal
        // (normal . (first - middle)).
        int32_t normalSpan;
        FixedVector3 firstLow;
        FixedVector3 firstHigh;
        int64_t leastReach;
    };
    // Adds the run of the kinds first to first + count - 1, and its halves down to runs of `most`
    // kinds or fewer; answers its index.
    int32_t Lay(const std::vector<FaceKind>& kinds, int32_t first, int32_t count, int32_t most);
    // The middle of the box of the run's first vertices on the axis.
    static int64_t Middle(const Run& run, int32_t axis);
    std::vector<Run> runs_;
};

// What the search for the face that parts two records needs of a record, found once for as long as
// its faces and their places in the world stay as they are: each vertex its faces name with the
// number of faces that name it, their counted sum and box on each axis, and the first face of
// each kind in runs. A face's verdict depends on its normal and on its first vertex along the axes
// the normal has a part on, the only ones a vertex's offset from it is measured along: the faces
// of a flat ground, or of flat patches side by side, are of one kind, and the first of them parts
// two records as well as any.
struct PartingSummary {
    std::vector<VertexUse> uses;
    VertexSums sums;
    // The first face of each kind, with its normal and first vertex, and the runs of neighbours
    // they are laid in.
    std::vector<FaceKind> faceKinds;
    KindRuns runs;
    // The vertices laid out for exact sums (a record kept only), once the searches have walked
    // them as often as laying them out takes.
    PartingVertices vertices;
    int64_t walked = 0;
    // The kind that parted the record from the one its last search was against (a record kept).
    int32_t lastKind = -1;
    // The runs and kinds that a search through the kinds of a record kept has still to take, with
    // their bounds: in the holder's scratch summary only, whose room stays.
    struct Open {
        double bound;
        int32_t index;  // of a run, or of a kind when `kind`
        bool kind;
    };
    std::vector<Open> open;
};
