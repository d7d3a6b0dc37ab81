// The vertices of a record laid out for exact parting sums and for finding one behind a plane.
#include "model/parting_vertices.h"

#include <algorithm>
#include <climits>

#include "foundation/loop_turns.h"
#include "model/parting_bounds.h"

namespace {

// A box of this many vertices or fewer is not halved: its vertices are tried one by one.
constexpr int32_t kLeafVertices = 8;

// The steps of sorting n things: n times the depth of halving them.
int64_t SortSteps(size_t n)
{
    return int64_t(n) * BitLength(uint32_t(n + 1));
}

// The place of the first of the sorted values from `from` on that is not below `at`: found by
// steps doubling from there and a search of the last of them, its steps added. From 0, a search
// of all the values.
template <class Value>
size_t PlaceFrom(const std::vector<Value>& values, size_t from, int64_t at, int64_t* steps)
{
    auto below = [](Value value, int64_t bound) { return int64_t(value) < bound; };
    size_t low = from;
    size_t high = values.size();
    if (from > 0) {
        size_t reach = 1;
        int64_t probes = 1;
        while (low + reach < values.size() && below(values[low + reach - 1], at)) {
            low += reach;
            reach *= 2;
            ++probes;
        }
        high = std::min(values.size(), low + reach);
        *steps += probes;
        CountTurns(probes);
    }
    *steps += BitLength(uint32_t(high - low + 1));
    CountTurns(BitLength(uint32_t(high - low + 1)));
    return size_t(std::lower_bound(values.begin() + long(low), values.begin() + long(high), at, below) - values.begin());
}

// Sorts the (value, count) pairs by value and merges equal values: the values, and the counts of
// those before each with the whole count last.
template <class Value>
void Tally(std::vector<std::pair<Value, int64_t>>* pairs, std::vector<Value>* values, std::vector<int64_t>* below)
{
    std::sort(pairs->begin(), pairs->end());
    int64_t counted = 0;
    for (const auto& pair : *pairs) {
        if (values->empty() || values->back() != pair.first) {
            values->push_back(pair.first);
            below->push_back(counted);
        }
        counted += pair.second;
    }
    below->push_back(counted);
    values->shrink_to_fit();
    below->shrink_to_fit();
}

}  // namespace

int64_t PartingVertices::Build(std::vector<VertexUse>* uses)
{
    const size_t n = uses->size();
    if (n == 0) return 0;
    // Neighbours along the curve share the leaves and boxes of the tree: each vertex's place found
    // once, and the vertices sorted by it.
    std::vector<std::pair<uint64_t, size_t>> places(n);
    for (size_t j = 0; j < n; ++j) places[j] = {CurvePlace(*(*uses)[j].vertex), j};
    std::sort(places.begin(), places.end());
    std::vector<VertexUse> sorted(n);
    for (size_t j = 0; j < n; ++j) sorted[j] = (*uses)[places[j].second];
    uses->swap(sorted);
    std::vector<std::pair<Fixed, int64_t>> values(n);
    std::vector<std::pair<uint16_t, int64_t>> fractions(n);
    for (int32_t a = 0; a < 3; ++a) {
        Axis& axis = axes_[a];
        axis.wholes = 0;
        for (size_t j = 0; j < n; ++j) {
            const VertexUse& use = (*uses)[j];
            const Fixed coordinate = a == 0 ? use.vertex->x : a == 1 ? use.vertex->y : use.vertex->z;
            values[j] = {coordinate, use.count};
            fractions[j] = {uint16_t(coordinate & 0xFFFF), use.count};
            axis.wholes += int64_t(coordinate >> 16) * use.count;
        }
        Tally(&values, &axis.values, &axis.valuesBelow);
        Tally(&fractions, &axis.fractions, &axis.fractionsBelow);
        axis.lowest = axis.values.front();
        axis.highest = axis.values.back();
    }
    nodes_.reserve(2 * (n / kLeafVertices + 1));
    Lay(*uses, 0, int32_t(n));
    const int64_t steps = BuildSteps(n);
    CountTurns(steps);
    return steps;
}

int64_t PartingVertices::BuildSteps(size_t n)
{
    // Sorted along the curve and twice on each axis, tallied, and a box laid for every few.
    return 7 * SortSteps(n) + 9 * int64_t(n);
}

int32_t PartingVertices::Lay(const std::vector<VertexUse>& uses, int32_t first, int32_t count)
{
    const int32_t index = int32_t(nodes_.size());
    nodes_.push_back({first, count, {-1, -1}, {INT32_MAX, INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MIN, INT32_MIN}});
    auto widen = [this, index](const FixedVector3& low, const FixedVector3& high) {
        Node& node = nodes_[size_t(index)];
        node.low = {std::min(node.low.x, low.x), std::min(node.low.y, low.y), std::min(node.low.z, low.z)};
        node.high = {std::max(node.high.x, high.x), std::max(node.high.y, high.y), std::max(node.high.z, high.z)};
    };
    if (count <= kLeafVertices) {
        for (int32_t j = first; j < first + count; ++j) widen(*uses[size_t(j)].vertex, *uses[size_t(j)].vertex);
        return index;
    }
    const int32_t halves[2] = {Lay(uses, first, count / 2), Lay(uses, first + count / 2, count - count / 2)};
    for (int32_t which = 0; which < 2; ++which) {
        nodes_[size_t(index)].halves[which] = halves[which];
        const Node& half = nodes_[size_t(halves[which])];
        widen(half.low, half.high);
    }
    return index;
}

bool PartingVertices::Holds(const FixedVector3& q) const
{
    const Fixed at[3] = {q.x, q.y, q.z};
    for (int32_t a = 0; a < 3; ++a) {
        if (int64_t(axes_[a].highest) - at[a] > INT32_MAX || int64_t(axes_[a].lowest) - at[a] < INT32_MIN) {
            return false;
        }
    }
    return true;
}

int64_t PartingVertices::AxisSum(const Axis& axis, Fixed at, int64_t* steps) const
{
    // A vertex's offset rounds to (v - t) / 65536 rounded down, t = at - 1/2: with v = 65536 a + b
    // and t = 65536 A + B (b and B in [0, 65536)), that is a - A, less 1 where b < B. The offsets
    // that round to 1 (v in [t + 1, t + 2)) and to -1 (v in [t - 1, t)) count as 0.
    constexpr int64_t kUnit = 65536;
    const int64_t t = int64_t(at) - kUnit / 2;
    const int64_t whole = t >> 16;
    const int64_t fraction = t & (kUnit - 1);
    const int64_t counted = axis.valuesBelow.back();
    const int64_t below = axis.fractionsBelow[PlaceFrom(axis.fractions, 0, fraction, steps)];
    // Every value more than a unit below t, or two or more above it, rounds to neither -1 nor 1.
    if (axis.highest < t - kUnit || axis.lowest >= t + 2 * kUnit) return axis.wholes - whole * counted - below;
    // The bounds of the values rounding to -1 and to 1, one unit apart, each found from the last.
    size_t places[4];
    for (int32_t k = 0; k < 4; ++k) places[k] = PlaceFrom(axis.values, k == 0 ? 0 : places[k - 1], t + (k - 1) * kUnit, steps);
    const int64_t minusOnes = axis.valuesBelow[places[1]] - axis.valuesBelow[places[0]];
    const int64_t ones = axis.valuesBelow[places[3]] - axis.valuesBelow[places[2]];
    return axis.wholes - whole * counted - below - ones + minusOnes;
}

int64_t PartingVertices::Sum(const ShortVector3& n, const FixedVector3& q, int64_t* steps) const
{
    const int16_t normal[3] = {n.x, n.y, n.z};
    const Fixed at[3] = {q.x, q.y, q.z};
    int64_t sum = 0;
    for (int32_t a = 0; a < 3; ++a) {
        if (normal[a] != 0) sum += normal[a] * AxisSum(axes_[a], at[a], steps);
    }
    return sum;
}

int64_t PartingVertices::LeastOffset(const Node& node, const ShortVector3& n, const FixedVector3& q)
{
    // A rounded offset never falls as its vertex moves along an axis: the least over the box is at
    // its low side along a positive part of the normal, at its high side along a negative one.
    const FixedVector3 corner = {n.x >= 0 ? node.low.x : node.high.x, n.y >= 0 ? node.low.y : node.high.y,
                                 n.z >= 0 ? node.low.z : node.high.z};
    return PlaneOffset(n, q, corner);
}

int64_t PartingVertices::Behind(const std::vector<VertexUse>& uses, const ShortVector3& n, const FixedVector3& q,
                                int64_t* steps) const
{
    if (nodes_.empty()) return -1;
    int32_t open[64];
    int32_t depth = 0;
    open[depth++] = 0;
    int64_t taken = 0;
    int64_t found = -1;
    while (depth > 0 && found < 0) {
        const Node& node = nodes_[size_t(open[--depth])];
        ++taken;
        if (LeastOffset(node, n, q) >= 0) continue;
        if (node.halves[0] < 0) {
            for (int32_t j = node.first; j < node.first + node.count && found < 0; ++j) {
                ++taken;
                if (PlaneOffset(n, q, *uses[size_t(j)].vertex) < 0) found = j;
            }
            continue;
        }
        // The halves are a tree of halvings at most 31 deep: the stack holds one a depth.
        open[depth++] = node.halves[1];
        open[depth++] = node.halves[0];
    }
    CountTurns(taken);
    *steps += taken;
    return found;
}
