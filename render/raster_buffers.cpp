// The textured rasterizer's work arrays and the table square root.
#include "render/raster_buffers.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "foundation/dynamic_array.h"

Fixed SqrtTable[256];

namespace {

constexpr int32_t kGrowStep = 8;

struct Ring {
    DynamicArray* arrays[kRingSize];
    int32_t index;
};

Ring gRings[4];  // A, B, C, D
DynamicArray* gBuffer = nullptr;
DynamicArray* gPair[2] = {nullptr, nullptr};
DynamicArray* gEdges[4] = {nullptr, nullptr, nullptr, nullptr};
void* gEdgeData[4] = {nullptr, nullptr, nullptr, nullptr};

constexpr int32_t kRingElementSizes[4] = {8, 12, 8, 12};
constexpr int32_t kPairElementSizes[2] = {12, 8};
constexpr int32_t kEdgeElementSizes[4] = {8, 12, 8, 8};

DynamicArray* MakeLocked(int32_t elementSize)
{
    DynamicArray* array = NewDynamicArray(0, elementSize, kGrowStep);
    if (array) array->ArrayLock();
    return array;
}

void Release(DynamicArray*& array)
{
    if (!array) return;
    array->ArrayUnlock();
    array->Destroy();
    array = nullptr;
}

// Unlocks, resizes and locks again.
void Resize(DynamicArray* array, int32_t count)
{
    if (!array) return;
    array->ArrayUnlock();
    IgnoreResult(array->ArraySetCount(count));  // callers check the count they got
    array->ArrayLock();
}

void* NextOf(Ring& ring)
{
    ring.index = ring.index + 1 >= kRingSize ? 0 : ring.index + 1;
    DynamicArray* array = ring.arrays[ring.index];
    return array ? array->ArrayData() : nullptr;
}

int32_t CountOf(const DynamicArray* array)
{
    return array ? array->ArrayCount() : 0;
}

}  // namespace

ResultCode InitRasterBuffers()
{
    BuildSqrtTable();
    bool complete = true;
    for (int32_t k = 0; k < kRingSize; ++k) {
        for (int32_t r = 0; r < 4; ++r) {
            gRings[r].arrays[k] = MakeLocked(kRingElementSizes[r]);
            complete = complete && gRings[r].arrays[k];
        }
    }
    gBuffer = MakeLocked(12);
    for (Ring& ring : gRings) ring.index = -1;
    for (int32_t i = 0; i < 2; ++i) gPair[i] = NewDynamicArray(0, kPairElementSizes[i], kGrowStep);
    for (DynamicArray* array : gPair) {
        if (array) array->ArrayLock();
    }
    for (int32_t i = 0; i < 4; ++i) {
        gEdges[i] = MakeLocked(kEdgeElementSizes[i]);
        gEdgeData[i] = gEdges[i] ? gEdges[i]->ArrayData() : nullptr;
    }
    complete = complete && gBuffer && gPair[0] && gPair[1] && gEdges[0] && gEdges[1] && gEdges[2] && gEdges[3];
    return complete ? kResultOk : kResultOutOfMemory;
}

void FreeRasterBuffers()
{
    for (int32_t k = 0; k < kRingSize; ++k) {
        for (Ring& ring : gRings) Release(ring.arrays[k]);
    }
    Release(gBuffer);
    for (DynamicArray*& array : gPair) Release(array);
    for (int32_t i = 0; i < 4; ++i) {
        Release(gEdges[i]);
        gEdgeData[i] = nullptr;
    }
}

void* NextRingA() { return NextOf(gRings[0]); }
void* NextRingB() { return NextOf(gRings[1]); }
void* NextRingC() { return NextOf(gRings[2]); }
void* NextRingD() { return NextOf(gRings[3]); }

void GrowRings(int32_t n)
{
    if (CountOf(gRings[0].arrays[0]) >= 4 * n) return;
    for (Ring& ring : gRings) {
        for (DynamicArray* array : ring.arrays) Resize(array, 4 * n);
    }
}

int32_t RingCapacity()
{
    int32_t least = INT32_MAX;
    for (const Ring& ring : gRings) {
        for (const DynamicArray* array : ring.arrays) least = std::min(least, CountOf(array));
    }
    return least;
}

void* GrowBuffer(int32_t n)
{
    if (CountOf(gBuffer) < n) Resize(gBuffer, n);
    return gBuffer && CountOf(gBuffer) >= n ? gBuffer->ArrayData() : nullptr;
}

void GrowPair(int32_t n)
{
    if (CountOf(gPair[0]) >= 2 * n) return;
    for (DynamicArray* array : gPair) Resize(array, 2 * n);
}

void GrowEdgeArrays(int32_t n)
{
    if (CountOf(gEdges[0]) >= 2 * n) return;
    for (int32_t i = 0; i < 4; ++i) {
        Resize(gEdges[i], 2 * n);
        gEdgeData[i] = gEdges[i] ? gEdges[i]->ArrayData() : nullptr;
    }
}

void* PairData(int32_t which)
{
    return which >= 0 && which < 2 && gPair[which] ? gPair[which]->ArrayData() : nullptr;
}

void* EdgeArrayData(int32_t which)
{
    return which >= 0 && which < 4 ? gEdgeData[which] : nullptr;
}

void BuildSqrtTable()
{
    for (int32_t i = 64; i < 256; ++i) SqrtTable[i] = X2Fix(std::sqrt(Fix2X(i << 8)));
}
