// The renderer's working state, the context installed and the program's default one.
#include "render/render_context.h"

#include "foundation/dynamic_array.h"
#include "render/projection.h"

namespace {

constexpr int32_t kGrowStep = 8;
constexpr int32_t kRingElementSizes[kRingCount] = {8, 12, 8, 12};
constexpr int32_t kBufferElementSize = 12;
constexpr int32_t kPairElementSizes[2] = {12, 8};
constexpr int32_t kEdgeElementSizes[kEdgeArrayCount] = {8, 12, 8, 8};

// Used where no drawing client installed a context of its own.
RenderContext gDefaultContext;

DynamicArray* MakeLocked(int32_t elementSize)
{
    DynamicArray* array = NewDynamicArray(0, elementSize, kGrowStep);
    if (array) array->ArrayLock();
    return array;
}

void Release(DynamicArray*& array, bool locked)
{
    if (!array) return;
    if (locked) array->ArrayUnlock();
    array->Destroy();
    array = nullptr;
}

}  // namespace

RenderContext* render_context_detail::current = &gDefaultContext;

ResultCode RenderContext::Init()
{
    const ResultCode lists = InitPointLists();
    const ResultCode arrays = InitRasterArrays();
    return lists == kResultOk && arrays == kResultOk ? kResultOk : kResultOutOfMemory;
}

void RenderContext::Free()
{
    FreePointLists();
    FreeRasterArrays();
}

ResultCode RenderContext::InitPointLists()
{
    if (!points) points = NewDynamicArray(0, int32_t(sizeof(DevicePoint)), kGrowStep);
    if (!values) values = NewDynamicArray(0, int32_t(sizeof(Fixed)), kGrowStep);
    if (!records) records = NewDynamicArray(0, int32_t(sizeof(ProjectedVertex)), kGrowStep);
    if (!coords) coords = NewDynamicArray(0, int32_t(sizeof(FixedPoint)), kGrowStep);
    return points && values && records && coords ? kResultOk : kResultOutOfMemory;
}

void RenderContext::FreePointLists()
{
    for (DynamicArray** list : {&points, &values, &records, &coords}) Release(*list, false);
}

ResultCode RenderContext::InitRasterArrays()
{
    FreeRasterArrays();
    bool complete = true;
    for (int32_t r = 0; r < kRingCount; ++r) {
        for (DynamicArray*& array : rings[r].arrays) {
            array = MakeLocked(kRingElementSizes[r]);
            complete = complete && array;
        }
        rings[r].index = -1;
    }
    buffer = MakeLocked(kBufferElementSize);
    for (int32_t i = 0; i < 2; ++i) {
        pair[i] = MakeLocked(kPairElementSizes[i]);
        complete = complete && pair[i];
    }
    for (int32_t i = 0; i < kEdgeArrayCount; ++i) {
        edges[i] = MakeLocked(kEdgeElementSizes[i]);
        edgeData[i] = edges[i] ? edges[i]->ArrayData() : nullptr;
        complete = complete && edges[i];
    }
    return complete && buffer ? kResultOk : kResultOutOfMemory;
}

void RenderContext::FreeRasterArrays()
{
    for (Ring& ring : rings) {
        for (DynamicArray*& array : ring.arrays) Release(array, true);
        ring.index = -1;
    }
    Release(buffer, true);
    for (DynamicArray*& array : pair) Release(array, true);
    for (int32_t i = 0; i < kEdgeArrayCount; ++i) {
        Release(edges[i], true);
        edgeData[i] = nullptr;
    }
}

RenderContextScope::RenderContextScope(RenderContext* context) : previous_(render_context_detail::current)
{
    render_context_detail::current = context;
}

RenderContextScope::~RenderContextScope()
{
    render_context_detail::current = previous_;
}
