// Device point lists and their repeat dropping.
#include "render/device_points.h"

#include <initializer_list>

#include "foundation/dynamic_array.h"
#include "foundation/loop_turns.h"
#include "model/polygon_record.h"
#include "render/projection.h"
#include "render/render_context.h"

namespace {

// The current context's lists, made on first use; null when they cannot be.
RenderContext* ListsReady()
{
    RenderContext& context = CurrentRenderContext();
    const bool ready = (context.points && context.values && context.records && context.coords) ||
                       context.InitPointLists() == kResultOk;
    return ready ? &context : nullptr;
}

DevicePoint ToDevice(const RenderContext& context, const ScreenPoint& s)
{
    return {s.x + context.originX, context.originY - s.y};
}

// The screen point at a vertex index, or null for an index the array does not hold.
const ScreenPoint* VertexAt(const DynamicArray* vertices, int32_t index)
{
    return index >= 0 ? vertices->At<ScreenPoint>(index) : nullptr;
}

// Walks the n corners in the chosen order, handing every kept corner (output slot, corner
// position, its point) to `keep`; with `dedup` a corner equal to the one kept last is dropped,
// and so is a last corner equal to the first. Returns the number kept.
template <class CornerPoint, class Keep>
int32_t Walk(int32_t n, bool stored, bool dedup, CornerPoint cornerPoint, Keep keep)
{
    int32_t out = 0;
    int32_t first[2] = {0, 0};
    int32_t last[2] = {0, 0};
    for (int32_t k = 0; k < n; ++k) {
        const int32_t position = stored ? k : n - 1 - k;
        const auto* s = cornerPoint(position);
        if (!s) continue;
        if (dedup && out > 0 && s->x == last[0] && s->y == last[1]) continue;
        if (out == 0) {
            first[0] = s->x;
            first[1] = s->y;
        }
        last[0] = s->x;
        last[1] = s->y;
        keep(out++, position, *s);
    }
    CountTurns(n);
    if (dedup && out > 0 && last[0] == first[0] && last[1] == first[1]) --out;
    return out;
}

bool Size(DynamicArray* list, int32_t count)
{
    return list->ArraySetCount(count) == kResultOk;
}

// Fills the point list (and, through `extra`, the parallel lists) from the corners.
template <class CornerPoint, class Extra>
DevicePointList* Fill(int32_t n, int32_t order, bool dedup, bool toDevice, CornerPoint cornerPoint, Extra extra)
{
    RenderContext* context = ListsReady();
    if (!context || !Size(context->points, n)) return nullptr;
    DevicePoint* out = context->points->Elements<DevicePoint>();
    const int32_t count = Walk(n, order != 0, dedup, cornerPoint, [&](int32_t slot, int32_t position, const auto& s) {
        out[slot] = toDevice ? ToDevice(*context, s) : DevicePoint{s.x, s.y};
        extra(slot, position);
    });
    IgnoreResult(context->points->ArraySetCount(count));  // never more than sized above
    return context->points;
}

FixedPoint Flipped(const FixedPoint& pair, int32_t height)
{
    return {pair.x, Fixed((uint32_t(height - 1) << 16) - uint32_t(pair.y))};
}

int32_t CountOf(const DynamicArray* list)
{
    return list ? list->ArrayCount() : 0;
}

}  // namespace

void SetViewOrigin(int32_t x, int32_t y)
{
    RenderContext& context = CurrentRenderContext();
    context.originX = x;
    context.originY = y;
}

void GetViewOrigin(int32_t* x, int32_t* y)
{
    const RenderContext& context = CurrentRenderContext();
    *x = context.originX;
    *y = context.originY;
}

ResultCode InitDevicePointLists()
{
    return CurrentRenderContext().InitPointLists();
}

void FreeDevicePointLists()
{
    CurrentRenderContext().FreePointLists();
}

DevicePointList* BuildDevicePoly(const DynamicArray* vertices, int32_t order)
{
    return Fill(
        CountOf(vertices), order, true, true, [vertices](int32_t p) { return vertices->At<ScreenPoint>(p); },
        [](int32_t, int32_t) {});
}

DevicePointList* BuildIndexedDevicePoly(const DynamicArray* vertices, const DynamicArray* indices, int32_t order)
{
    return Fill(
        CountOf(indices), order, true, true,
        [vertices, indices](int32_t p) { return VertexAt(vertices, DrawnIndexAt(indices, p)); },
        [](int32_t, int32_t) {});
}

namespace {

template <class CornerPoint>
void BuildShaded(int32_t n, int32_t order, const DynamicArray* values, CornerPoint cornerPoint, DevicePointList** points,
                 DeviceValueList** valuesOut)
{
    *points = nullptr;
    *valuesOut = nullptr;
    RenderContext* context = ListsReady();
    if (!context || !Size(context->values, n)) return;
    const Fixed* in = values->Elements<Fixed>();
    const int32_t available = CountOf(values);
    Fixed* out = context->values->Elements<Fixed>();
    *points = Fill(n, order, true, true, cornerPoint,
                   [&](int32_t slot, int32_t position) { out[slot] = position < available ? in[position] : 0; });
    if (!*points) return;
    IgnoreResult(context->values->ArraySetCount(context->points->ArrayCount()));  // never more than sized above
    *valuesOut = context->values;
}

template <class CornerPoint, class RecordAt>
void BuildTextured(int32_t n, int32_t order, const DynamicArray* pairs, int32_t height, CornerPoint cornerPoint,
                   RecordAt recordAt, DevicePointList** points, DynamicArray** recordsOut, DynamicArray** coordsOut)
{
    *points = nullptr;
    *recordsOut = nullptr;
    *coordsOut = nullptr;
    RenderContext* context = ListsReady();
    if (!context || !Size(context->records, n) || !Size(context->coords, n)) return;
    const int32_t available = CountOf(pairs);
    ProjectedVertex* records = context->records->Elements<ProjectedVertex>();
    FixedPoint* coords = context->coords->Elements<FixedPoint>();
    *points = Fill(n, order, true, true, cornerPoint, [&](int32_t slot, int32_t position) {
        const ProjectedVertex* record = recordAt(position);
        records[slot] = record ? *record : ProjectedVertex{};
        coords[slot] = position < available ? Flipped(*pairs->At<FixedPoint>(position), height) : FixedPoint{0, 0};
    });
    if (!*points) return;
    IgnoreResult(context->records->ArraySetCount(context->points->ArrayCount()));  // never more than sized above
    IgnoreResult(context->coords->ArraySetCount(context->points->ArrayCount()));  // never more than sized above
    *recordsOut = context->records;
    *coordsOut = context->coords;
}

}  // namespace

void BuildShadedDevicePoly(const DynamicArray* vertices, int32_t order, const DynamicArray* values,
                           DevicePointList** points, DeviceValueList** valuesOut)
{
    BuildShaded(
        CountOf(vertices), order, values, [vertices](int32_t p) { return vertices->At<ScreenPoint>(p); }, points,
        valuesOut);
}

void BuildIndexedShadedDevicePoly(const DynamicArray* vertices, const DynamicArray* indices, int32_t order,
                                  const DynamicArray* values, DevicePointList** points, DeviceValueList** valuesOut)
{
    BuildShaded(
        CountOf(indices), order, values,
        [vertices, indices](int32_t p) { return VertexAt(vertices, DrawnIndexAt(indices, p)); }, points, valuesOut);
}

void BuildTexturedDevicePoly(const DynamicArray* vertices, const DynamicArray* records, const DynamicArray* pairs,
                             const DynamicArray* indices, int32_t textureHeight, int32_t order,
                             DevicePointList** points, DynamicArray** recordsOut, DynamicArray** coordsOut)
{
    BuildTextured(
        CountOf(indices), order, pairs, textureHeight,
        [vertices, indices](int32_t p) { return VertexAt(vertices, DrawnIndexAt(indices, p)); },
        [records, indices](int32_t p) {
            const int32_t index = DrawnIndexAt(indices, p);
            return index >= 0 ? records->At<ProjectedVertex>(index) : nullptr;
        },
        points, recordsOut, coordsOut);
}

void BuildElementTexturedDevicePoly(const DynamicArray* vertices, const DynamicArray* records,
                                    const DynamicArray* pairs, int32_t textureHeight, int32_t order,
                                    DevicePointList** points, DynamicArray** recordsOut, DynamicArray** coordsOut)
{
    BuildTextured(
        CountOf(vertices), order, pairs, textureHeight, [vertices](int32_t p) { return vertices->At<ScreenPoint>(p); },
        [records](int32_t p) { return records->At<ProjectedVertex>(p); }, points, recordsOut, coordsOut);
}

DevicePointList* CopyPointList(const DynamicArray* vertices, int32_t reverse)
{
    return Fill(
        CountOf(vertices), reverse ? 0 : 1, false, false, [vertices](int32_t p) { return vertices->At<ScreenPoint>(p); },
        [](int32_t, int32_t) {});
}

DevicePointList* BuildIndexedDevicePolyAll(const DynamicArray* vertices, const DynamicArray* indices, int32_t reverse)
{
    return Fill(
        CountOf(indices), reverse ? 0 : 1, false, true,
        [vertices, indices](int32_t p) { return VertexAt(vertices, DrawnIndexAt(indices, p)); },
        [](int32_t, int32_t) {});
}

DevicePointList* BuildDevicePolyAll(const DynamicArray* vertices, int32_t reverse)
{
    return Fill(
        CountOf(vertices), reverse ? 0 : 1, false, true, [vertices](int32_t p) { return vertices->At<ScreenPoint>(p); },
        [](int32_t, int32_t) {});
}

namespace {

DynamicArray* FlipInto(const DynamicArray* pairs, int32_t height, bool stored, bool dedup)
{
    const int32_t n = CountOf(pairs);
    RenderContext* context = ListsReady();
    if (!context || !Size(context->coords, n)) return nullptr;
    FixedPoint* out = context->coords->Elements<FixedPoint>();
    const int32_t count = Walk(
        n, stored, dedup, [pairs](int32_t p) { return pairs->At<FixedPoint>(p); },
        [&](int32_t slot, int32_t, const FixedPoint& pair) { out[slot] = Flipped(pair, height); });
    IgnoreResult(context->coords->ArraySetCount(count));  // never more than sized above
    return context->coords;
}

}  // namespace

DynamicArray* FlipTextureCoords(const DynamicArray* pairs, int32_t height, int32_t reverse)
{
    return FlipInto(pairs, height, reverse == 0, false);
}

DynamicArray* FlipTextureCoordsDedup(const DynamicArray* pairs, int32_t height, int32_t order)
{
    return FlipInto(pairs, height, order != 0, true);
}
