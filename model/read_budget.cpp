// The read budget and its allowances.
#include "model/read_budget.h"

#include "foundation/memory_stream.h"

namespace {

// Honest models spend a small part of each: the samples, and cities of a hundred thousand faces and
// more, spend per byte of their files at most 0.12 faces, 0.005 nodes, 0.02 contacts, 1.2 faces
// and vertices compared by the contact search and 0.7 faces lit times their lights; connections
// and slices are few. The densest models a megabyte can hold stay within them too: the smallest
// opaque prisms side by side (0.011 nodes a byte), or small boxes stacked in a cube, each touching
// its neighbours on every side, edge and corner (0.12 contacts and 5.7 faces and vertices searched
// a byte).
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
    // kSliceCuts: slices through large objects.
    {1 << 20, 1, 1},
    // kLighting: lights by the thousand over faces by the thousand.
    {1 << 22, 2, 1},
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
