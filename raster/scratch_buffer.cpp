// The renderer's general scratch buffer.
#include "raster/scratch_buffer.h"

#include "foundation/dynamic_array.h"

namespace {

constexpr int32_t kScratchElementSize = 8;
constexpr int32_t kScratchGrowStep = 8;

DynamicArray* gScratchArray = nullptr;
void* gScratchData = nullptr;
int32_t gScratchReserved = 0;

}  // namespace

ResultCode InitScratchBuffer()
{
    if (gScratchArray) return kResultOk;
    gScratchArray = NewDynamicArray(0, kScratchElementSize, kScratchGrowStep);
    if (!gScratchArray) return kResultOutOfMemory;
    gScratchData = gScratchArray->ArrayLock();
    gScratchReserved = 0;
    return kResultOk;
}

void FreeScratchBuffer()
{
    if (gScratchArray) {
        gScratchArray->ArrayUnlock();
        gScratchArray->Destroy();
    }
    gScratchArray = nullptr;
    gScratchData = nullptr;
    gScratchReserved = 0;
}

void* ScratchBufferReserve(int32_t n)
{
    if (!gScratchArray) return nullptr;
    if (gScratchReserved < n) {
        gScratchArray->ArrayUnlock();
        const ResultCode grown = gScratchArray->ArraySetCount(n);
        gScratchData = gScratchArray->ArrayLock();
        if (grown != kResultOk) return nullptr;
        gScratchReserved = n;
    }
    return gScratchData;
}

int32_t ScratchBufferReserved() { return gScratchReserved; }
