// Walks over draw lists in progress, and the convexity test of the records they draw.
#include "render/list_walks.h"

#include <cmath>

#include "foundation/dynamic_array.h"
#include "foundation/fixed.h"
#include "foundation/loop_turns.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "model/polygon_record.h"
#include "model/surface.h"
#include "render/render_context.h"

namespace {

// A vertex this far (in world units, 16.16) from a face's plane counts as lying on it.
constexpr double kFlatTolerance = 1.0 / 16 * 65536;

struct Vector {
    double x;
    double y;
    double z;
};

Vector Difference(const FixedVector3& a, const FixedVector3& b)
{
    return {double(a.x) - b.x, double(a.y) - b.y, double(a.z) - b.z};
}

Vector Cross(const Vector& a, const Vector& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double Dot(const Vector& a, const Vector& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// The corners of all the record's faces.
int64_t CornerCount(const ObjectGeometry* record)
{
    int64_t corners = 0;
    const int32_t count = record->PolygonCount();
    for (int32_t k = 0; k < count; ++k)
        if (const PolygonRecord* face = record->PolygonAt(k)) corners += face->VertexCount();
    CountTurns(count);
    return corners;
}

}  // namespace

ListWalkScope::ListWalkScope(const ObjectGeometry* list, uint32_t blendColour, uint32_t blendCoverage)
: context_(&CurrentRenderContext()), place_(context_->listWalks.size())
{
    context_->listWalks.push_back({list, nullptr, blendColour, blendCoverage});
}

ListWalkScope::~ListWalkScope()
{
    context_->listWalks.resize(place_);
}

void ListWalkScope::Drawing(const ObjectGeometry* record)
{
    context_->listWalks[place_].drawing = record;
}

bool RecordIsPlainConvex(const ObjectGeometry* record)
{
    const DynamicArray* vertices = record->Owner ? record->Owner->WorldVertices : nullptr;
    if (!vertices) return false;
    const int32_t vertexCount = vertices->ArrayCount();
    const FixedVector3* points = vertices->Elements<FixedVector3>();
    const auto point = [&](int32_t index) { return index >= 0 && index < vertexCount ? &points[index] : nullptr; };
    const int32_t count = record->PolygonCount();
    for (int32_t k = 0; k < count; ++k) {
        const PolygonRecord* face = record->PolygonAt(k);
        if (!face || face->VertexCount() < 3) return false;
        if (const Surface* surface = face->FaceSurface) {
            if (surface->SideContacts[0] || surface->SideContacts[1] || surface->Elements[0] || surface->Elements[1] ||
                surface->Elements[2])
                return false;
        }
        const FixedVector3* a = point(face->IndexAt(0));
        const FixedVector3* b = point(face->IndexAt(1));
        const FixedVector3* c = point(face->IndexAt(2));
        if (!a || !b || !c) return false;
        const Vector normal = Cross(Difference(*b, *a), Difference(*c, *a));
        const double length = std::sqrt(Dot(normal, normal));
        if (length == 0) return false;
        // Every corner of every face on the same side of the plane as the rest, or on it.
        int32_t sign = 0;
        for (int32_t j = 0; j < count; ++j) {
            const PolygonRecord* other = record->PolygonAt(j);
            const int32_t corners = other ? other->VertexCount() : 0;
            for (int32_t i = 0; i < corners; ++i) {
                const FixedVector3* p = point(other->IndexAt(i));
                if (!p) return false;
                const double distance = Dot(normal, Difference(*p, *a)) / length;
                if (std::fabs(distance) <= kFlatTolerance) continue;
                const int32_t side = distance > 0 ? 1 : -1;
                if (sign != 0 && side != sign) return false;
                sign = side;
            }
            CountTurns(corners);
        }
        CountTurns(count);
    }
    CountTurns(count);
    return true;
}

bool WalkDrewBehind(const ObjectGeometry* list, ObjectGeometry* record, uint32_t blendColour, uint32_t blendCoverage)
{
    RenderContext& context = CurrentRenderContext();
    const auto& walks = context.listWalks;
    if (walks.empty()) return false;
    const ListWalk& walk = walks.back();
    if (walk.list != list || walk.drawing != record || walk.blendColour != blendColour ||
        walk.blendCoverage != blendCoverage)
        return false;
    const auto known = context.convexRecords.find(record);
    if (known != context.convexRecords.end()) return known->second;
    bool convex = false;
    if (record->PolygonCount() <= kConvexTestFaces) {
        const int64_t corners = CornerCount(record);
        convex = context.frameBudget.Spend(FrameCost::kWalked, corners * record->PolygonCount()) &&
                 RecordIsPlainConvex(record);
    }
    context.convexRecords[record] = convex;
    return convex;
}
