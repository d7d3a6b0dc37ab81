// Edits of a primitive's parameters that keep its surfaces on their faces: where faces appear
// empty surface entries are inserted, where faces go their surfaces go too.
#include <initializer_list>

#include "foundation/pointer_list.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "model/plane_record.h"
#include "model/polygon_record.h"
#include "model/surface.h"

void ModelObject::DiscardSurface(Surface* surface)
{
    if (!surface) return;
    surface->DisconnectFace(nullptr, nullptr, kRelationAny);
    for (int32_t g = 0; g < GeometryCount(); ++g) {
        for (int32_t r = 0; r < GeometryAt(g)->PolygonCount(); ++r) {
            PolygonRecord* record = GeometryAt(g)->PolygonAt(r);
            if (record->FaceSurface == surface) record->FaceSurface = nullptr;
        }
    }
    surface->SurfaceDestroy();
}

void ModelObject::InsertSurfaceEntries(int32_t at, int32_t count)
{
    if (!Surfaces) return;
    if (at < 0) at = 0;
    if (at > Surfaces->ArrayCount()) at = Surfaces->ArrayCount();
    // Out of memory leaves the edit half done (builders only).
    for (int32_t i = 0; i < count; ++i) IgnoreResult(InsertPointer(Surfaces, at, nullptr));
}

void ModelObject::RemoveSurfaceEntries(int32_t at, int32_t count)
{
    if (!Surfaces || at < 0) return;
    for (int32_t i = 0; i < count && at < Surfaces->ArrayCount(); ++i) {
        Surface* surface = PointerAt<Surface>(Surfaces, at);
        IgnoreResult(Surfaces->Remove(at));
        DiscardSurface(surface);
    }
}

void ModelObject::MoveHeights(Fixed d0, Fixed d1)
{
    if (!IsPrimitive()) return;
    Height0 = FixAdd(Height0, d0);
    Height1 = FixAdd(Height1, d1);
    Build();
}

void ModelObject::MoveOffsets(Fixed dx0, Fixed dy0, Fixed dx1, Fixed dy1)
{
    if (!IsPrimitive()) return;
    Offset0 = {FixAdd(Offset0.x, dx0), FixAdd(Offset0.y, dy0)};
    Offset1 = {FixAdd(Offset1.x, dx1), FixAdd(Offset1.y, dy1)};
    Build();
}

void ModelObject::FlipEnds()
{
    if (!IsPrimitive()) return;
    if ((PrimitiveKind == 2 || PrimitiveKind == 4) && Surfaces) {
        const int32_t faces = PrimitiveFaceCount();
        const int32_t from = Height0 > Height1 ? faces - 1 : 0;
        const int32_t to = faces - 1 - from;
        if (from >= 0 && from < Surfaces->ArrayCount()) {
            Surface* cap = PointerAt<Surface>(Surfaces, from);
            IgnoreResult(Surfaces->Remove(from));
            // The slot just freed takes it back.
            IgnoreResult(InsertPointer(Surfaces, to < Surfaces->ArrayCount() ? to : Surfaces->ArrayCount(), cap));
        }
    }
    const Fixed height = Height0;
    Height0 = Height1;
    Height1 = height;
    const FixedPoint offset = Offset0;
    Offset0 = Offset1;
    Offset1 = offset;
    Build();
}

void ModelObject::SetAxis(int32_t axis)
{
    Axis = uint8_t(axis);
    Build();
}

void ModelObject::SetSegments(int32_t n)
{
    if (IsPrimitive() && (PrimitiveKind == 4 || PrimitiveKind == 5)) SetPrimitiveKind(PrimitiveKind, n);
}

void ModelObject::SetPrimitiveKind(int32_t kind, int32_t n)
{
    if (!IsPrimitive() || kind < 1 || kind > 5 || PrimitiveKind < 1 || PrimitiveKind > 5) return;
    if (kind <= 3 || n < 1) n = 1;
    const bool wantPrism = kind == 1;
    const bool wantTwo = kind == 3 || kind == 5;
    const bool firstHigher = Height0 > Height1;
    // Every step brings the kind or the segment count closer; a handful of steps always suffice.
    for (int32_t step = 0; step < 8; ++step) {
        const bool isPrism = PrimitiveKind == 1;
        const bool hasTwo = PrimitiveKind == 3 || PrimitiveKind == 5;
        if (isPrism == wantPrism && hasTwo == wantTwo && Segments == n) break;
        const int32_t faces = PrimitiveFaceCount();
        const int32_t outline = OutlineCount();
        if (isPrism && !wantPrism) {
            RemoveSurfaceEntries(firstHigher ? 0 : faces - 1, 1);
            PrimitiveKind = 2;
        } else if (wantTwo && !hasTwo) {
            const int32_t cap = firstHigher ? faces - 1 : 0;
            RemoveSurfaceEntries(cap, 1);
            InsertSurfaceEntries(cap, faces - 1);
            PrimitiveKind = uint8_t(PrimitiveKind + 1);
        } else if (Segments == n && hasTwo && !wantTwo) {
            const int32_t half = faces / 2;
            const int32_t at = firstHigher ? half : 0;
            RemoveSurfaceEntries(at, half);
            InsertSurfaceEntries(at, 1);
            PrimitiveKind = uint8_t(PrimitiveKind - 1);
        } else if (Segments == n && !isPrism && wantPrism) {
            InsertSurfaceEntries(firstHigher ? 0 : faces, 1);
            PrimitiveKind = 1;
        } else {
            const int32_t segments = EffectiveSegments();
            const int32_t delta = isPrism ? 0 : outline * (n - segments) * (hasTwo ? 2 : 1);
            int32_t place = !firstHigher && !hasTwo ? 1 : outline * segments;
            if (delta < 0 && (firstHigher || hasTwo)) place -= outline * (segments - n);
            if (delta > 0) {
                InsertSurfaceEntries(place, delta);
            } else {
                RemoveSurfaceEntries(place, -delta);
            }
            Segments = int16_t(n);
            if (n == 1 && (PrimitiveKind == 4 || PrimitiveKind == 5)) PrimitiveKind = uint8_t(PrimitiveKind - 2);
            if (n > 1 && (PrimitiveKind == 2 || PrimitiveKind == 3)) PrimitiveKind = uint8_t(PrimitiveKind + 2);
        }
    }
    Build();
}

void ModelObject::InsertOutlinePoint(int32_t i, const FixedPoint& point)
{
    const int32_t n = OutlineCount();
    if (!IsPrimitive() || i < 0 || i > n) return;
    for (int32_t band = BandCount() - 1; band >= 0; --band) {
        DropFaceContacts(SideFaceIndex(i == n ? 0 : i, band), nullptr, -1, kRelationAny);
        InsertSurfaceEntries(SideFaceIndex(i, band), 1);
    }
    IgnoreResult(Outline->Insert(i, &point));  // out of memory leaves the edit half done (builders only)
    Build();
}

void ModelObject::DeleteOutlinePoint(int32_t i)
{
    const int32_t n = OutlineCount();
    if (!IsPrimitive() || i < 0 || i >= n || n <= 3) return;
    for (int32_t band = BandCount() - 1; band >= 0; --band) {
        DropFaceContacts(SideFaceIndex(i, band), nullptr, -1, kRelationAny);
        DropFaceContacts(SideFaceIndex(i + 1 == n ? 0 : i + 1, band), nullptr, -1, kRelationAny);
        RemoveSurfaceEntries(SideFaceIndex(i, band), 1);
    }
    IgnoreResult(Outline->Remove(i));
    Build();
}

void ModelObject::AppendOutlinePoints(int32_t count)
{
    const int32_t n = OutlineCount();
    if (!IsPrimitive() || n < 1) return;
    for (int32_t k = 0; k < count; ++k) {
        for (int32_t band = BandCount() - 1; band >= 0; --band) InsertSurfaceEntries(SideFaceIndex(n, band), 1);
        const FixedPoint last = *Outline->At<FixedPoint>(n - 1);
        IgnoreResult(Outline->Insert(n, &last));  // out of memory leaves the edit half done (builders only)
    }
}

void ModelObject::DropOutlinePoints(int32_t count)
{
    const int32_t n = OutlineCount();
    if (!IsPrimitive() || count < 0 || count > n - 3) return;
    const int32_t index = n - count;
    for (int32_t k = 0; k < count; ++k) {
        for (int32_t band = BandCount() - 1; band >= 0; --band) RemoveSurfaceEntries(SideFaceIndex(index, band), 1);
        IgnoreResult(Outline->Remove(index));
    }
}

void ModelObject::MoveOutlinePoint(int32_t i, Fixed dx, Fixed dy)
{
    FixedPoint* p = IsPrimitive() && Outline ? Outline->At<FixedPoint>(i) : nullptr;
    if (!p) return;
    *p = {FixAdd(p->x, dx), FixAdd(p->y, dy)};
    Build();
}

void ModelObject::MoveOutlineEdge(int32_t i, Fixed dx, Fixed dy)
{
    const int32_t n = OutlineCount();
    if (!IsPrimitive() || i < 0 || i >= n) return;
    for (int32_t k : {i, i + 1 == n ? 0 : i + 1}) {
        FixedPoint* p = Outline->At<FixedPoint>(k);
        *p = {FixAdd(p->x, dx), FixAdd(p->y, dy)};
    }
    Build();
}

void ModelObject::AddSlice(PlaneRecord* plane)
{
    if (!IsPrimitive() || !plane) return;
    EnsureSliceList();
    if (!Slices) return;
    InsertSurfaceEntries(SliceFaceIndex(SliceCount()), 1);
    AppendPointer(Slices, plane);
    Build();
}

void ModelObject::RemoveSlice(PlaneRecord* plane)
{
    const int32_t k = FindPointer(Slices, plane);
    if (!IsPrimitive() || k < 0) return;
    DropFaceContacts(SliceFaceIndex(k), nullptr, -1, kRelationAny);
    RemoveSurfaceEntries(SliceFaceIndex(k), 1);
    IgnoreResult(Slices->Remove(k));
    Build();
}
