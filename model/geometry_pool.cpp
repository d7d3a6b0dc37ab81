// Blocks of object geometry records and the list of the rooms given back.
#include "model/geometry_pool.h"

#include <algorithm>
#include <new>

#include "foundation/loop_turns.h"
#include "foundation/system_weights.h"

namespace {

constexpr size_t kAlignment = alignof(std::max_align_t);

size_t Aligned(size_t size)
{
    return (size + kAlignment - 1) / kAlignment * kAlignment;
}

}  // namespace

GeometryPool* GeometryPool::New(size_t recordSize)
{
    return new (std::nothrow) GeometryPool(recordSize);
}

GeometryPool::GeometryPool(size_t recordSize) : recordSize_(Aligned(std::max(recordSize, sizeof(Given)))) {}

GeometryPool::~GeometryPool()
{
    for (char* block : blocks_) ::operator delete(block);
}

void* GeometryPool::Take(uint32_t* number)
{
    if (Given* given = given_) {
        given_ = given->next;
        *number = given->number;
        ++out_;
        return given;
    }
    if (fresh_ == kRecordsPerBlock) {
        // The list of blocks takes room from the heap as it doubles.
        if (blocks_.size() == blocks_.capacity()) CountTurns(kHeapBlockTurns);
        CountTurns(kHeapBlockTurns);
        void* memory = ::operator new(kRecordsPerBlock * recordSize_, std::nothrow);
        if (!memory) return nullptr;
        blocks_.push_back(static_cast<char*>(memory));
        fresh_ = 0;
    }
    *number = uint32_t(blocks_.size() - 1) * kRecordsPerBlock + fresh_++;
    ++out_;
    return Record(*number);
}

void GeometryPool::Give(void* place, uint32_t number)
{
    Given* given = static_cast<Given*>(place);
    given->next = given_;
    given->number = number;
    given_ = given;
    --out_;
    FreeIfDone();
}

void GeometryPool::HolderGone()
{
    holderGone_ = true;
    FreeIfDone();
}

void GeometryPool::FreeIfDone()
{
    if (holderGone_ && out_ == 0) delete this;
}
