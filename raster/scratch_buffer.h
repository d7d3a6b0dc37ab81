// The renderer's general scratch buffer: one locked DynamicArray of 8-byte elements whose data
// address and reserved element count are kept beside it.
#pragma once

#include <cstdint>

#include "foundation/result_code.h"

// Makes the buffer with no elements (grow step 8) and locks it; kResultOutOfMemory when it cannot.
ResultCode InitScratchBuffer();
// Unlocks and destroys the buffer.
void FreeScratchBuffer();
// The data address of at least n reserved elements; null when there is no buffer or it cannot
// grow (the buffer then keeps what it had).
void* ScratchBufferReserve(int32_t n);
// The number of elements reserved so far.
int32_t ScratchBufferReserved();
