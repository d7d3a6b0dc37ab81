// The textured polygon rasteriser: clipping, set-up, and the affine or perspective fill.
#include "render/textured_polygon.h"

#include <algorithm>

#include "draw/q_offscreen.h"
#include "foundation/dynamic_array.h"
#include "foundation/loop_turns.h"
#include "raster/device_point_list.h"
#include "raster/span_region.h"
#include "render/depth_subdivision.h"
#include "render/projection.h"
#include "render/raster_buffers.h"

namespace {

Fixed DeviceToFixed(int32_t v) { return Fixed(std::clamp<int64_t>(int64_t(v) * 65536, INT32_MIN, INT32_MAX)); }

}  // namespace

int32_t DrawTexturedPolygons(Q_Offscreen* destination, DynamicArray* coords, const DynamicArray* devicePoints,
                             const DynamicArray* projected, SpanRegion* region, const TextureSource* source)
{
    if (!region || region->empty || !destination || !devicePoints || !projected || !coords) return 0;
    const int32_t count = std::min({devicePoints->ArrayCount(), projected->ArrayCount(), coords->ArrayCount()});
    auto* vertices = static_cast<ClipPoint3*>(GrowBuffer(std::max(count, 1)));
    if (!vertices) return 0;
    const auto* points = static_cast<const DevicePoint*>(devicePoints->ArrayData());
    const auto* records = static_cast<const ProjectedVertex*>(projected->ArrayData());
    for (int32_t i = 0; i < count; ++i)
        vertices[i] = {DeviceToFixed(points[i].x), DeviceToFixed(points[i].y), records[i].reciprocal};
    CountTurns(count);
    const int32_t result = DrawTexturedPolygon(destination, coords, vertices, count, region, source);
    destination->PublishRasterGlobals();
    return result;
}

int32_t DrawTexturedPolygon(Q_Offscreen* destination, DynamicArray* coords, const ClipPoint3* vertices, int32_t count,
                            const SpanRegion* region, const TextureSource* source)
{
    if (count < 3 || !region || !coords || coords->ArrayCount() < count) return 0;
    coords->ArrayLock();
    // The clip can add one vertex per clip edge.
    GrowRings(count + region->ClipVertexCount() + 2);
    ClipPoint3* clipped = nullptr;
    TextureCoord* clippedCoords = nullptr;
    int32_t clippedCount = 0;
    if (ClipTexturedPolygon(region, vertices, static_cast<const TextureCoord*>(coords->ArrayData()), count, &clipped,
                            &clippedCoords, &clippedCount, 0) != kClipKept) {
        coords->ArrayUnlock();
        return 1;
    }
    TextureSetup setup;
    if (SetupTexturedPolygon(source, destination, clippedCoords, clippedCount, &setup)) {
        if (IsFlatDepth(clipped, clippedCount)) {
            auto* positions = static_cast<FixedPoint*>(NextRingA());
            if (positions && RingCapacity() >= clippedCount) {
                for (int32_t i = 0; i < clippedCount; ++i) positions[i] = {clipped[i].x, clipped[i].y};
                CountTurns(clippedCount);
                FillTexturedPolygonAffine(&setup, clippedCoords, positions, clippedCount);
            }
        } else {
            Fixed slope = 0;
            FindConstantDepthSlope(clipped, clippedCount, &slope);
            SetMinimumSlabDepth(clipped, clippedCount);
            // Each cut and each piece's fill spend on the frame's budget as they are made.
            FillTexturedPolygonPerspective(&setup, clippedCoords, clipped, clippedCount);
        }
    }
    if (source && source->pixels) source->pixels->ReleaseRowTable(setup.rowTable, setup.height);
    coords->ArrayUnlock();
    return 0;
}
