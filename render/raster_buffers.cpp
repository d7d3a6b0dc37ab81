// The textured rasterizer's work arrays and the table square root.
#include "render/raster_buffers.h"

#include <algorithm>
#include <cmath>

#include "foundation/dynamic_array.h"
#include "render/render_context.h"

Fixed SqrtTable[256];

namespace {

// Unlocks, resizes and locks again.
void Resize(DynamicArray* array, int32_t count)
{
    if (!array) return;
    array->ArrayUnlock();
    IgnoreResult(array->ArraySetCount(count));  // callers check the count they got
    array->ArrayLock();
}

void* NextOf(RenderContext::Ring& ring)
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
    return CurrentRenderContext().InitRasterArrays();
}

void FreeRasterBuffers()
{
    CurrentRenderContext().FreeRasterArrays();
}

void* NextRingA() { return NextOf(CurrentRenderContext().rings[0]); }
void* NextRingB() { return NextOf(CurrentRenderContext().rings[1]); }
void* NextRingC() { return NextOf(CurrentRenderContext().rings[2]); }
void* NextRingD() { return NextOf(CurrentRenderContext().rings[3]); }

void GrowRings(int32_t n)
{
    RenderContext& context = CurrentRenderContext();
    if (CountOf(context.rings[0].arrays[0]) >= 4 * n) return;
    for (RenderContext::Ring& ring : context.rings) {
        for (DynamicArray* array : ring.arrays) Resize(array, 4 * n);
    }
}

int32_t RingCapacity()
{
    int32_t least = INT32_MAX;
    for (const RenderContext::Ring& ring : CurrentRenderContext().rings) {
        for (const DynamicArray* array : ring.arrays) least = std::min(least, CountOf(array));
    }
    return least;
}

void* GrowBuffer(int32_t n)
{
    DynamicArray* buffer = CurrentRenderContext().buffer;
    if (CountOf(buffer) < n) Resize(buffer, n);
    return buffer && CountOf(buffer) >= n ? buffer->ArrayData() : nullptr;
}

void GrowPair(int32_t n)
{
    RenderContext& context = CurrentRenderContext();
    if (CountOf(context.pair[0]) >= 2 * n) return;
    for (DynamicArray* array : context.pair) Resize(array, 2 * n);
}

void GrowEdgeArrays(int32_t n)
{
    RenderContext& context = CurrentRenderContext();
    if (CountOf(context.edges[0]) >= 2 * n) return;
    for (int32_t i = 0; i < kEdgeArrayCount; ++i) {
        Resize(context.edges[i], 2 * n);
        context.edgeData[i] = context.edges[i] ? context.edges[i]->ArrayData() : nullptr;
    }
}

void* PairData(int32_t which)
{
    DynamicArray* const* pair = CurrentRenderContext().pair;
    return which >= 0 && which < 2 && pair[which] ? pair[which]->ArrayData() : nullptr;
}

void* EdgeArrayData(int32_t which)
{
    return which >= 0 && which < kEdgeArrayCount ? CurrentRenderContext().edgeData[which] : nullptr;
}

void BuildSqrtTable()
{
    for (int32_t i = 64; i < 256; ++i) SqrtTable[i] = X2Fix(std::sqrt(Fix2X(i << 8)));
}
