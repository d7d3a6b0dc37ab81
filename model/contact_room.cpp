// The contact room's slabs and the blocks given back, by length; its planes and their index.
#include "model/contact_room.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "foundation/loop_turns.h"
#include "foundation/system_weights.h"

namespace {

// Slabs begin small, for a model of few contacts, and double up to the largest; a block longer
// than a slab's share is a heap block of its own (few lists grow so long, and their copies
// dominate their cost).
constexpr size_t kFirstSlabBytes = size_t(64) << 10;
constexpr size_t kLargestSlabBytes = size_t(1) << 20;
constexpr size_t kLargestCarvedBytes = size_t(16) << 10;

size_t BlockBytes(int32_t length)
{
    return size_t(ContactRoom::Entries(length)) * sizeof(ContactItem);
}

}  // namespace

ContactRoom::~ContactRoom()
{
    while (slabs_) {
        Slab* next = slabs_->next;
        ::operator delete(slabs_);
        slabs_ = next;
    }
    for (ContactPlane* block : planeBlocks_) ::operator delete(block);
    delete[] index_;
}

int32_t ContactRoom::Entries(int32_t length)
{
    return (2 + (length & 1)) << (length >> 1);
}

ContactItem* ContactRoom::Take(int32_t length)
{
    if (length < 0 || length >= kLengths) return nullptr;
    const size_t bytes = BlockBytes(length);
    if (bytes > kLargestCarvedBytes) {
        CountTurns(kHeapBlockTurns);
        return static_cast<ContactItem*>(std::malloc(bytes));
    }
    if (Given* given = given_[length]) {
        given_[length] = given->next;
        return reinterpret_cast<ContactItem*>(given);
    }
    return Carve(bytes);
}

ContactItem* ContactRoom::Carve(size_t bytes)
{
    if (size_t(freshEnd_ - fresh_) < bytes) {
        // The rest of the slab is left unused: it is shorter than the block, and so at most a
        // slab's share.
        const size_t header = (sizeof(Slab) + alignof(ContactItem) - 1) / alignof(ContactItem) * alignof(ContactItem);
        const size_t slabBytes = std::max(nextSlabBytes_, kFirstSlabBytes);
        CountTurns(kHeapBlockTurns);
        void* memory = ::operator new(header + slabBytes, std::nothrow);
        if (!memory) return nullptr;
        Slab* slab = static_cast<Slab*>(memory);
        slab->next = slabs_;
        slabs_ = slab;
        fresh_ = static_cast<char*>(memory) + header;
        freshEnd_ = fresh_ + slabBytes;
        nextSlabBytes_ = std::min(2 * slabBytes, kLargestSlabBytes);
    }
    auto* block = reinterpret_cast<ContactItem*>(fresh_);
    fresh_ += bytes;
    return block;
}

void ContactRoom::Give(ContactItem* block, int32_t length)
{
    if (!block) return;
    if (BlockBytes(length) > kLargestCarvedBytes) {
        std::free(block);
        return;
    }
    auto* given = reinterpret_cast<Given*>(block);
    given->next = given_[length];
    given_[length] = given;
}

bool ContactRoom::NewPlane(uint32_t* number)
{
    if (gonePlanes_ != 0) {
        *number = gonePlanes_ - 1;
        gonePlanes_ = PlaceOf(*number).Uses;
        return true;
    }
    if (freshPlanes_ == kPlanesPerBlock) {
        if (planeBlocks_.size() * kPlanesPerBlock >= kMaxPlanes) return false;
        // The list of blocks takes room from the heap as it doubles.
        if (planeBlocks_.size() == planeBlocks_.capacity()) CountTurns(kHeapBlockTurns);
        CountTurns(kHeapBlockTurns);
        void* memory = ::operator new(kPlanesPerBlock * sizeof(ContactPlane), std::nothrow);
        if (!memory) return false;
        planeBlocks_.push_back(static_cast<ContactPlane*>(memory));
        freshPlanes_ = 0;
    }
    *number = uint32_t(planeBlocks_.size() - 1) * kPlanesPerBlock + freshPlanes_++;
    return true;
}

size_t ContactRoom::IndexHome(const ShortVector3& point, const ShortVector3& normal) const
{
    auto bits = [](const ShortVector3& v) {
        return uint64_t(uint16_t(v.x)) | uint64_t(uint16_t(v.y)) << 16 | uint64_t(uint16_t(v.z)) << 32;
    };
    uint64_t hash = bits(point) * 0x9E3779B97F4A7C15ull ^ bits(normal) * 0xC2B2AE3D27D4EB4Full;
    hash ^= hash >> 29;
    hash *= 0xBF58476D1CE4E5B9ull;
    hash ^= hash >> 32;
    return size_t(hash) & (indexPlaces_ - 1);
}

bool ContactRoom::Reindex(size_t places)
{
    uint32_t* index = new (std::nothrow) uint32_t[places];
    if (!index) return false;
    CountTurns(kHeapBlockTurns + int64_t(places + indexPlaces_));
    std::fill(index, index + places, kEmptyPlace);
    uint32_t* old = index_;
    const size_t oldPlaces = indexPlaces_;
    index_ = index;
    indexPlaces_ = places;
    indexFilled_ = 0;
    for (size_t i = 0; i < oldPlaces; ++i) {
        if (old[i] == kEmptyPlace || old[i] == kGonePlace) continue;
        ContactPlane& plane = PlaceOf(old[i] - 1);
        size_t place = IndexHome(plane.Point, plane.Normal);
        uint32_t probe = 0;
        for (; probe < kProbes && index_[place] != kEmptyPlace; ++probe) place = (place + 1) & (places - 1);
        if (probe == kProbes) {
            plane.Uses &= ~kIndexedPlane;
            continue;
        }
        index_[place] = old[i];
        ++indexFilled_;
    }
    delete[] old;
    return true;
}

bool ContactRoom::UsePlane(const ShortVector3& point, const ShortVector3& normal, bool shared, uint32_t* number)
{
    constexpr size_t kFirstIndexPlaces = 1024;
    // The index is kept at most half full, counting the places whose planes went.
    if (shared && 2 * (indexFilled_ + 1) > indexPlaces_) {
        size_t indexed = 0;
        for (size_t i = 0; i < indexPlaces_; ++i) indexed += index_[i] != kEmptyPlace && index_[i] != kGonePlace;
        CountTurns(int64_t(indexPlaces_));
        size_t places = kFirstIndexPlaces;
        while (places < 4 * (indexed + 1)) places *= 2;
        shared = Reindex(places);
    }
    // The first place of the plane's probes whose plane went, else the empty one that ends them
    // (none: the plane is kept as one of its own).
    size_t free = indexPlaces_;
    if (shared) {
        size_t place = IndexHome(point, normal);
        for (uint32_t probe = 0; probe < kProbes; ++probe, place = (place + 1) & (indexPlaces_ - 1)) {
            const uint32_t held = index_[place];
            if (held == kEmptyPlace) {
                if (free == indexPlaces_) free = place;
                break;
            }
            if (held == kGonePlace) {
                if (free == indexPlaces_) free = place;
                continue;
            }
            ContactPlane& kept = PlaceOf(held - 1);
            if (kept.Point == point && kept.Normal == normal && (kept.Uses & ~kIndexedPlane) < kMostUses) {
                kept.Uses += 2;
                *number = held - 1;
                CountTurns(probe + 1);
                return true;
            }
        }
        CountTurns(kProbes);
    }
    if (!NewPlane(number)) return false;
    ContactPlane& plane = PlaceOf(*number);
    plane = {point, normal, 2};
    if (free != indexPlaces_) {
        indexFilled_ += index_[free] == kEmptyPlace ? 1 : 0;
        index_[free] = *number + 1;
        plane.Uses |= kIndexedPlane;
    }
    return true;
}

void ContactRoom::LeavePlane(uint32_t number)
{
    ContactPlane& plane = PlaceOf(number);
    --plane.Uses;
    if ((plane.Uses & ~kIndexedPlane) != 0) return;
    if (plane.Uses & kIndexedPlane) {
        size_t place = IndexHome(plane.Point, plane.Normal);
        for (uint32_t probe = 0; probe < kProbes && index_[place] != number + 1; ++probe) {
            place = (place + 1) & (indexPlaces_ - 1);
        }
        if (index_[place] == number + 1) index_[place] = kGonePlace;
    }
    plane.Uses = gonePlanes_;
    gonePlanes_ = number + 1;
}
