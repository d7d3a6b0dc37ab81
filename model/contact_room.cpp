// The contact room's slabs and the blocks given back, by length; its table of pairs.
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

// Blocks lie on pointer boundaries: one given back holds the next of its length.
constexpr size_t kBlockAlignment = alignof(void*);

size_t BlockBytes(int32_t length)
{
    const size_t bytes = size_t(ContactRoom::Entries(length)) * sizeof(ContactRef);
    return (bytes + kBlockAlignment - 1) / kBlockAlignment * kBlockAlignment;
}

}  // namespace

ContactRoom::~ContactRoom()
{
    while (slabs_) {
        Slab* next = slabs_->next;
        ::operator delete(slabs_);
        slabs_ = next;
    }
    for (ContactPair* block : pairBlocks_) ::operator delete(block);
}

int32_t ContactRoom::Entries(int32_t length)
{
    return (2 + (length & 1)) << (length >> 1);
}

ContactRef* ContactRoom::Take(int32_t length)
{
    if (length < 0 || length >= kLengths) return nullptr;
    const size_t bytes = BlockBytes(length);
    if (bytes > kLargestCarvedBytes) {
        CountTurns(kHeapBlockTurns);
        return static_cast<ContactRef*>(std::malloc(bytes));
    }
    if (Given* given = given_[length]) {
        given_[length] = given->next;
        return reinterpret_cast<ContactRef*>(given);
    }
    return Carve(bytes);
}

ContactRef* ContactRoom::Carve(size_t bytes)
{
    if (size_t(freshEnd_ - fresh_) < bytes) {
        // The rest of the slab is left unused: it is shorter than the block, and so at most a
        // slab's share.
        const size_t header = (sizeof(Slab) + kBlockAlignment - 1) / kBlockAlignment * kBlockAlignment;
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
    auto* block = reinterpret_cast<ContactRef*>(fresh_);
    fresh_ += bytes;
    return block;
}

void ContactRoom::Give(ContactRef* block, int32_t length)
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

bool ContactRoom::AddPair(const ContactPair& pair, uint32_t* number)
{
    if (droppedPairs_ != 0) {
        *number = droppedPairs_ - 1;
        ContactPair& place = pairBlocks_[*number / kPairsPerBlock][*number % kPairsPerBlock];
        droppedPairs_ = place.Numbers;
        place = pair;
        return true;
    }
    if (freshPairs_ == kPairsPerBlock) {
        if (pairBlocks_.size() * kPairsPerBlock >= kMaxPairs) return false;
        // The list of blocks takes room from the heap as it doubles.
        if (pairBlocks_.size() == pairBlocks_.capacity()) CountTurns(kHeapBlockTurns);
        CountTurns(kHeapBlockTurns);
        void* memory = ::operator new(kPairsPerBlock * sizeof(ContactPair), std::nothrow);
        if (!memory) return false;
        pairBlocks_.push_back(static_cast<ContactPair*>(memory));
        freshPairs_ = 0;
    }
    *number = uint32_t(pairBlocks_.size() - 1) * kPairsPerBlock + freshPairs_++;
    pairBlocks_.back()[freshPairs_ - 1] = pair;
    return true;
}

void ContactRoom::LeavePair(uint32_t number)
{
    pairBlocks_[number / kPairsPerBlock][number % kPairsPerBlock].Numbers = kLeftNumbers;
}

void ContactRoom::DropPair(uint32_t number)
{
    pairBlocks_[number / kPairsPerBlock][number % kPairsPerBlock].Numbers = droppedPairs_;
    droppedPairs_ = number + 1;
}
