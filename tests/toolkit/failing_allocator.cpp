// The nothrow `new` of a test program, replaced: it fails the allocation a watch chooses and keeps
// the blocks made during a watch in a table of its own (which allocates nothing) until they are
// freed; `delete` may hold blocks back until the watch ends.
#include "tests/toolkit/failing_allocator.h"

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

// Open addressing over block addresses; a freed slot becomes a tombstone.
constexpr int32_t kTableSize = 1 << 18;
void* const kTombstone = reinterpret_cast<void*>(uintptr_t(1));
void* gTable[kTableSize];
int32_t gUnfreed = 0;

// Blocks deleted during a watch that keeps them, given back when it ends.
constexpr int32_t kKeptLimit = 1 << 16;
void* gKept[kKeptLimit];
int32_t gKeptCount = 0;
bool gKeepFreed = false;

bool gWatching = false;
int32_t gFailAt = 0;
int32_t gAllocations = 0;
bool gFailed = false;

uint32_t SlotOf(const void* block)
{
    const uint64_t bits = uint64_t(reinterpret_cast<uintptr_t>(block)) * 0x9E3779B97F4A7C15ull;
    return uint32_t(bits >> 40) & (kTableSize - 1);
}

void Track(void* block)
{
    for (uint32_t slot = SlotOf(block);; slot = (slot + 1) & (kTableSize - 1)) {
        if (!gTable[slot] || gTable[slot] == kTombstone) {
            gTable[slot] = block;
            ++gUnfreed;
            return;
        }
    }
}

// The block's slot, or -1 when the table does not hold it.
int32_t Find(const void* block)
{
    if (gUnfreed == 0) return -1;
    for (uint32_t slot = SlotOf(block); gTable[slot]; slot = (slot + 1) & (kTableSize - 1))
        if (gTable[slot] == block) return int32_t(slot);
    return -1;
}

void Forget(void* block)
{
    const int32_t slot = Find(block);
    if (slot < 0) return;
    gTable[slot] = kTombstone;
    --gUnfreed;
}

void ClearTable()
{
    for (void*& slot : gTable) slot = nullptr;
    gUnfreed = 0;
}

}  // namespace

namespace failing_allocator {

void Watch(int32_t failAt, bool keepFreed)
{
    ClearTable();
    gKeepFreed = keepFreed;
    gFailAt = failAt;
    gAllocations = 0;
    gFailed = false;
    gWatching = true;
}

bool EndWatch()
{
    gWatching = false;
    gKeepFreed = false;
    for (int32_t i = 0; i < gKeptCount; ++i) std::free(gKept[i]);
    gKeptCount = 0;
    return gFailed;
}

int32_t UnfreedSinceWatch()
{
    return gUnfreed;
}

bool MadeDuringWatch(const void* block)
{
    return block && Find(block) >= 0;
}

}  // namespace failing_allocator

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (gWatching && ++gAllocations == gFailAt) {
        gFailed = true;
        return nullptr;
    }
    void* block = std::malloc(size ? size : 1);
    if (block && gWatching) Track(block);
    return block;
}

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
    return operator new(size, tag);
}

void operator delete(void* block) noexcept
{
    if (!block) return;
    Forget(block);
    if (gKeepFreed && gKeptCount < kKeptLimit)
        gKept[gKeptCount++] = block;
    else
        std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    operator delete(block);
}

void operator delete[](void* block) noexcept
{
    operator delete(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    operator delete(block);
}

void operator delete(void* block, const std::nothrow_t&) noexcept
{
    operator delete(block);
}
