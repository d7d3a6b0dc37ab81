// ContactRoom: room for the contacts of one holder's object geometry records: each contact stored
// once, for both records, in a table of pairs, and each record's list of its pairs handed out in
// blocks of a few lengths carved from large slabs, a block given back kept for the next list of
// its length, so that lists growing by the million in a dense scene cost the system's heap a call
// per slab rather than one per step of each list (which the heap of the Windows build answers the
// more slowly the more blocks of all lengths it was given back).
#pragma once

#include <cstddef>
#include <cstdint>

#include <vector>

#include "model/short_vector.h"

// A contact as one record of it sees it: the other record, named by its number in the pool of
// both records (ObjectGeometry::ContactOther), a point of the contact plane and its normal (length
// 256), pointing away from the record that sees it.
struct ContactEntry {
    uint32_t OtherNumber;
    ShortVector3 Point;
    ShortVector3 Normal;
};

// A contact as the room keeps it, once for both records: their numbers folded together (either
// record finds the other's by folding in its own), the point, and the normal as the first record
// (the one that found the contact) sees it; the second sees it turned.
struct ContactPair {
    uint32_t Numbers;
    ShortVector3 Point;
    ShortVector3 Normal;
};
static_assert(sizeof(ContactPair) == 16, "a contact pair is a number and two short vectors");

// An item of a record's list of contacts: the pair's number in the room, times two, plus 1 when
// the record is the pair's second.
using ContactRef = uint32_t;
constexpr ContactRef ContactRefOf(uint32_t pair, bool second)
{
    return pair << 1 | (second ? 1u : 0u);
}
constexpr uint32_t ContactRefPair(ContactRef ref)
{
    return ref >> 1;
}
constexpr bool ContactRefSecond(ContactRef ref)
{
    return (ref & 1) != 0;
}

// The contact as the record of the number sees it through the item of its list.
inline ContactEntry ContactSeenBy(const ContactPair& pair, ContactRef ref, uint32_t number)
{
    if (!ContactRefSecond(ref)) return {pair.Numbers ^ number, pair.Point, pair.Normal};
    return {pair.Numbers ^ number, pair.Point, {ClampToShort(-int32_t(pair.Normal.x)), ClampToShort(-int32_t(pair.Normal.y)),
                                                ClampToShort(-int32_t(pair.Normal.z))}};
}

class ContactRoom {
public:
    // The lengths of blocks: a third or a half longer from one to the next, from 2 entries.
    static constexpr int32_t kLengths = 50;

    ContactRoom() = default;
    ~ContactRoom();
    ContactRoom(const ContactRoom&) = delete;
    ContactRoom& operator=(const ContactRoom&) = delete;

    // The items a block of length `length` holds: 2, 3, 4, 6, 8, 12, 16, ...
    static int32_t Entries(int32_t length);
    // A block of the length's items (left as they were), or null when memory is short or the
    // length is past the last.
    ContactRef* Take(int32_t length);
    // Gives back a block of the length taken from the room (null: none).
    void Give(ContactRef* block, int32_t length);

    // Keeps the pair and gives its number, or false when memory is short.
    bool AddPair(const ContactPair& pair, uint32_t* number);
    // The pair of the number, kept.
    const ContactPair& Pair(uint32_t number) const { return pairBlocks_[number / kPairsPerBlock][number % kPairsPerBlock]; }
    // One of the pair's records lets go of it, its list's item gone, while the other keeps its
    // item for now: that record's object is leaving, and it lets go in turn.
    void LeavePair(uint32_t number);
    // Whether a record let go of the pair while the other kept it (LeavePair).
    bool IsLeftPair(uint32_t number) const { return Pair(number).Numbers == kLeftNumbers; }
    // The pair is gone from both lists: its number is given to the next pair kept.
    void DropPair(uint32_t number);

private:
    // A slab: the next slab, then its blocks.
    struct Slab {
        Slab* next;
    };
    // A block given back, holding the next of its length.
    struct Given {
        Given* next;
    };

    // Pairs a block of the table holds (64 KB), and the folded numbers of a pair one record let
    // go of: numbers of records never reach 2^31, so two of them never fold to it.
    static constexpr uint32_t kPairsPerBlock = 4096;
    static constexpr uint32_t kLeftNumbers = 0xFFFFFFFFu;
    // Pair numbers fit a list's item.
    static constexpr uint32_t kMaxPairs = 0x7FFFFFFFu;

    ContactRef* Carve(size_t bytes);

    Slab* slabs_ = nullptr;
    // The unused rest of the newest slab, and the length of the next slab.
    char* fresh_ = nullptr;
    char* freshEnd_ = nullptr;
    size_t nextSlabBytes_ = 0;
    Given* given_[kLengths] = {};
    // The table of pairs in blocks of kPairsPerBlock, the pairs of its newest block given out, and
    // the number of the latest pair dropped plus 1 (0: none), whose Numbers hold the next's so.
    std::vector<ContactPair*> pairBlocks_;
    uint32_t freshPairs_ = kPairsPerBlock;
    uint32_t droppedPairs_ = 0;
};
