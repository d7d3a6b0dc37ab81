// The read budget and its allowances.
#include "model/read_budget.h"

#include "foundation/memory_stream.h"
#include "foundation/ui_services.h"
#include "model/object_stream.h"

namespace {

// What a cost allows: `anyModel`, and `units` for every `bytes` bytes of the file read so far; for
// a relation `perBase` more for each thing built of its base. Past what any model has and their
// bytes pay for, the relations share what the read has built: a file may spend the whole of one
// relation's part of it, or parts of several, never the whole of every one, so that it asks for no
// more work than one relation at its most.
struct CostAllowance {
    ReadCost base;
    int64_t anyModel;
    int32_t units;
    int32_t bytes;
    int32_t perBase;
    // And `perPair` more for every contact between records made (the contact search only).
    int32_t perPair = 0;
};

// The factors are four times the most that the honest models (tools/honest_models.h) spend for
// each thing built, and more where a power of two allows (load-bench --honest prints what each read
// spends per thing built); the parts the bytes pay for keep what they were, which the cities and the
// densest files of a megabyte come within. Past their bytes, the relations of a file that asks for
// the most a read may build (a million faces, 131,072 of them with every other cost at its most)
// take the reader a few seconds at most.
constexpr CostAllowance kAllowances[int32_t(ReadCost::kCount)] = {
    // kFaces (above).
    {ReadCost::kFaces, kFacesOfAnyModel, 1, kFileBytesPerFace, 0},
    // kCorners: four a face of any model (quadrilaterals, the most that faces of rounded primitives
    // have), and beyond that one for every vertex index a file holds.
    {ReadCost::kCorners, 4 * int64_t(kFacesOfAnyModel), 1, 2, 0},
    // kNodes: a node takes at least its chunk's header and a primitive's chunk (72 bytes for the
    // smallest prism); empty groups, the cheapest nodes to ask for, are a kilobyte each in memory.
    {ReadCost::kNodes, 16384, 1, 32, 0},
    // kConnections: eight bytes each.
    {ReadCost::kConnections, 0, 1, 8, 0},
    // kContactPairs: groups nested four deep around boxes of furniture make 13.6 contacts a node
    // kept; objects in one place all meet. The seats of a stadium, each meeting the seats and
    // treads around it and the roof over them all, make 60 a node kept and 0.30 a byte.
    {ReadCost::kNodes, 0, 1, 1, 64},
    // kContactSearch: the furnished rooms of the interiors count and compare 42.3 vertices, faces
    // and runs of faces a corner built, houses of one piece on rolling ground 23.5, spheres of 16 x
    // 8 segments touching their neighbours 23.5; the landscape of patches 4.3, the city of 100,000
    // faces 15.3. A forest on rolling ground, its trunks sunk into the slopes, compares 112: within
    // the factor once, not four times (its file's bytes pay for nearly all of it), as four times
    // would let a small file describing a million faces search for longer than a read may take.
    // Where records meet by the dozen, the search grows with the contacts made: the seats of a
    // stadium compare 223 a contact, most of it the faces of the roof over them all against each
    // seat. Vaults and sculptures of smooth meshes lying on and in each other compare up to 131 a
    // corner, 16.2 a byte: what the bytes pay for is twice what it was.
    {ReadCost::kCorners, 0, 64, 1, 128, 1024},
    // kFaceContacts: a floor face connected to a thousand rooms walks and moves 1,006 entries a
    // connection (every connection to the face moves its list).
    {ReadCost::kConnections, 0, 1, 2, 4096},
    // kContactEntries: the floor face and its thousand rooms, and the town's offices, take in 2
    // entries a connection (each face the other); eight times that, for faces that take in the
    // contacts of the faces they are connected with too. The entries hold 16 bytes each.
    {ReadCost::kConnections, 0, 1, 2, 16},
    // kCoverage: the town's offices hand their regions 3,390 units a connection, 5.4 million in
    // all at the largest, the floor face and its thousand rooms 2,150, the calls to the system and
    // the heap weighed with them. What a region is handed grows with its faces' size in whole
    // units, which a file may set as it likes, and a unit takes the system 2 to 10 ns: any model
    // has six times the most that honest models spend, and a connection adds enough for models of
    // ten times the town's connections, so that a file of a megabyte of connections between faces
    // as large as they come is refused within 3 s.
    {ReadCost::kConnections, int64_t(1) << 25, 16, 1, 2048},
    // kSliceCuts: spheres of the most segments cut by 16 facet slices walk 21.7 vertices, corners
    // and cut edges a corner built.
    {ReadCost::kCorners, 0, 2, 1, 128},
    // kLighting: 28 lights over spheres light each face and element 58 times, smooth spheres
    // under two lights 22 times.
    {ReadCost::kFaces, 0, 2, 1, 256},
    // kSmoothShading: smooth spheres of the most segments average 9.5 faces a corner built.
    {ReadCost::kCorners, 0, 4, 1, 64},
    // kSiblingBounds: groups nested four deep file, walk and compare 204 bounds a node kept, the
    // interiors of a million faces 197.
    {ReadCost::kNodes, 0, 16, 1, 2048},
    // kTreeWalks: groups nested four deep in units of their own walk each node 13.7 times again.
    {ReadCost::kNodes, 0, 1, 1, 64},
};

// The whole of what the read has built, in the units of the relations' shares of it.
constexpr int64_t kWholeShare = int64_t(1) << 30;

bool IsRelation(int32_t cost)
{
    return cost >= kFirstRelation;
}

// The part of the cost that any model has, and that every `bytes` bytes read pay for.
int64_t Free(int32_t cost, int64_t bytesRead)
{
    const CostAllowance& allowance = kAllowances[cost];
    return allowance.anyModel + (bytesRead > 0 ? bytesRead * allowance.units / allowance.bytes : 0);
}

// The part of the relation that what the read built of its base, and the contacts made, allow.
int64_t OfBase(int32_t cost, int64_t base, int64_t pairs)
{
    return kAllowances[cost].perBase * base + kAllowances[cost].perPair * pairs;
}

}  // namespace

ReadCost BaseOf(ReadCost cost)
{
    return kAllowances[int32_t(cost)].base;
}

int64_t Allowance(ReadCost cost, int64_t bytesRead, int64_t base, int64_t pairs)
{
    const int32_t c = int32_t(cost);
    return Free(c, bytesRead) + OfBase(c, base, pairs);
}

int64_t ReadBudget::Share(int32_t cost, int64_t spent, int64_t bytes) const
{
    const int64_t beyond = spent - Free(cost, bytes);
    if (beyond <= 0) return 0;
    const int64_t ofBase =
        OfBase(cost, spent_[int32_t(kAllowances[cost].base)], spent_[int32_t(ReadCost::kContactPairs)]);
    // Past the relation's own allowance: more than the whole.
    if (beyond > ofBase) return kWholeShare + 1;
    return beyond * kWholeShare / ofBase;
}

void ReadBudget::ShareAgain(int64_t bytes)
{
    shared_ = 0;
    for (int32_t c = kFirstRelation; c < int32_t(ReadCost::kCount); ++c) {
        shares_[c] = Share(c, spent_[c], bytes);
        shared_ += shares_[c];
    }
    sharedAt_ = bytes;
    basesGrew_ = false;
}

void ReadBudget::Begin(const MemoryStream* stream)
{
    stream_ = stream;
    bytesRead_ = 0;
    for (int64_t& spent : spent_) spent = 0;
    for (int64_t& share : shares_) share = 0;
    shared_ = 0;
    sharedAt_ = 0;
    basesGrew_ = false;
    passed_ = false;
    pictures_.Begin();
    stopped_ = false;
    workSinceLook_ = 0;
    unspentAtLook_ = UnspentWork();
}

void ReadBudget::End()
{
    if (stream_) bytesRead_ = stream_->StreamPosition();
    stream_ = nullptr;
    passed_ = false;
    stopped_ = false;
}

bool ReadBudget::LookAtProgress()
{
    workSinceLook_ = 0;
    unspentAtLook_ = UnspentWork();
    if (stopped_ || !stream_ || ProgressSuppressionFlag) return !stopped_;
    ProgressSetValue(stream_->StreamPosition());
    if (ProgressUpdate(0)) {
        stopped_ = true;
        passed_ = true;
    }
    return !stopped_;
}

int64_t ReadBudget::BytesRead() const
{
    return stream_ ? stream_->StreamPosition() : bytesRead_;
}

int64_t ReadBudget::TurnLimit() const
{
    int64_t charged = BytesRead();
    for (const int64_t spent : spent_) charged += spent;
    // A unit the pictures spent takes at most 14 ns (picture-bench), about a turn (13 ns) of the
    // loops that count theirs: each allows one.
    return kTurnsPerCharge * charged + pictures_.Spent() + kTurnsOfAnyRead;
}

bool ReadBudget::Spend(ReadCost cost, int64_t amount)
{
    if (!stream_) return true;
    if (passed_ || (LookIsDue(amount) && !LookAtProgress())) return false;
    const int64_t bytes = stream_->StreamPosition();
    const int32_t c = int32_t(cost);
    if (!IsRelation(c)) {
        if (spent_[c] + amount > Allowance(cost, bytes)) {
            passed_ = true;
            return false;
        }
        spent_[c] += amount;
        basesGrew_ = true;
        return true;
    }
    // The shares change with the bytes read and what is built: while they are all 0 (a file that
    // spends no more than its bytes pay for), more of either leaves them so.
    if (bytes < sharedAt_ || (shared_ > 0 && (bytes > sharedAt_ || basesGrew_))) ShareAgain(bytes);
    sharedAt_ = bytes;
    const int64_t share = Share(c, spent_[c] + amount, bytes);
    if (shared_ - shares_[c] + share > kWholeShare) {
        passed_ = true;
        return false;
    }
    spent_[c] += amount;
    shared_ += share - shares_[c];
    shares_[c] = share;
    // The contacts made add to the search's allowance, as what is built adds to every relation's.
    if (cost == ReadCost::kContactPairs) basesGrew_ = true;
    return true;
}

bool BudgetMeter::Settle()
{
    const int64_t owed = owed_;
    owed_ = 0;
    return owed == 0 ? !budget_.Passed() : budget_.Spend(cost_, owed);
}
