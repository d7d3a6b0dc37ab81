// The read budget and its allowances.
#include "model/read_budget.h"

#include "foundation/memory_stream.h"

namespace {

// Honest models spend a small part of each (load-bench prints what a read spent per byte of its
// file): the samples, and cities of a hundred thousand faces and more, spend per byte at most 0.12
// faces, 0.005 nodes, 0.02 contacts, 1.2 faces and vertices compared by the contact search, 0.33
// faces and elements lit for their lights (the smallest samples, within what any model has, up to
// 1.0), 0.41 steps of the searches among sibling bounds (0.19 without the ground) and 0.045 nodes
// walked again (every building of the city joins its group, which joins the root); connections
// and slices are few, and no sample shades a side smoothly. The densest models a megabyte can
// hold stay within them too: the smallest opaque prisms side by side (0.011 nodes a byte), or
// small boxes stacked in a cube, each touching its neighbours on every side, edge and corner (0.12
// contacts, 5.7 faces and vertices searched and 2.3 steps among sibling bounds a byte), and so
// does a tiny file of four domes of the most faces, smooth on both sides under a light.
constexpr CostAllowance kAllowances[int32_t(ReadCost::kCount)] = {
    // kFaces (above)
    {kFacesOfAnyModel, 1, kFileBytesPerFace},
    // kNodes: a node takes at least its chunk's header and a primitive's chunk (72 bytes for the
    // smallest prism); empty groups, the cheapest nodes to ask for, are a kilobyte each in memory.
    {16384, 1, 32},
    // kContactPairs: objects in one place all meet; each contact is two entries in memory.
    {1 << 18, 1, 4},
    // kContactSearch: large objects that meet compare faces with vertices by the million.
    {1 << 25, 32, 1},
    // kFaceContacts: connections take eight bytes each in the file; faces pass contacts on.
    {1 << 16, 1, 2},
    // kSliceCuts: slices through large objects, each slice measuring every vertex and cutting every
    // face. A mesh of 32,735 faces cut by 32 slices spends 2.1 million in 257 kilobytes.
    {1 << 21, 2, 1},
    // kLighting: lights by the thousand over faces by the thousand, and faces lit again as often as
    // their tree joins another.
    {1 << 22, 2, 1},
    // kSmoothShading: one corner shared by every face of a fan. The four smooth domes spend 4.2
    // million.
    {1 << 23, 4, 1},
    // kSiblingBounds: objects crowded into a few cells, large objects compared with every other.
    // Hundreds of large prisms around the origin with ten thousand small ones clear of them spend
    // 9 to 14 steps a byte.
    {1 << 24, 16, 1},
    // kTreeWalks: groups nested deep around many nodes, each level walking them all again. Two
    // nested groups of different units around 30,000 empty groups spend 0.17 a byte.
    {1 << 20, 1, 1},
};

}  // namespace

int64_t Allowance(ReadCost cost, int64_t bytesRead)
{
    const CostAllowance& allowance = kAllowances[int32_t(cost)];
    return allowance.anyModel + (bytesRead > 0 ? bytesRead * allowance.units / allowance.bytes : 0);
}

void ReadBudget::Begin(const MemoryStream* stream)
{
    stream_ = stream;
    for (int64_t& spent : spent_) spent = 0;
    passed_ = false;
}

bool ReadBudget::Spend(ReadCost cost, int64_t amount)
{
    if (!stream_) return true;
    int64_t& spent = spent_[int32_t(cost)];
    if (passed_ || spent + amount > Allowance(cost, stream_->StreamPosition())) {
        passed_ = true;
        return false;
    }
    spent += amount;
    return true;
}
