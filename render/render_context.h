// The renderer's working state: the view origin, the device point lists, the textured
// rasterizer's work arrays, the hidden-record mask, the depth of nested model drawing and the
// frame's budget. Each drawing client owns one and installs it while it draws, so that a drawing
// made inside another (the about box's cube drawn while a frame polls for messages) works in its
// own lists and leaves the outer one's as they were. Routines that are given none work in the
// program's default context.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "foundation/result_code.h"
#include "render/frame_budget.h"
#include "render/list_walks.h"
#include "render/occlusion_mask.h"
#include "render/screen_bins.h"

class DynamicArray;
class ObjectGeometry;
class Observer;

// The draw-order correction's work room, kept from frame to frame. For each sorted place: the
// range [first, end) of `candidates` holding the sorted places of the records it may let go first,
// where its record last let another go first (-1: nowhere yet), when its record was last pulled
// forward (0: never) and whether its record stands for good; the records in sorted order; and the
// sorted places of the records pulled forward, the last pulled last.
struct DrawOrderWork {
    std::vector<int32_t> firstCandidate;
    std::vector<int32_t> endCandidate;
    std::vector<int32_t> candidates;
    std::vector<int32_t> nextCandidate;
    std::vector<int32_t> pulledAt;
    std::vector<int64_t> pulledWhen;
    std::vector<uint8_t> stands;
    std::vector<ObjectGeometry*> sorted;
    std::vector<int32_t> pulled;
};

constexpr int32_t kRingSize = 5;
constexpr int32_t kRingCount = 4;
constexpr int32_t kEdgeArrayCount = 4;

class RenderContext {
public:
    RenderContext() = default;
    RenderContext(const RenderContext&) = delete;
    RenderContext& operator=(const RenderContext&) = delete;

    // Makes the device point lists and the rasterizer's work arrays.
    ResultCode Init();
    void Free();

    // The device point lists: points (8 bytes), values (4), projected records (14) and texture
    // coordinates (8).
    ResultCode InitPointLists();
    void FreePointLists();
    // The rasterizer's rings, buffer, pair and edge arrays, made locked.
    ResultCode InitRasterArrays();
    void FreeRasterArrays();

    // The port point of the view centre.
    int32_t originX = 0;
    int32_t originY = 0;

    DynamicArray* points = nullptr;
    DynamicArray* values = nullptr;
    DynamicArray* records = nullptr;
    DynamicArray* coords = nullptr;

    // Four rings of arrays (A, B, C, D) handed out in turn, with the place last handed out.
    struct Ring {
        DynamicArray* arrays[kRingSize] = {};
        int32_t index = -1;
    };
    Ring rings[kRingCount];
    DynamicArray* buffer = nullptr;
    DynamicArray* pair[2] = {nullptr, nullptr};
    DynamicArray* edges[kEdgeArrayCount] = {};
    void* edgeData[kEdgeArrayCount] = {};

    OcclusionMask occlusion;
    // The mask a drawing into a part of the view tests its records with, over that part's box,
    // keeping no marks to take back.
    OcclusionMask partOcclusion{false};
    // The draw list last walked with the mask (null once its drawing has taken the marks back),
    // and for each of its places the marks its record's faces made anew: [first, second) of the
    // mask's places.
    const DynamicArray* markedList = nullptr;
    std::vector<std::pair<size_t, size_t>> recordMarks;
    DrawOrderWork drawOrder;
    // Nested model drawing calls in progress.
    int32_t renderDepth = 0;
    // What the frame being drawn (or the last one) spent, against its allowances.
    FrameBudget frameBudget;
    // The draw lists and the records' faces of the frame being drawn filed by the tiles of the view,
    // keyed by the list or the record, for the drawings into parts of the view; emptied as each
    // frame begins.
    std::unordered_map<const void*, ScreenBins> filedPlaces;
    // The walks over draw lists in progress, innermost last, and the records of the frame being
    // drawn tested for being plain and convex (WalkDrewBehind), emptied with the filed places.
    std::vector<ListWalk> listWalks;
    std::unordered_map<const ObjectGeometry*, bool> convexRecords;
    // The view whose frame was last drawn whole in this context, its observer and change serial,
    // and the faces that frame had in view (a frame of the same view tests and projects nothing
    // again).
    const Observer* wholeObserver = nullptr;
    uint16_t wholeSerial = 0;
    int64_t wholeInView = 0;
};

namespace render_context_detail {
// The context installed now: the program's own unless a scope has installed another.
extern RenderContext* current;
}  // namespace render_context_detail

// The context the renderer's routines work in.
inline RenderContext& CurrentRenderContext()
{
    return *render_context_detail::current;
}

// Installs a context for the scope's life and puts the one before it back afterwards.
class RenderContextScope {
public:
    explicit RenderContextScope(RenderContext* context);
    ~RenderContextScope();
    RenderContextScope(const RenderContextScope&) = delete;
    RenderContextScope& operator=(const RenderContextScope&) = delete;

private:
    RenderContext* previous_;
};
