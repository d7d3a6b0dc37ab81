// What a polygon element derives from its outline and its place: its vertices on the surface and
// in the world, their bounds, its lighting on both sides, and per side the list of faces lying
// against its face that cover part of it, with whether any of it is left uncovered.
#include <algorithm>
#include <climits>
#include <vector>

#include "foundation/loop_turns.h"
#include "foundation/pointer_list.h"
#include "foundation/system_weights.h"
#include "foundation/ui_services.h"
#include "model/drawing_services.h"
#include "model/lighting_math.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "model/polygon_element.h"
#include "model/polygon_projection.h"
#include "model/polygon_record.h"
#include "model/surface.h"
#include "model/transform.h"

namespace {

DynamicArray* NewIndexList()
{
    return NewDynamicArray(0, int32_t(sizeof(int32_t)), 4);
}

int32_t IndexAt(const DynamicArray* list, int32_t position)
{
    return *list->At<int32_t>(position);
}

bool Holds(const DynamicArray* list, int32_t index)
{
    return list && list->ArrayFind(&index) >= 0;
}

void RemoveIndex(DynamicArray* list, int32_t index)
{
    const int32_t at = list->ArrayFind(&index);
    if (at >= 0) IgnoreResult(list->Remove(at));
}

// The bounds of a polygon's points in plane units.
struct PlaneBounds {
    int64_t minX = INT64_MAX;
    int64_t minY = INT64_MAX;
    int64_t maxX = INT64_MIN;
    int64_t maxY = INT64_MIN;
};

PlaneBounds BoundsOf(const DynamicArray* points)
{
    PlaneBounds bounds;
    for (int32_t i = 0; i < ListCount(points); ++i) {
        const FixedPoint* p = points->At<FixedPoint>(i);
        bounds = {std::min<int64_t>(bounds.minX, p->x), std::min<int64_t>(bounds.minY, p->y),
                  std::max<int64_t>(bounds.maxX, p->x), std::max<int64_t>(bounds.maxY, p->y)};
    }
    CountTurns(ListCount(points));
    return bounds;
}

// Whether the regions of two polygons of the bounds may meet: a region lies within its points
// made whole units, each moved by at most half a unit (none meets a polygon without points).
bool Meet(const PlaneBounds& a, const PlaneBounds& b)
{
    return a.minX <= b.maxX + kFixedOne && b.minX <= a.maxX + kFixedOne && a.minY <= b.maxY + kFixedOne &&
           b.minY <= a.maxY + kFixedOne;
}

// The face record of the surface: the one registered with it, else the one of its face number.
const PolygonRecord* FaceOf(const Surface* surface)
{
    if (PolygonRecord* record = surface->FaceRecord()) return record;
    return surface->Owner ? surface->Owner->FindPolygonByIndex(surface->FaceNumber()) : nullptr;
}

}  // namespace

// --- vertex lists ---

void PolygonElement::TransformElementVertices2D()
{
    if (!Owner || !Outline || !SurfaceVertices) return;
    const int32_t count = Outline->ArrayCount();
    if (SurfaceVertices->ArraySetCount(count) != kResultOk) return;
    for (int32_t i = 0; i < count; ++i) {
        const FixedPoint* p = Outline->At<FixedPoint>(i);
        FixedPoint q;
        Placement->TransformPoint2D(&q, p->x, p->y);
        Owner->Placement->TransformPoint(SurfaceVertices->At<FixedVector3>(i), q.x, q.y, 0);
    }
    CountTurns(count);
    if ((Placement->Scale[0] < 0) != (Placement->Scale[1] < 0)) SurfaceVertices->Reverse();
}

void PolygonElement::TransformElementVertices()
{
    if (!Owner || !Owner->Owner || !Owner->Owner->Geometry || !SurfaceVertices || !WorldVertices) return;
    const ModelObject* object = Owner->Owner;
    const int32_t count = SurfaceVertices->ArrayCount();
    if (WorldVertices->ArraySetCount(count) != kResultOk) return;
    for (int32_t i = 0; i < count; ++i) {
        const FixedVector3* v = SurfaceVertices->At<FixedVector3>(i);
        object->WorldTransform->TransformPoint(WorldVertices->At<FixedVector3>(i), v->x, v->y, v->z);
    }
    CountTurns(count);
    if (object->Geometry->Mirrored) WorldVertices->Reverse();
}

void PolygonElement::GetElementVertexBounds(ShortBox* box, int32_t which) const
{
    const DynamicArray* vertices = which == 1 ? SurfaceVertices : WorldVertices;
    for (int32_t i = 0; i < ListCount(vertices); ++i) {
        const FixedVector3* v = vertices->At<FixedVector3>(i);
        ExtendShortBox(*box, v->x, v->y, v->z);
    }
    CountTurns(ListCount(vertices));
}

// --- lighting ---

void PolygonElement::LightPolygonElement()
{
    if (Owner && Owner->Owner) LightPolygonElement(LightsOnFacesOf(Owner->Owner));
}

void PolygonElement::LightPolygonElement(const FaceLights& lights)
{
    SetCursorShape(kWaitCursor);
    if (!Owner || !Owner->Owner) return;
    const ModelObject* object = Owner->Owner;
    const PolygonRecord* record = object->FindPolygonByIndex(Owner->FaceNumber());
    if (!record) return;
    const ShortVector3 normal = record->WorldNormal;
    const ShortVector3 outward = NegatedVector(normal);
    const LightList* front = lights.front;
    const LightList* back = lights.back;
    FrontLitColour = front ? SumLighting(front, Colour, outward) : RGBColor48{0, 0, 0};
    BackLitColour = back ? SumLighting(back, Colour, normal) : RGBColor48{0, 0, 0};
    FrontShade = ShadeEntryOf(front, outward);
    BackShade = ShadeEntryOf(back, normal);
}

// --- the faces lying against the element's face ---

bool PolygonElement::ProjectOnFacePlane(DynamicArray* points, int16_t* axis) const
{
    const PolygonRecord* face = Owner ? FaceOf(Owner) : nullptr;
    if (!face || !WorldVertices) return false;
    const ShortVector3& n = face->WorldNormal;
    ProjectPolygonToPlane(WorldVertices, nullptr, n.x, n.y, n.z, points, axis);
    return true;
}

void PolygonElement::RebuildSideOverlaps()
{
    if (Owner && !Owner->DeferElementOverlaps(this)) RebuildSideOverlapsNow();
}

void PolygonElement::RebuildSideOverlapsNow()
{
    OverlapsOwed = false;
    if (!Owner) return;
    if (ColourCode < kSpecialColourCode && (Owner->SideContacts[0] || Owner->SideContacts[1])) {
        for (DynamicArray* list : OverlapLists)
            if (list) IgnoreResult(list->ArraySetCount(0));
        CollectSideOverlaps(0, Owner->ContactCount(0) - 1, 0);
        CollectSideOverlaps(0, Owner->ContactCount(1) - 1, 1);
        return;
    }
    SideUncovered[0] = SideUncovered[1] = 1;
    DestroyArray(OverlapLists[0]);
    DestroyArray(OverlapLists[1]);
}

void PolygonElement::CollectSideOverlaps(int32_t first, int32_t last, int32_t side)
{
    if (!Owner || side < 0 || side > 1) return;
    const DynamicArray* contacts = Owner->SideContacts[side];
    if (ColourCode >= kSpecialColourCode || !contacts) {
        SideUncovered[side] = 1;
        return;
    }
    DynamicArray*& list = OverlapLists[side];
    if (!list) list = NewIndexList();
    DynamicArray* points = NewDynamicArray(0, int32_t(sizeof(FixedPoint)), 8);
    if (!list || !points) {
        if (points) points->Destroy();
        SideUncovered[side] = 1;
        return;
    }
    const int32_t inserted = last - first + 1;
    const int32_t count = contacts->ArrayCount();
    int16_t axis = 0;
    // The indices past those inserted move up by as many; the list was walked for each.
    auto moveUp = [&]() {
        for (int32_t k = 0; k < list->ArrayCount(); ++k) {
            int32_t* index = list->At<int32_t>(k);
            if (*index >= first) *index += inserted;
        }
        CountTurns(list->ArrayCount());
    };
    ReadBudget& budget = Owner->Owner->Holder->Budget;
    DrawingServices& drawing = CurrentDrawingServices();
    // The outlines projected, and the regions they are handed to, are spent on the budget before
    // the regions are made.
    auto pays = [&](const CoverageRegion* region) {
        return budget.Spend(ReadCost::kCoverage, points->ArrayCount() + drawing.CoverageWork(region, points));
    };
    const bool projected = ProjectOnFacePlane(points, &axis);
    // A contact inserted among others whose outline's bounds miss the element's takes nothing away
    // from it, and leaves the others taking what they took: when none of those inserted can meet
    // it, its list and what it leaves uncovered stay as they were, and only the places past them
    // move, without a region.
    if (projected && inserted > 0 && inserted < count && !MayMeetAny(points, first, last, side, axis)) {
        moveUp();
        points->Destroy();
        return;
    }
    if (!projected || !pays(nullptr)) {
        // Without its face the element cannot be compared with the faces against it: the
        // indices follow the insertion and the whole element counts as uncovered.
        moveUp();
        points->Destroy();
        SideUncovered[side] = 1;
        return;
    }
    CoverageRegion* region = drawing.NewCoverageRegion(points);
    // Takes contact face i away from the remainder: 1 when that changed it.
    auto subtract = [&](int32_t i) -> int32_t {
        if (i < 0 || i >= count) return 0;
        IgnoreResult(points->ArraySetCount(0));
        if (!ProjectFaceEntry(*contacts->At<FaceEntry>(i), points, &axis) || !pays(region)) return 0;
        return drawing.CoverageRegionSubtract(region, points);
    };
    // Which contacts the list holds, by their places before the insertion and after it.
    std::vector<uint8_t> held(size_t(count) + size_t(inserted > 0 ? inserted : 0), 0);
    CountTurns(kHeapBlockTurns);
    auto mark = [&](uint8_t value) {
        for (int32_t k = 0; k < list->ArrayCount(); ++k) {
            const int32_t index = IndexAt(list, k);
            if (index >= 0 && size_t(index) < held.size()) held[size_t(index)] = value;
        }
        CountTurns(list->ArrayCount());
    };
    mark(1);
    for (int32_t i = 0; i < first && i < count; ++i)
        if (held[size_t(i)]) subtract(i);
    mark(0);
    moveUp();
    for (int32_t i = first; i <= last; ++i) {
        if ((side == 1 || i < Owner->LeadingContacts) && subtract(i)) list->Append(&i);
    }
    mark(1);
    // Those after the insertion that no longer take anything away leave the list, the others
    // keeping their order.
    bool dropped = false;
    for (int32_t j = last + 1; j < count; ++j) {
        if (held[size_t(j)] && !subtract(j)) {
            held[size_t(j)] = 2;
            dropped = true;
        }
    }
    CountTurns(int64_t(count) + inserted);
    if (dropped) {
        int32_t kept = 0;
        for (int32_t k = 0; k < list->ArrayCount(); ++k) {
            const int32_t index = IndexAt(list, k);
            if (index > last && index < count && held[size_t(index)] == 2) continue;
            IgnoreResult(list->Set(kept++, &index));
        }
        CountTurns(list->ArrayCount());
        IgnoreResult(list->ArraySetCount(kept));
    }
    SideUncovered[side] = drawing.CoverageRegionRemains(region) ? 1 : 0;
    drawing.DisposeCoverageRegion(region);
    points->Destroy();
}

bool PolygonElement::MayMeetAny(const DynamicArray* points, int32_t first, int32_t last, int32_t side,
                                int16_t axis) const
{
    const DynamicArray* contacts = Owner->SideContacts[side];
    const PlaneBounds element = BoundsOf(points);
    DynamicArray* outline = NewDynamicArray(0, int32_t(sizeof(FixedPoint)), 8);
    if (!outline) return true;
    ReadBudget& budget = Owner->Owner->Holder->Budget;
    bool meets = false;
    int32_t i = first;
    for (; i <= last && i < ListCount(contacts) && !meets; ++i) {
        IgnoreResult(outline->ArraySetCount(0));
        int16_t along = axis;
        // A contact that cannot be projected takes nothing away; past the budget, the read fails.
        if (!ProjectFaceEntry(*contacts->At<FaceEntry>(i), outline, &along)) continue;
        meets = !budget.Spend(ReadCost::kCoverage, outline->ArrayCount()) || Meet(element, BoundsOf(outline));
    }
    CountTurns(i - first);
    outline->Destroy();
    return meets;
}

void PolygonElement::RemoveSideOverlaps(int32_t first, int32_t last, int32_t side)
{
    if (side < 0 || side > 1) return;
    DynamicArray*& list = OverlapLists[side];
    if (!list || !Owner || !Owner->SideContacts[side]) return;
    const DynamicArray* contacts = Owner->SideContacts[side];
    const int32_t count = contacts->ArrayCount();
    // The list walked for each index that goes, and the contacts searched after it.
    int64_t walked = 0;
    for (;;) {
        int32_t k = -1;
        for (int32_t p = 0; p < list->ArrayCount(); ++p) {
            const int32_t index = IndexAt(list, p);
            if (index >= first && index <= last && index > k) k = index;
        }
        walked += 3 * int64_t(list->ArrayCount());
        if (k < 0) break;
        // The element now shows through the parent of the face that goes, when one lies against
        // it further on.
        const FaceEntry* leaving = k < count ? contacts->At<FaceEntry>(k) : nullptr;
        const ModelObject* parent = leaving && leaving->Object ? leaving->Object->Parent : nullptr;
        int32_t found = -1;
        for (int32_t j = k + 1; parent && j < count && found < 0; ++j)
            if (contacts->At<FaceEntry>(j)->Object == parent) found = j;
        walked += (found >= 0 ? found : count) - k;
        if (found >= 0) {
            if (!Holds(list, found)) list->Append(&found);
        } else {
            SideUncovered[side] = 1;
        }
        RemoveIndex(list, k);
    }
    const int32_t removed = last - first + 1;
    for (int32_t p = 0; p < list->ArrayCount(); ++p) {
        int32_t* index = list->At<int32_t>(p);
        if (*index > last) *index -= removed;
    }
    CountTurns(walked + list->ArrayCount());
    if (list->ArrayCount() == 0) {
        DestroyArray(list);
        SideUncovered[side] = 1;
    }
}
