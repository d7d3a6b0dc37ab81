// The contact room's slabs and the blocks given back, by length.
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
    return size_t(ContactRoom::Entries(length)) * sizeof(ContactEntry);
}

}  // namespace

ContactRoom::~ContactRoom()
{
    while (slabs_) {
        Slab* next = slabs_->next;
        ::operator delete(slabs_);
        slabs_ = next;
    }
}

int32_t ContactRoom::Entries(int32_t length)
{
    return (2 + (length & 1)) << (length >> 1);
}

ContactEntry* ContactRoom::Take(int32_t length)
{
    if (length < 0 || length >= kLengths) return nullptr;
    const size_t bytes = BlockBytes(length);
    if (bytes > kLargestCarvedBytes) {
        CountTurns(kHeapBlockTurns);
        return static_cast<ContactEntry*>(std::malloc(bytes));
    }
    if (Given* given = given_[length]) {
        given_[length] = given->next;
        return reinterpret_cast<ContactEntry*>(given);
    }
    return Carve(bytes);
}

ContactEntry* ContactRoom::Carve(size_t bytes)
{
    if (size_t(freshEnd_ - fresh_) < bytes) {
        // The rest of the slab is left unused: it is shorter than the block, and so at most a
        // slab's share.
        const size_t header = (sizeof(Slab) + alignof(ContactEntry) - 1) / alignof(ContactEntry) * alignof(ContactEntry);
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
    auto* block = reinterpret_cast<ContactEntry*>(fresh_);
    fresh_ += bytes;
    return block;
}

void ContactRoom::Give(ContactEntry* block, int32_t length)
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
