// ContactRoom: room for the contacts of one holder's object geometry records: their planes, each
// kept once for the many contacts that lie on it, and each record's list of items (the other
// record and the plane) handed out in blocks of a few lengths carved from large slabs, a block
// given back kept for the next list of its length, so that lists growing by the million in a dense
// scene cost the system's heap a call per slab rather than one per step of each list (which the
// heap of the Windows build answers the more slowly the more blocks of all lengths it was given
// back).
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

// A contact plane as the room keeps it, once for every contact that lies on it: its point, its
// normal as the record that found the contact sees it (the other sees it turned), and the items
// that name it (with kIndexedPlane when the room's index finds it).
struct ContactPlane {
    ShortVector3 Point;
    ShortVector3 Normal;
    uint32_t Uses;
};
static_assert(sizeof(ContactPlane) == 16, "a contact plane is two short vectors and a count");

// An item of a record's list of contacts: the other record's number, and the plane's number in the
// room times two, plus 1 when the record sees the plane turned.
struct ContactItem {
    uint32_t OtherNumber;
    uint32_t Plane;
};
static_assert(sizeof(ContactItem) == 8, "a contact item is two numbers (a block given back holds a pointer)");

// The contact an item names, as the record that holds the item sees it.
inline ContactEntry ContactSeen(const ContactItem& item, const ContactPlane& plane)
{
    if ((item.Plane & 1) == 0) return {item.OtherNumber, plane.Point, plane.Normal};
    return {item.OtherNumber, plane.Point,
            {ClampToShort(-int32_t(plane.Normal.x)), ClampToShort(-int32_t(plane.Normal.y)),
             ClampToShort(-int32_t(plane.Normal.z))}};
}

class ContactRoom {
public:
    // The lengths of blocks: a third or a half longer from one to the next, from 2 items.
    static constexpr int32_t kLengths = 50;

    ContactRoom() = default;
    ~ContactRoom();
    ContactRoom(const ContactRoom&) = delete;
    ContactRoom& operator=(const ContactRoom&) = delete;

    // The items a block of length `length` holds: 2, 3, 4, 6, 8, 12, 16, ...
    static int32_t Entries(int32_t length);
    // A block of the length's items (left as they were), or null when memory is short or the
    // length is past the last.
    ContactItem* Take(int32_t length);
    // Gives back a block of the length taken from the room (null: none).
    void Give(ContactItem* block, int32_t length);

    // The number of a plane of the point and normal with two more uses, for the two items of a
    // contact on it, or false when memory is short. A plane `shared` (one of a face of either
    // record: a face parts a record from many) is the one kept already where the room's index
    // finds it; any other is a plane of its own.
    bool UsePlane(const ShortVector3& point, const ShortVector3& normal, bool shared, uint32_t* number);
    // The plane of the number, kept.
    const ContactPlane& Plane(uint32_t number) const
    {
        return planeBlocks_[number / kPlanesPerBlock][number % kPlanesPerBlock];
    }
    // An item naming the plane is gone: the plane goes with its last, its number given to the next
    // plane kept.
    void LeavePlane(uint32_t number);

private:
    // A slab: the next slab, then its blocks.
    struct Slab {
        Slab* next;
    };
    // A block given back, holding the next of its length.
    struct Given {
        Given* next;
    };

    // Planes a block of the table holds (64 KB); the mark of a plane the index finds, and the most
    // uses a plane takes (one item more makes a plane of its own).
    static constexpr uint32_t kPlanesPerBlock = 4096;
    static constexpr uint32_t kIndexedPlane = 0x80000000u;
    static constexpr uint32_t kMostUses = 0x7FFFFFFEu;
    // Plane numbers fit an item with its turn.
    static constexpr uint32_t kMaxPlanes = 0x7FFFFFFFu;
    // The places of the index a plane is looked for in, from the first its hash names: a plane not
    // found in so many is kept as one of its own.
    static constexpr uint32_t kProbes = 16;
    // An index place empty, and one whose plane has gone.
    static constexpr uint32_t kEmptyPlace = 0;
    static constexpr uint32_t kGonePlace = 0xFFFFFFFFu;

    ContactItem* Carve(size_t bytes);
    ContactPlane& PlaceOf(uint32_t number)
    {
        return planeBlocks_[number / kPlanesPerBlock][number % kPlanesPerBlock];
    }
    // A plane of no uses yet, or false when memory is short.
    bool NewPlane(uint32_t* number);
    // The index's first place to look for the plane.
    size_t IndexHome(const ShortVector3& point, const ShortVector3& normal) const;
    // Puts the indexed planes into an index of the given places (a power of 2); false when memory
    // is short (the index is left as it was).
    bool Reindex(size_t places);

    Slab* slabs_ = nullptr;
    // The unused rest of the newest slab, and the length of the next slab.
    char* fresh_ = nullptr;
    char* freshEnd_ = nullptr;
    size_t nextSlabBytes_ = 0;
    Given* given_[kLengths] = {};
    // The table of planes in blocks of kPlanesPerBlock, the planes of its newest block given out,
    // and the number of the latest plane gone plus 1 (0: none), whose Uses hold the next's so.
    std::vector<ContactPlane*> planeBlocks_;
    uint32_t freshPlanes_ = kPlanesPerBlock;
    uint32_t gonePlanes_ = 0;
    // The index of shared planes: places holding a plane's number plus 1 (or kEmptyPlace,
    // kGonePlace), how many, and how many are not empty.
    uint32_t* index_ = nullptr;
    size_t indexPlaces_ = 0;
    size_t indexFilled_ = 0;
};
