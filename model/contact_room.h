// ContactRoom: room for the contact lists of one holder's object geometry records, handed out in
// blocks of a few lengths carved from large slabs, a block given back kept for the next list of
// its length, so that lists growing by the million in a dense scene cost the system's heap a call
// per slab rather than one per step of each list (which the heap of the Windows build answers the
// more slowly the more blocks of all lengths it was given back).
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/short_vector.h"

// A contact with another record, named by its number in the pool of both records
// (ObjectGeometry::ContactOther): a point of the contact plane and its normal (length 256),
// pointing away from the record that holds the entry.
struct ContactEntry {
    uint32_t OtherNumber;
    ShortVector3 Point;
    ShortVector3 Normal;
};
static_assert(sizeof(ContactEntry) == 16, "a contact entry is a number and two short vectors");

class ContactRoom {
public:
    // The lengths of blocks: a third or a half longer from one to the next, from 2 entries.
    static constexpr int32_t kLengths = 50;

    ContactRoom() = default;
    ~ContactRoom();
    ContactRoom(const ContactRoom&) = delete;
    ContactRoom& operator=(const ContactRoom&) = delete;

    // The entries a block of length `length` holds: 2, 3, 4, 6, 8, 12, 16, ...
    static int32_t Entries(int32_t length);
    // A block of the length's entries (left as they were), or null when memory is short or the
    // length is past the last.
    ContactEntry* Take(int32_t length);
    // Gives back a block of the length taken from the room (null: none).
    void Give(ContactEntry* block, int32_t length);

private:
    // A slab: the next slab, then its blocks.
    struct Slab {
        Slab* next;
    };
    // A block given back, holding the next of its length.
    struct Given {
        Given* next;
    };

    ContactEntry* Carve(size_t bytes);

    Slab* slabs_ = nullptr;
    // The unused rest of the newest slab, and the length of the next slab.
    char* fresh_ = nullptr;
    char* freshEnd_ = nullptr;
    size_t nextSlabBytes_ = 0;
    Given* given_[kLengths] = {};
};
