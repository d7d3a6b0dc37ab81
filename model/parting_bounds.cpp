// Bounds on the parting sums of a face and of runs of face kinds.
#include "model/parting_bounds.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "foundation/loop_turns.h"

namespace {

// A run of this many kinds or fewer is not halved: its kinds are bounded one by one.
constexpr int32_t kRunKinds = 8;
// A record of this many kinds or fewer has them all in one run: bounding them one by one costs
// less than laying and walking runs.
constexpr int32_t kOneRunKinds = 512;

// The bits of a 16-bit number spread to every third bit.
uint64_t Spread(uint32_t value)
{
    uint64_t bits = value & 0xFFFF;
    bits = (bits | bits << 16) & 0x0000FF0000FFull;
    bits = (bits | bits << 8) & 0x00F00F00F00Full;
    bits = (bits | bits << 4) & 0x0C30C30C30C3ull;
    bits = (bits | bits << 2) & 0x249249249249ull;
    return bits;
}

// The runs that halving `count` kinds until none holds more than kRunKinds lays, counted a depth
// at a time: the runs of a depth are of two lengths at most, one kind apart.
int64_t RunsLaid(int32_t count)
{
    int64_t leaves = 0;
    int64_t length = count;
    int64_t shorter = 1;  // runs of `length` kinds at this depth
    int64_t longer = 0;   // and of length + 1
    int32_t depths = 0;
    for (; shorter + longer > 0; ++depths) {
        if (length <= kRunKinds) {
            leaves += shorter;
            shorter = 0;
        }
        if (length + 1 <= kRunKinds) {
            leaves += longer;
            longer = 0;
        }
        // A run of an even length halves into two of half of it, one of an odd length into
        // halves one kind apart.
        if (length % 2 == 0) {
            shorter = 2 * shorter + longer;
        } else {
            longer = shorter + 2 * longer;
        }
        length /= 2;
    }
    CountTurns(depths);
    // Every run that is not laid whole holds two.
    return 2 * leaves - 1;
}

}  // namespace

uint64_t CurvePlace(const FixedVector3& point)
{
    auto whole = [](Fixed coordinate) { return uint32_t(RoundFixed(coordinate) + 32768); };
    return Spread(whole(point.x)) << 2 | Spread(whole(point.y)) << 1 | Spread(whole(point.z));
}

int64_t KindRuns::Build(std::vector<FaceKind>* kinds)
{
    runs_.clear();
    const int32_t count = int32_t(kinds->size());
    if (count == 0) return 0;
    if (count <= kOneRunKinds) {
        runs_.reserve(1);
        Lay(*kinds, 0, count, count);
        CountTurns(count);
        return count;
    }
    // Sorted along the curve, neighbours share runs from the few kinds of a run up to the whole:
    // each kind's place found once, and the kinds sorted by it.
    std::vector<std::pair<uint64_t, int32_t>> places(kinds->size());
    for (size_t k = 0; k < kinds->size(); ++k) places[k] = {CurvePlace((*kinds)[k].first), (*kinds)[k].face};
    std::vector<size_t> order(kinds->size());
    for (size_t k = 0; k < order.size(); ++k) order[k] = k;
    std::sort(order.begin(), order.end(), [&places](size_t a, size_t b) { return places[a] < places[b]; });
    std::vector<FaceKind> sorted(kinds->size());
    for (size_t k = 0; k < order.size(); ++k) sorted[k] = (*kinds)[order[k]];
    kinds->swap(sorted);
    runs_.reserve(size_t(RunsLaid(count)));
    Lay(*kinds, 0, count, kRunKinds);
    const int64_t steps = 3 * int64_t(count) + int64_t(runs_.size());
    CountTurns(steps);
    return steps;
}

int64_t KindRuns::Middle(const Run& run, int32_t axis)
{
    const Fixed low[3] = {run.firstLow.x, run.firstLow.y, run.firstLow.z};
    const Fixed high[3] = {run.firstHigh.x, run.firstHigh.y, run.firstHigh.z};
    return (int64_t(low[axis]) + high[axis]) / 2;
}

int32_t KindRuns::Lay(const std::vector<FaceKind>& kinds, int32_t first, int32_t count, int32_t most)
{
    const int32_t index = int32_t(runs_.size());
    runs_.push_back({first, count, {-1, -1}, {32767, 32767, 32767}, {-32768, -32768, -32768}, 0,
                     {INT32_MAX, INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MIN, INT32_MIN}, INT64_MAX});
    auto widen = [](Run& run, const ShortVector3& low, const ShortVector3& high, int32_t span, const FixedVector3& near,
                    const FixedVector3& far) {
        run.normalLow = {std::min(run.normalLow.x, low.x), std::min(run.normalLow.y, low.y),
                         std::min(run.normalLow.z, low.z)};
        run.normalHigh = {std::max(run.normalHigh.x, high.x), std::max(run.normalHigh.y, high.y),
                          std::max(run.normalHigh.z, high.z)};
        run.normalSpan = std::max(run.normalSpan, span);
        run.firstLow = {std::min(run.firstLow.x, near.x), std::min(run.firstLow.y, near.y),
                        std::min(run.firstLow.z, near.z)};
        run.firstHigh = {std::max(run.firstHigh.x, far.x), std::max(run.firstHigh.y, far.y),
                         std::max(run.firstHigh.z, far.z)};
    };
    if (count <= most) {
        // The kinds bounded, then each plane's reach from the middle of their first vertices.
        Run& run = runs_[size_t(index)];
        for (int32_t k = first; k < first + count; ++k) {
            const FaceKind& kind = kinds[size_t(k)];
            const ShortVector3& n = kind.normal;
            widen(run, n, n, std::abs(n.x) + std::abs(n.y) + std::abs(n.z), kind.first, kind.first);
        }
        for (int32_t k = first; k < first + count; ++k) {
            const ShortVector3& n = kinds[size_t(k)].normal;
            const FixedVector3& q = kinds[size_t(k)].first;
            const int64_t reach =
                n.x * (q.x - Middle(run, 0)) + n.y * (q.y - Middle(run, 1)) + n.z * (q.z - Middle(run, 2));
            run.leastReach = std::min(run.leastReach, reach);
        }
        return index;
    }
    const int32_t halves[2] = {Lay(kinds, first, count / 2, most),
                               Lay(kinds, first + count / 2, count - count / 2, most)};
    Run& run = runs_[size_t(index)];
    for (int32_t which = 0; which < 2; ++which) {
        const Run& half = runs_[size_t(halves[which])];
        run.halves[which] = halves[which];
        widen(run, half.normalLow, half.normalHigh, half.normalSpan, half.firstLow, half.firstHigh);
    }
    // A plane's reach from this run's middle is its reach from its half's, and the half's middle's
    // reach from this one along its normal: no less than along the half's least normal that way.
    for (const int32_t which : halves) {
        const Run& half = runs_[size_t(which)];
        const int16_t low[3] = {half.normalLow.x, half.normalLow.y, half.normalLow.z};
        const int16_t high[3] = {half.normalHigh.x, half.normalHigh.y, half.normalHigh.z};
        int64_t least = half.leastReach;
        for (int32_t axis = 0; axis < 3; ++axis) {
            const int64_t apart = Middle(half, axis) - Middle(run, axis);
            least += std::min(low[axis] * apart, high[axis] * apart);
        }
        run.leastReach = std::min(run.leastReach, least);
    }
    return index;
}

double KindRuns::Bound(int32_t index, const VertexSums& sums) const
{
    // A kind's sum before rounding is the counted sum of the vertices' offsets from the middle
    // of the run's first vertices along its normal, less the counted reach of its plane from that
    // middle: each term at its largest over the run, with the rounding of its largest normals. The
    // error of the arithmetic is allowed for twice over, and a difference that may wrap leaves the
    // run unbounded.
    const Run& run = runs_[size_t(index)];
    const int16_t low[3] = {run.normalLow.x, run.normalLow.y, run.normalLow.z};
    const int16_t high[3] = {run.normalHigh.x, run.normalHigh.y, run.normalHigh.z};
    const Fixed firstLow[3] = {run.firstLow.x, run.firstLow.y, run.firstLow.z};
    const Fixed firstHigh[3] = {run.firstHigh.x, run.firstHigh.y, run.firstHigh.z};
    const double counted = double(sums.counted);
    double estimate = -counted * double(run.leastReach) / 65536;
    double magnitude = std::fabs(estimate);
    double axisRounding = 0;
    bool wraps = false;
    for (int32_t axis = 0; axis < 3; ++axis) {
        if (low[axis] == 0 && high[axis] == 0) continue;
        const double offset = double(sums.total[axis] - sums.counted * Middle(run, axis));
        estimate += (offset >= 0 ? high[axis] : low[axis]) * offset / 65536;
        // A kind's terms are measured from the origin: no larger than from the middle and across
        // the run's box.
        const double across = double(int64_t(firstHigh[axis]) - firstLow[axis]);
        const double most = std::max(std::abs(low[axis]), std::abs(high[axis]));
        magnitude += most * (std::fabs(offset) + counted * across) / 65536;
        axisRounding += AxisRounding(sums, axis, firstLow[axis], firstHigh[axis]) * most;
        wraps = wraps || sums.highest[axis] - firstLow[axis] > INT32_MAX ||
                sums.lowest[axis] - firstHigh[axis] < INT32_MIN;
    }
    // Each kind's rounding is within both that of the longest normal and that of the largest part
    // of a normal on each axis.
    const double rounding = std::min(kPartingRounding * run.normalSpan, axisRounding) * counted;
    return wraps ? HUGE_VAL : estimate + rounding + 2e-9 * magnitude + 2;
}
