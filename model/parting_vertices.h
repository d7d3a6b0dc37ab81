// The vertices of a record of many laid out for the search for the face that parts two records:
// the counted sum of their whole offsets from a face's plane found from their coordinates sorted
// on each axis, and whether any lies behind the plane found in a tree of their boxes, each in
// about the logarithm of their number instead of a walk over all of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/fixed.h"
#include "model/short_vector.h"

// A vertex a record's faces name, with the number of faces that name it.
struct VertexUse {
    const FixedVector3* vertex;
    int64_t count;
};

// A difference of Fixed coordinates rounded to a whole number, with -1, 0 and 1 counted as 0: what
// a vertex's offset from a face's plane is measured in along each axis. Wraps round the 32 bits of
// Fixed as the contact search takes it.
inline int64_t RoundedOffset(Fixed a, Fixed b)
{
    const int32_t rounded = RoundFixed(int32_t(uint32_t(a) - uint32_t(b)));
    return rounded >= -1 && rounded <= 1 ? 0 : rounded;
}

// A vertex's whole offset from the plane of the normal through q, times the normal's length.
inline int64_t PlaneOffset(const ShortVector3& n, const FixedVector3& q, const FixedVector3& v)
{
    return n.x * RoundedOffset(v.x, q.x) + n.y * RoundedOffset(v.y, q.y) + n.z * RoundedOffset(v.z, q.z);
}

class PartingVertices {
public:
    // Lays out the vertices, reordering them so that a leaf of the tree holds neighbours; answers
    // the steps taken. The vertices must outlive the layout.
    int64_t Build(std::vector<VertexUse>* uses);
    bool Built() const { return !nodes_.empty(); }
    // The steps that laying out n vertices takes.
    static int64_t BuildSteps(size_t n);
    // Whether the answers below hold for a plane through q: no difference of a vertex's coordinate
    // and q's wraps round the 32 bits of Fixed.
    bool Holds(const FixedVector3& q) const;
    // The counted sum of every vertex's PlaneOffset, as a walk over them sums it; adds its steps.
    int64_t Sum(const ShortVector3& n, const FixedVector3& q, int64_t* steps) const;
    // The place in `uses` of a vertex whose PlaneOffset is below 0, or -1 when none is; adds its
    // steps (the boxes and vertices it tried).
    int64_t Behind(const std::vector<VertexUse>& uses, const ShortVector3& n, const FixedVector3& q,
                   int64_t* steps) const;

private:
    // The coordinates of one axis sorted, with the counts of the vertices up to each, and their
    // parts below a whole unit sorted in the same way.
    struct Axis {
        std::vector<Fixed> values;
        std::vector<int64_t> valuesBelow;  // counted vertices before each value, and all of them last
        std::vector<uint16_t> fractions;
        std::vector<int64_t> fractionsBelow;
        int64_t wholes = 0;  // the counted sum of the whole parts (rounded down)
        Fixed lowest = 0;
        Fixed highest = 0;
    };
    // A box of the vertices first to first + count - 1, and its halves (-1 for a leaf).
    struct Node {
        int32_t first;
        int32_t count;
        int32_t halves[2];
        FixedVector3 low;
        FixedVector3 high;
    };
    int32_t Lay(const std::vector<VertexUse>& uses, int32_t first, int32_t count);
    // The counted sum of the axis's rounded offsets from `at`; adds the steps of its searches.
    int64_t AxisSum(const Axis& axis, Fixed at, int64_t* steps) const;
    // The least PlaneOffset that a vertex in the node may have.
    static int64_t LeastOffset(const Node& node, const ShortVector3& n, const FixedVector3& q);

    Axis axes_[3];
    std::vector<Node> nodes_;
};
