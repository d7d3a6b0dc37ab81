// The read budget and its allowances.
#include "model/read_budget.h"

#include "foundation/memory_stream.h"

namespace {

// Honest models spend a small part of each (load-bench prints what a read spent per byte of its
// file): the samples, and cities of a hundred thousand faces and more, spend per byte at most 0.12
// faces, 0.006 nodes, 0.03 contacts, 1.3 faces and vertices compared by the contact search, 0.3
// faces and elements lit for their lights (the smallest samples, within what any model has, up to
// 0.9), 0.4 steps of the searches among sibling bounds (0.21 for the city on a ground) and 0.043
// nodes walked again (every building of the city joins its group, which joins the root); connections
// and slices are few, and no sample shades a side smoothly. The densest models a megabyte can
// hold stay within them too: the smallest opaque prisms side by side (0.011 nodes a byte), or
// small boxes stacked in a cube, each touching its neighbours on every side, edge and corner (0.12
// contacts, 5.7 faces and vertices searched and 2.3 steps among sibling bounds a byte), and so
// does a file of a few bytes holding a dome of the most faces, smooth on both sides under a light
// (a quarter of what any model has for faces and for smooth shading).
// What any model has of each cost takes the reader up to 0.1 s natively, and a second or so in the
// fuzzing build (address and undefined-behaviour checks), at its most.
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
    // face. A mesh of 32,751 faces cut by 16 slices spends 1.05 million in 262 kilobytes.
    {1 << 20, 2, 1},
    // kLighting: lights by the thousand over faces by the thousand, and root chunks by the
    // thousand each bringing the root's lights.
    {1 << 21, 2, 1},
    // kSmoothShading: one corner shared by every face of a fan. The smooth dome spends 1.05
    // million.
    {1 << 22, 4, 1},
    // kSiblingBounds: objects crowded into a few cells, large objects compared with every other.
    // Hundreds of large prisms around the origin with ten thousand small ones clear of them spend
    // 9 to 14 steps a byte.
    {1 << 24, 16, 1},
    // kTreeWalks: groups nested deep around many nodes, each level walking them all again. Two
    // nested groups of different units around 30,000 empty groups spend 0.13 a byte, groups nested
    // 99 deep around two domes 0.28.
    {1 << 19, 1, 1},
};

// The whole of what any model has, in the units of the costs' shares of it.
constexpr int64_t kWholeShare = int64_t(1) << 30;

// The part of the cost that every `bytes` bytes read pay for.
int64_t PaidByBytes(ReadCost cost, int64_t bytesRead)
{
    const CostAllowance& allowance = kAllowances[int32_t(cost)];
    return bytesRead > 0 ? bytesRead * allowance.units / allowance.bytes : 0;
}

}  // namespace

int64_t Allowance(ReadCost cost, int64_t bytesRead)
{
    return kAllowances[int32_t(cost)].anyModel + PaidByBytes(cost, bytesRead);
}

int64_t ReadBudget::Share(ReadCost cost, int64_t spent, int64_t bytes)
{
    const int64_t beyond = spent - PaidByBytes(cost, bytes);
    if (beyond <= 0) return 0;
    const int64_t anyModel = kAllowances[int32_t(cost)].anyModel;
    // Past the cost's own allowance: more than the whole.
    if (beyond > anyModel) return kWholeShare + 1;
    return beyond * kWholeShare / anyModel;
}

void ReadBudget::Begin(const MemoryStream* stream)
{
    stream_ = stream;
    for (int64_t& spent : spent_) spent = 0;
    for (int64_t& share : shares_) share = 0;
    shared_ = 0;
    sharedAt_ = 0;
    passed_ = false;
}

bool ReadBudget::Spend(ReadCost cost, int64_t amount)
{
    if (!stream_) return true;
    if (passed_) return false;
    const int64_t bytes = stream_->StreamPosition();
    // The shares change with the bytes read: while they are all 0 (a file that spends no more
    // than its bytes pay for), more bytes leave them so.
    if (bytes < sharedAt_ || (bytes > sharedAt_ && shared_ > 0)) {
        shared_ = 0;
        for (int32_t c = 0; c < int32_t(ReadCost::kCount); ++c) {
            shares_[c] = Share(ReadCost(c), spent_[c], bytes);
            shared_ += shares_[c];
        }
    }
    sharedAt_ = bytes;
    const int32_t c = int32_t(cost);
    const int64_t share = Share(cost, spent_[c] + amount, bytes);
    if (shared_ - shares_[c] + share > kWholeShare) {
        passed_ = true;
        return false;
    }
    spent_[c] += amount;
    shared_ += share - shares_[c];
    shares_[c] = share;
    return true;
}
