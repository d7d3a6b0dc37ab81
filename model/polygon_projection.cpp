// Flattening faces onto their dominant coordinate plane.
#include "model/polygon_projection.h"

#include "foundation/loop_turns.h"

#include <cstdlib>

#include "foundation/dynamic_array.h"
#include "foundation/fixed.h"

int16_t DominantProjectionAxis(int32_t nx, int32_t ny, int32_t nz)
{
    const int64_t a = std::llabs(nx);
    const int64_t b = std::llabs(ny);
    const int64_t c = std::llabs(nz);
    if (a >= b && a >= c) return kProjectYZ;
    if (b >= a && b >= c) return kProjectZX;
    return kProjectXY;
}

void ProjectPolygonToPlane(const DynamicArray* vertices, const DynamicArray* indices, int32_t nx, int32_t ny,
                           int32_t nz, DynamicArray* points, int16_t* axis)
{
    if (*axis == kProjectionUnchosen) *axis = DominantProjectionAxis(nx, ny, nz);
    if (!vertices || !points) return;
    const int32_t count = indices ? indices->ArrayCount() : vertices->ArrayCount();
    // Room for every point at once: grown a step at a time, a list of hundreds of points would be
    // copied over and over.
    int32_t filled = points->ArrayCount();
    if (points->ArraySetCount(filled + count) != kResultOk) return;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t index = indices ? *indices->At<int16_t>(i) : i;
        const FixedVector3* v = vertices->At<FixedVector3>(index);
        if (!v) continue;
        FixedPoint* p = points->At<FixedPoint>(filled++);
        switch (*axis) {
        case kProjectYZ: *p = {v->y, v->z}; break;
        case kProjectZX: *p = {v->z, v->x}; break;
        default: *p = {v->x, v->y}; break;
        }
    }
    IgnoreResult(points->ArraySetCount(filled));  // no larger than it is
    CountTurns(count);
}
