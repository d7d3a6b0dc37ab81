// Geometry building: face counts and numbering, the rings and faces of primitives, the faces
// of polygon objects, world data, the link between faces and surfaces, and rescaling.
#include <algorithm>
#include <initializer_list>
#include <new>
#include <vector>

#include "foundation/loop_turns.h"
#include "foundation/planar_geometry.h"
#include "foundation/pointer_list.h"
#include "foundation/ui_services.h"
#include "model/light.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "model/plane_record.h"
#include "model/polygon_record.h"
#include "model/surface.h"
#include "model/texture_services.h"
#include "model/transform.h"
#include "model/units_record.h"

namespace {

constexpr Fixed kFixedTwo = 0x00020000;

// base + k x step, with the 32-bit wrap of Fixed sums.
Fixed Stepped(Fixed base, int32_t k, Fixed step)
{
    return Fixed(uint32_t(base) + uint32_t(int64_t(k) * step));
}

}  // namespace

// --- face counts and numbering ---

int32_t ModelObject::EffectiveSegments() const
{
    if (PrimitiveKind == 4 || PrimitiveKind == 5) return Segments > 1 ? Segments : 1;
    return 1;
}

int32_t ModelObject::OutlineCount() const
{
    return ListCount(Outline);
}

int32_t ModelObject::CapCount() const
{
    if (!IsPrimitive()) return -1;
    switch (PrimitiveKind) {
    case 1: return 2;
    case 2:
    case 4: return 1;
    case 3:
    case 5: return 0;
    default: return -1;
    }
}

int32_t ModelObject::BandCount() const
{
    if (!IsPrimitive()) return -1;
    switch (PrimitiveKind) {
    case 1:
    case 2: return 1;
    case 3: return 2;
    case 4: return EffectiveSegments();
    case 5: return 2 * EffectiveSegments();
    default: return -1;
    }
}

int32_t ModelObject::SideFaceCount() const
{
    const int32_t bands = BandCount();
    if (bands < 0) return -1;
    const int64_t count = int64_t(OutlineCount()) * bands;
    return count > kMaxObjectFaces ? -1 : int32_t(count);
}

int32_t ModelObject::PrimitiveFaceCount() const
{
    if (IsWorldRoot() || IsGroup()) return 0;
    if (IsPolygonObject()) return ListCount(MeshPolygons);
    if (!IsPrimitive()) return -1;
    const int32_t sides = SideFaceCount();
    const int32_t caps = CapCount();
    if (sides < 0 || caps < 0 || sides + caps > kMaxObjectFaces) return -1;
    return sides + caps;
}

int32_t ModelObject::SliceCount() const
{
    if (IsNewRoot()) return -1;
    return ListCount(Slices);
}

int32_t ModelObject::FaceCount() const
{
    if (IsNewRoot()) return -1;
    const int32_t faces = PrimitiveFaceCount();
    if (faces < 0) return -1;
    const int32_t total = faces + SliceCount();
    return total > kMaxObjectFaces ? -1 : total;
}

int32_t ModelObject::CapFaceIndex(int32_t which) const
{
    if (!IsPrimitive()) return -1;
    const int32_t caps = CapCount();
    if (which > 0) return caps == 2 || (caps == 1 && Height0 <= Height1) ? 0 : -1;
    return caps == 2 || (caps == 1 && Height0 > Height1) ? PrimitiveFaceCount() - 1 : -1;
}

int32_t ModelObject::SideFaceIndex(int32_t i, int32_t band) const
{
    if (!IsPrimitive()) return -1;
    return OutlineCount() * band + i + (CapFaceIndex(1) != -1 ? 1 : 0);
}

int32_t ModelObject::SliceFaceIndex(int32_t k) const
{
    if (IsRoot()) return -1;
    return PrimitiveFaceCount() + k;
}

int32_t ModelObject::IsCompleteObject() const
{
    if (IsWorldRoot() || IsGroup()) return 1;
    if (IsPrimitive()) {
        const int32_t n = OutlineCount();
        if (Axis < 1 || Axis > 3 || PrimitiveKind < 1 || PrimitiveKind > 5 || n < 3) return 0;
        int64_t vertices = 2 * int64_t(n);
        if (PrimitiveKind != 1) {
            const int64_t perApex = int64_t(EffectiveSegments() - 1) * n + 1;
            vertices = n + perApex * (PrimitiveKind == 3 || PrimitiveKind == 5 ? 2 : 1);
        }
        return vertices <= kMaxObjectVertices && FaceCount() >= 0;
    }
    if (IsPolygonObject()) {
        if (!MeshVertices || !MeshPolygons || FaceCount() < 0) return 0;
        const int32_t vertexCount = MeshVertices->ArrayCount();
        if (vertexCount > kMaxObjectVertices) return 0;
        int64_t corners = 0;
        int32_t i = 0;
        for (; i < MeshPolygons->ArrayCount(); ++i) {
            const DynamicArray* polygon = PointerAt<DynamicArray>(MeshPolygons, i);
            // A polygon of fewer than three corners leaves its face out (AddPolygonRecord).
            if (!polygon) break;
            auto valid = [&](int32_t k) {
                const int16_t index = *polygon->At<int16_t>(k);
                return index >= 0 && index < vertexCount;
            };
            int32_t k = 0;
            while (k < polygon->ArrayCount() && valid(k)) ++k;
            corners += k;
            if (k < polygon->ArrayCount()) break;
        }
        CountTurns(i + corners);
        return i == MeshPolygons->ArrayCount() ? 1 : 0;
    }
    return 0;
}

FixedVector3 ModelObject::FaceDirection(int32_t face) const
{
    const FixedVector3 zero = {0, 0, 0};
    if (IsRoot()) return zero;
    const int32_t primitiveFaces = PrimitiveFaceCount();
    if (face >= 0 && face < primitiveFaces) {
        if (!IsPrimitive()) return zero;
        if (face == CapFaceIndex(1)) return AxisPoint(0, 0, kFixedOne);
        if (face == CapFaceIndex(0)) return AxisPoint(0, 0, -kFixedOne);
        const int32_t n = OutlineCount();
        if (PrimitiveKind == 1 && RoundFixed(Height0) != RoundFixed(Height1) && !HasOffsets()) {
            const int32_t k = face - (CapFaceIndex(1) != -1 ? 1 : 0);
            if (k < 0 || k >= n) return zero;
            const int32_t previous = k == 0 ? n - 1 : k - 1;
            const FixedPoint* p = Outline->At<FixedPoint>(k);
            const FixedPoint* q = Outline->At<FixedPoint>(previous);
            return AxisPoint(FixSub(q->y, p->y), FixSub(p->x, q->x), 0);
        }
        return zero;
    }
    const PlaneRecord* plane = PointerAt<PlaneRecord>(Slices, face - (primitiveFaces < 0 ? 0 : primitiveFaces));
    if (face < 0 || primitiveFaces < 0 || !plane) return zero;
    Fixed normal[3];
    plane->GetReversedNormal(normal);
    return {normal[0], normal[1], normal[2]};
}

// --- building ---

bool ModelObject::SpendOnBuild(const FaceLights& lights)
{
    // An incomplete object builds no faces.
    if (!IsCompleteObject() || FaceCount() <= 0) return true;
    ReadBudget& budget = Holder->Budget;
    const int64_t faces = FaceCount();
    return budget.Spend(ReadCost::kFaces, faces) &&
           budget.Spend(ReadCost::kLighting, LightingWork(faces, lights));
}

int64_t ModelObject::LightingWork(int64_t faces, const FaceLights& lights) const
{
    int64_t elements = 0;
    for (int32_t i = 0; i < ListCount(Surfaces); ++i) {
        if (const Surface* surface = PointerAt<Surface>(Surfaces, i)) elements += surface->CountElements();
    }
    CountTurns(ListCount(Surfaces));
    // The front of a face takes the node's lights, its back the parent's; each face and element
    // takes its colours and shades, lit or not.
    return (faces + elements) * (1 + ListCount(lights.front) + ListCount(lights.back));
}

void ModelObject::Build()
{
    BuildBeneath(FirstNonGroupParent(), LightsOnFacesOf(this));
}

void ModelObject::BuildBeneath(ModelObject* ancestor, const FaceLights& lights)
{
    // An ancestor whose subtree is rebuilt in new units relates its objects once all are rebuilt.
    if (ancestor && ancestor->childrenRebuilding_) ancestor = nullptr;
    if (ancestor) {
        ancestor->ClearContactsOf(this);
        ancestor->UnregisterMember(this);
    }
    buildHeld_ = false;
    BuildGeometry();
    // The corners built are spent on the read's budget before slices cut them (past it, the read
    // fails).
    int64_t corners = 0;
    for (int32_t i = 0; i < GeometryCount(); ++i) {
        const ObjectGeometry* record = GeometryAt(i);
        for (int32_t k = 0; k < record->PolygonCount(); ++k) corners += record->PolygonAt(k)->VertexCount();
        CountTurns(record->PolygonCount());
    }
    Holder->Budget.Spend(ReadCost::kCorners, corners);
    for (int32_t i = 0; i < GeometryCount(); ++i) {
        GeometryAt(i)->CutBySlices();
        GeometryAt(i)->RemoveDegenerateRecords();
    }
    CountTurns(GeometryCount());
    UpdateWorld(lights);
    LinkSurfaces(ancestor);
    if (ancestor) {
        ancestor->RegisterMember(this);
        ancestor->ComputeContactsWithSiblings(this);
    }
    if (!childrenRebuilding_) RelateChildren();
    if (Parent && Parent->IsGroup() && !Parent->childrenRebuilding_) Parent->GroupBounds();
}

void ModelObject::RelateChildren()
{
    // A node without records has no members: the walk would register nothing.
    if (GeometryCount() > 0) {
        for (int32_t i = 0; i < ChildCount(); ++i) RegisterMember(ChildAt(i));
        CountTurns(ChildCount());
    }
    if (IsGroup()) GroupBounds();
}

void ModelObject::Rebuild()
{
    ModelObject* ancestor = FirstNonGroupParent();
    if (ancestor) ancestor->ClearContactsOf(this);
    UpdateWorld(LightsOnFacesOf(this));
    LinkSurfaces(ancestor);
    if (ancestor) ancestor->ComputeContactsWithSiblings(this);
    for (int32_t i = 0; i < ChildCount(); ++i) ChildAt(i)->Rebuild();
    CountTurns(ChildCount());
    if (IsGroup()) GroupBounds();
    if (Parent && Parent->IsGroup()) Parent->GroupBounds();
}

void ModelObject::BuildGeometry()
{
    FreeGeometry();
    UnlinkSurfaces();
    if (IsWorldRoot()) {
        if (ObjectGeometry* record = ObjectGeometry::New(this))
            AddGeometry(record);
        else
            NoteMemoryShort(Holder);
        return;
    }
    if (!IsPrimitive() && !IsPolygonObject()) return;
    // An incomplete object builds nothing: it has no vertices and no faces; nor does one whose
    // vertices cannot be had.
    if (!IsCompleteObject() || (IsPolygonObject() && MeshVertices->ArrayCopyTo(LocalVertices) != kResultOk)) {
        IgnoreResult(LocalVertices->ArraySetCount(0));
        LocalBox = kEmptyShortBox;
        return;
    }
    if (IsPrimitive()) {
        if (PolygonOrientation(Outline) == 0) Outline->Reverse();
        RingDescriptor descriptor = {0, 0, 0, 0};
        if (PrimitiveKind == 1) {
            BuildPrismRings(&descriptor);
        } else {
            BuildRoundedRings(&descriptor);
        }
        BuildPrimitiveFaces(descriptor);
        return;
    }
    ObjectGeometry* record = ObjectGeometry::New(this);
    if (!record) {
        NoteMemoryShort(Holder);
        return;
    }
    AddGeometry(record);
    record->ReservePolygons(MeshPolygons->ArrayCount());
    for (int32_t i = 0; i < MeshPolygons->ArrayCount(); ++i) {
        record->AddPolygonRecord(PointerAt<DynamicArray>(MeshPolygons, i), i, SurfaceOfFace(i));
    }
    CountTurns(MeshPolygons->ArrayCount());
    record->ComputeBounds(1);
    LocalBox = record->LocalBox;
}

void ModelObject::BuildPrismRings(RingDescriptor* descriptor)
{
    const int32_t n = OutlineCount();
    // Without room for the rings the descriptor stays empty: no faces are made.
    if (LocalVertices->ArraySetCount(2 * n) != kResultOk) return;
    *descriptor = {n, 1, 1, 1};
    const int32_t first0 = Height0 > Height1 ? 0 : n;
    const int32_t first1 = Height0 > Height1 ? n : 0;
    for (int32_t i = 0; i < n; ++i) {
        const FixedPoint* p = Outline->At<FixedPoint>(i);
        const FixedVector3 v0 = AxisPoint(FixAdd(p->x, Offset0.x), FixAdd(p->y, Offset0.y), Height0);
        const FixedVector3 v1 = AxisPoint(FixAdd(p->x, Offset1.x), FixAdd(p->y, Offset1.y), Height1);
        IgnoreResult(LocalVertices->Set(first0 + i, &v0));
        IgnoreResult(LocalVertices->Set(first1 + i, &v1));
    }
    CountTurns(n);
}

void ModelObject::BuildRoundedRings(RingDescriptor* descriptor)
{
    const int32_t n = OutlineCount();
    const int32_t s = EffectiveSegments();
    const bool twoApexes = PrimitiveKind == 3 || PrimitiveKind == 5;
    const bool firstHigher = Height0 > Height1;
    const Fixed far = firstHigher ? Height0 : Height1;
    const Fixed near = firstHigher ? Height1 : Height0;
    const FixedPoint farOffset = firstHigher ? Offset0 : Offset1;
    const FixedPoint nearOffset = firstHigher ? Offset1 : Offset0;
    const bool farApex = twoApexes || firstHigher;
    const bool nearApex = twoApexes || !firstHigher;
    *descriptor = {n, twoApexes ? 2 * s - 2 : s - 1, uint8_t(farApex ? 0 : 1), uint8_t(nearApex ? 0 : 1)};
    const int32_t perApex = (s - 1) * n + 1;
    const int32_t count = n + perApex + (twoApexes ? perApex : 0);
    if (LocalVertices->ArraySetCount(count) != kResultOk) {
        *descriptor = {0, 0, 0, 0};  // no room for the rings: no faces
        return;
    }

    Fixed base = Height1;
    FixedPoint baseOffset = Offset1;
    Fixed span = FixSub(far, near);
    FixedPoint offsetSpan = {FixSub(farOffset.x, nearOffset.x), FixSub(farOffset.y, nearOffset.y)};
    if (twoApexes) {
        base = FixDiv(FixAdd(far, near), kFixedTwo);
        baseOffset = {FixDiv(FixAdd(farOffset.x, nearOffset.x), kFixedTwo),
                      FixDiv(FixAdd(farOffset.y, nearOffset.y), kFixedTwo)};
        span = FixSub(far, base);
        offsetSpan = {FixSub(farOffset.x, baseOffset.x), FixSub(farOffset.y, baseOffset.y)};
    }
    const Fixed segments = IntToFixed(s);
    const Fixed heightStep = FixDiv(span, segments);
    const FixedPoint offsetStep = {FixDiv(offsetSpan.x, segments), FixDiv(offsetSpan.y, segments)};
    // The ring scale sqrt(1 - t^2); equal heights leave every ring at full size.
    auto scaleAt = [&](Fixed height) {
        if (span == 0) return kFixedOne;
        const double t = Fix2X(FixSub(height, base)) / Fix2X(span);
        return X2Fix(SafeSqrt(1.0 - t * t));
    };
    const int32_t baseIndex = farApex ? perApex : 0;
    PlaceScaledRing(baseIndex, baseOffset.x, baseOffset.y, base, kFixedOne);
    if (farApex) {
        for (int32_t k = 1; k < s; ++k) {
            const Fixed height = Stepped(base, k, heightStep);
            PlaceScaledRing(baseIndex - k * n, Stepped(baseOffset.x, k, offsetStep.x),
                            Stepped(baseOffset.y, k, offsetStep.y), height, scaleAt(height));
        }
        CountTurns(s);
        const FixedVector3 apex = AxisPoint(farOffset.x, farOffset.y, far);
        IgnoreResult(LocalVertices->Set(0, &apex));
    }
    if (nearApex) {
        for (int32_t k = 1; k < s; ++k) {
            const Fixed height = Stepped(base, -k, heightStep);
            PlaceScaledRing(baseIndex + k * n, Stepped(baseOffset.x, -k, offsetStep.x),
                            Stepped(baseOffset.y, -k, offsetStep.y), height, scaleAt(height));
        }
        CountTurns(s);
        const FixedVector3 apex = AxisPoint(nearOffset.x, nearOffset.y, near);
        IgnoreResult(LocalVertices->Set(count - 1, &apex));
    }
}

void ModelObject::PlaceScaledRing(int32_t firstVertex, Fixed offsetX, Fixed offsetY, Fixed height, Fixed scale)
{
    for (int32_t i = 0; i < OutlineCount(); ++i) {
        const FixedPoint* p = Outline->At<FixedPoint>(i);
        const FixedVector3 v = AxisPoint(FixAdd(FixMul(p->x, scale), offsetX), FixAdd(FixMul(p->y, scale), offsetY), height);
        IgnoreResult(LocalVertices->Set(firstVertex + i, &v));
    }
    CountTurns(OutlineCount());
}

void ModelObject::BuildPrimitiveFaces(const RingDescriptor& descriptor)
{
    ObjectGeometry* record = ObjectGeometry::New(this);
    DynamicArray* face = NewDynamicArray(0, int32_t(sizeof(int16_t)), 4);
    if (!record || !face) {
        if (record) record->ObjectGeometryFree();
        if (face) face->Destroy();
        NoteMemoryShort(Holder);
        return;
    }
    AddGeometry(record);
    const int32_t n = descriptor.outlineCount;
    record->ReservePolygons((descriptor.firstFlat ? 1 : n) + descriptor.bands * n + (descriptor.lastFlat ? 1 : n));
    int32_t number = 0;
    int32_t ring = 0;
    // The corners of faces left out as they are made (their outline collapsed): those kept are
    // spent with the rest once the node is built (BuildBeneath).
    int64_t cornersLeftOut = 0;
    auto add = [&]() {
        const int32_t before = record->PolygonCount();
        record->AddPolygonRecord(face, number, SurfaceOfFace(number));
        if (record->PolygonCount() == before) cornersLeftOut += face->ArrayCount();
        ++number;
    };
    auto emit = [&](std::initializer_list<int32_t> indices) {
        IgnoreResult(face->ArraySetCount(0));
        for (int32_t index : indices) {
            const int16_t value = int16_t(index);
            face->Append(&value);
        }
        CountTurns(int64_t(indices.size()));
        add();
    };
    // A flat end is one face of the whole outline: its indices take their room at once, where
    // appending them a grow step at a time would copy the face again at every step.
    auto emitRing = [&](int32_t first, int32_t step) {
        if (face->ArraySetCount(n) != kResultOk) {
            NoteMemoryShort(Holder);
            return;
        }
        for (int32_t i = 0; i < n; ++i) {
            const int16_t value = int16_t(first + step * i);
            IgnoreResult(face->Set(i, &value));
        }
        CountTurns(n);
        add();
    };
    if (descriptor.firstFlat) {
        emitRing(0, 1);
    } else {
        ring = 1;
        for (int32_t i = 0; i < n; ++i) emit({0, i == 0 ? n : i, i + 1});
    }
    for (int32_t band = 0; band < descriptor.bands; ++band) {
        for (int32_t i = 0; i < n; ++i) {
            const int32_t c = i + ring;
            const int32_t p = i == 0 ? c - 1 + n : c - 1;
            emit({c, p, p + n, c + n});
        }
        ring += n;
    }
    if (descriptor.lastFlat) {
        emitRing(ring + n - 1, -1);
    } else {
        for (int32_t i = 0; i < n; ++i) emit({i + ring, i == 0 ? i + ring - 1 + n : i + ring - 1, ring + n});
    }
    CountTurns(int64_t(number));
    face->Destroy();
    // Past the read's budget the read fails.
    Holder->Budget.Spend(ReadCost::kCorners, cornersLeftOut);
    record->ComputeBounds(1);
    LocalBox = record->LocalBox;
}

void ModelObject::UpdateWorld(const FaceLights& lights)
{
    SetCursorShape(kWaitCursor);
    LocalTransform->TransformCopyTo(WorldTransform);
    if (Parent) WorldTransform->AppendTransform(Parent->WorldTransform);
    const int32_t count = ListCount(LocalVertices);
    if (WorldVertices->ArraySetCount(count) == kResultOk) {
        for (int32_t i = 0; i < count; ++i) {
            const FixedVector3* local = LocalVertices->At<FixedVector3>(i);
            FixedVector3 world;
            WorldTransform->TransformPoint(&world, local->x, local->y, local->z);
            IgnoreResult(WorldVertices->Set(i, &world));
        }
        CountTurns(count);
    }
    ShortBox box = kEmptyShortBox;
    for (int32_t i = 0; i < GeometryCount(); ++i) {
        ObjectGeometry* record = GeometryAt(i);
        record->UpdateWorldPlanes(lights);
        record->ComputeBounds(2);
        record->ExtendBox(&box, 2);
    }
    CountTurns(GeometryCount());
    WorldBox = box;
}

void ModelObject::LinkSurfaces(ModelObject* ancestor)
{
    // The boxes take in the elements of every face once they are all in place.
    bool elements = false;
    for (int32_t j = 0; j < ListCount(Surfaces); ++j) {
        Surface* surface = PointerAt<Surface>(Surfaces, j);
        if (!surface) continue;
        if (PolygonRecord* record = FindPolygonByIndex(j))
            elements = surface->PlaceSurfaceOnFace(record->Normal, record->Indices, LocalVertices) || elements;
    }
    CountTurns(ListCount(Surfaces));
    if (elements) UpdateObjectBoxes(ancestor);
    for (int32_t i = 0; i < GeometryCount(); ++i) GeometryAt(i)->ReleaseRecordCaches();
    CountTurns(GeometryCount());
    RebindSurfaceTextures();
}

void ModelObject::GroupBounds()
{
    // A read spends the children visited on its budget; past it, the read fails.
    if (!Holder->Budget.Spend(ReadCost::kTreeWalks, ChildCount())) return;
    ShortBox box = kEmptyShortBox;
    for (int32_t i = 0; i < ChildCount(); ++i) UniteShortBox(box, ChildAt(i)->WorldBox);
    CountTurns(ChildCount());
    WorldBox = box;
}

void ModelObject::EnsureSliceList()
{
    if (!Slices) Slices = NewPointerList();
}

void ModelObject::EnsureSurfaceCount(int32_t count)
{
    if (count < 0) return;
    if (!Surfaces) {
        Surfaces = NewPointerList();
        if (!Surfaces) return;
    }
    const int32_t old = Surfaces->ArrayCount();
    // Surfaces of faces that no longer exist go with their connections.
    for (int32_t i = count; i < old; ++i) DiscardSurface(PointerAt<Surface>(Surfaces, i));
    CountTurns(old - std::min(old, count));
    if (Surfaces->ArraySetCount(count) != kResultOk) return;
    for (int32_t i = old; i < count; ++i) IgnoreResult(SetPointer(Surfaces, i, nullptr));
    CountTurns(count - std::min(old, count));
}

Surface* ModelObject::SurfaceForFace(int32_t face)
{
    if (IsRoot() || face < 0 || face >= FaceCount()) return nullptr;
    EnsureSurfaceCount(FaceCount());
    if (!Surfaces || face >= Surfaces->ArrayCount()) return nullptr;
    Surface* surface = PointerAt<Surface>(Surfaces, face);
    if (surface) return surface;
    surface = NewSurface();
    if (!surface) return nullptr;
    if (surface->SurfaceInit(this) != kResultOk) {
        surface->SurfaceDestroy();
        return nullptr;
    }
    if (PolygonRecord* record = FindPolygonByIndex(face)) {
        record->FaceSurface = surface;
        surface->AddFaceUser(record);
        NoteLayeringChanged(Holder);
        surface->PlaceSurface(record->Normal, record->Indices, LocalVertices);
    }
    IgnoreResult(SetPointer(Surfaces, face, surface));
    surface->PlacedAt(face);
    return surface;
}

void ModelObject::ForgetUnusedSurface(int32_t face)
{
    Surface* surface = SurfaceOfFace(face);
    if (!surface || surface->IsConnected(nullptr, nullptr, kRelationAny) || surface->ContactCount(0) > 0 ||
        surface->ContactCount(1) > 0 || surface->CountElements() > 0 || surface->SurfaceHasData())
        return;
    if (PolygonRecord* record = FindPolygonByIndex(face); record && record->FaceSurface == surface) {
        record->FaceSurface = nullptr;
        NoteLayeringChanged(Holder);
    }
    IgnoreResult(SetPointer(Surfaces, face, nullptr));
    surface->SurfaceDestroy();
}

void ModelObject::TakeFaceOutline(int32_t face, DynamicArray* outline)
{
    if (IsRoot() || face < 0 || face >= FaceCount()) return;
    EnsureSurfaceCount(FaceCount());
    if (!Surfaces || face >= Surfaces->ArrayCount()) return;
    PolygonRecord* record = FindPolygonByIndex(face);
    if (Surface* surface = PointerAt<Surface>(Surfaces, face)) {
        // Without room no pairs: the face maps no texture.
        if (surface->Outline) IgnoreResult(surface->Outline->ArrayCopyTo(outline));
        if (record && record->FaceSurface == surface) record->FaceSurface = nullptr;
        IgnoreResult(SetPointer(Surfaces, face, nullptr));
        surface->SurfaceDestroy();
        return;
    }
    if (!record) return;
    Transform placement;
    placement.TransformInit();
    PlaceFaceOutline(&placement, outline, record->Normal, record->Indices, LocalVertices);
}

void ModelObject::RescaleObject(Fixed factor)
{
    if (Holder->Budget.Reading() && outerRescale_) {
        ScaleBeneath(factor);
        return;
    }
    RescaleBeneath(factor, FirstNonGroupParent(), LightsOnFacesOf(this));
}

bool ModelObject::RescaledLaterInRead() const
{
    return outerRescale_ || (readParent_ && UnitsRescale(GetUnits(), readParent_->GetUnits()));
}

void ModelObject::ScaleBeneath(Fixed factor)
{
    // Coverings a read left to be done are worked out on the faces as they were connected.
    FinishDeferredCoverings(Holder, true);
    std::vector<ModelObject*> subtree = {this};
    for (size_t i = 0; i < subtree.size(); ++i) {
        ModelObject* node = subtree[i];
        // Past the read's budget the read fails, and its model goes, unbuilt.
        if (!Holder->Budget.Spend(ReadCost::kTreeWalks, 1)) return;
        node->ScaleParameters(factor);
        node->buildHeld_ = true;
        for (int32_t k = 0; k < node->ChildCount(); ++k) subtree.push_back(node->ChildAt(k));
        CountTurns(node->ChildCount());
    }
    CountTurns(int64_t(subtree.size()));
}

void ModelObject::BuildHeldSubtree()
{
    if (buildHeld_) RescaleBeneath(kFixedOne, FirstNonGroupParent(), LightsOnFacesOf(this));
}

void ModelObject::ScaleParameters(Fixed factor)
{
    if (IsPrimitive()) {
        Height0 = FixMul(Height0, factor);
        Height1 = FixMul(Height1, factor);
        Offset0 = {FixMul(Offset0.x, factor), FixMul(Offset0.y, factor)};
        Offset1 = {FixMul(Offset1.x, factor), FixMul(Offset1.y, factor)};
        for (int32_t i = 0; i < OutlineCount(); ++i) {
            FixedPoint* p = Outline->At<FixedPoint>(i);
            *p = {FixMul(p->x, factor), FixMul(p->y, factor)};
        }
        CountTurns(OutlineCount());
    } else if (IsPolygonObject()) {
        for (int32_t i = 0; i < ListCount(MeshVertices); ++i) {
            FixedVector3* v = MeshVertices->At<FixedVector3>(i);
            *v = {FixMul(v->x, factor), FixMul(v->y, factor), FixMul(v->z, factor)};
        }
        CountTurns(ListCount(MeshVertices));
    }
    for (int32_t i = 0; i < ListCount(Slices); ++i) {
        if (PlaneRecord* plane = PointerAt<PlaneRecord>(Slices, i)) plane->RescalePlane(factor);
    }
    for (int32_t i = 0; i < ListCount(Surfaces); ++i) {
        if (Surface* surface = PointerAt<Surface>(Surfaces, i)) surface->ScaleElements(factor);
    }
    CountTurns(ListCount(Slices) + ListCount(Surfaces));
    if (IsPrimitive() || IsPolygonObject() || IsGroup()) {
        const Fixed* position = LocalTransform->Position;
        LocalTransform->SetPosition(FixMul(position[0], factor), FixMul(position[1], factor), FixMul(position[2], factor));
    }
}

void ModelObject::RescaleBeneath(Fixed factor, ModelObject* ancestor, const FaceLights& lights)
{
    // Coverings a read left to be done are worked out on the faces as they were connected. A
    // factor of one builds a held subtree: what is left to be done waits for its faces.
    if (factor != kFixedOne) {
        if (Holder->Budget.Reading()) FinishDeferredCoverings(Holder, true);
        ScaleParameters(factor);
    }
    // A rebuild in the course of a read is spent on its budget as the first build was, and so is
    // every node rebuilt, those without faces too; past it, the read fails and its model goes,
    // unbuilt.
    if (!Holder->Budget.Spend(ReadCost::kTreeWalks, 1) || !SpendOnBuild(lights)) return;
    // The children are rebuilt each on its own; what relates them is made once, after them all:
    // rebuilt one by one, each would be taken out of this node's members by a search of them all,
    // compared with every sibling and widen its group's bounds over all the others.
    childrenRebuilding_ = true;
    BuildBeneath(ancestor, lights);
    // The first object above each child that is no group is this node, or this group's own; a
    // child's faces take its own lights or this node's in front, and this node's behind.
    ModelObject* childrenAncestor = IsGroup() ? ancestor : this;
    for (int32_t i = 0; i < ChildCount(); ++i) {
        ModelObject* child = ChildAt(i);
        child->RescaleBeneath(factor, childrenAncestor, {child->Lights ? child->Lights : lights.front, lights.front});
    }
    CountTurns(ChildCount());
    childrenRebuilding_ = false;
    RelateChildren();
    if (!IsGroup()) {
        DropSiblingIndex();
        ComputeContactsOfRebuiltChildren();
    }
    if (Parent && Parent->IsGroup() && !Parent->childrenRebuilding_) Parent->GroupBounds();
}
