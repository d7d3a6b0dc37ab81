// Blocks of object geometry records and the list of the rooms given back.
#include "model/geometry_pool.h"

#include <new>

#include "foundation/loop_turns.h"
#include "foundation/system_weights.h"

namespace {

// Records per block: blocks of some 20 KB for records of 160 bytes.
constexpr size_t kRecordsPerBlock = 128;
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

GeometryPool::GeometryPool(size_t recordSize) : recordSize_(Aligned(recordSize)) {}

GeometryPool::~GeometryPool()
{
    while (blocks_) {
        Block* next = blocks_->next;
        ::operator delete(blocks_);
        blocks_ = next;
    }
}

void* GeometryPool::Take()
{
    void* place = given_;
    if (place) {
        given_ = *static_cast<void**>(place);
    } else {
        if (fresh_ == freshEnd_) {
            const size_t header = Aligned(sizeof(Block));
            CountTurns(kHeapBlockTurns);
            void* memory = ::operator new(header + kRecordsPerBlock * recordSize_, std::nothrow);
            if (!memory) return nullptr;
            Block* block = static_cast<Block*>(memory);
            block->next = blocks_;
            blocks_ = block;
            fresh_ = static_cast<char*>(memory) + header;
            freshEnd_ = fresh_ + kRecordsPerBlock * recordSize_;
        }
        place = fresh_;
        fresh_ += recordSize_;
    }
    ++out_;
    return place;
}

void GeometryPool::Give(void* place)
{
    *static_cast<void**>(place) = given_;
    given_ = place;
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
