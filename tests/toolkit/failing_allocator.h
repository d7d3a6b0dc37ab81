// A test program that links failing_allocator.cpp runs the program's code short of memory: every
// object the program makes comes from the nothrow `new`, which this file replaces. While a watch
// is on, the allocations are counted, the chosen one answers null and the blocks made meanwhile
// and not yet freed are kept track of.
#pragma once

#include <cstdint>

namespace failing_allocator {

// Starts a watch in which the `failAt`-th nothrow allocation (from 1) answers null; 0 fails none.
// With `keepFreed` no block deleted during the watch is given back before it ends, so that no
// new block takes the address of one deleted meanwhile.
void Watch(int32_t failAt, bool keepFreed = false);

// Ends the watch (the blocks kept are given back): whether the chosen allocation came (and was
// refused).
bool EndWatch();

// Blocks made during the last watch and still not freed, counted after it ended.
int32_t UnfreedSinceWatch();
// Whether the block was made during the last watch and is not freed yet.
bool MadeDuringWatch(const void* block);

}  // namespace failing_allocator
