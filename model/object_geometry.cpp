// Object geometry records: face records, bounds, slicing, world normals, the point test and
// the contacts between the records of sibling objects.
#include "model/object_geometry.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <initializer_list>
#include <cstdlib>
#include <new>
#include <optional>
#include <vector>

#include "foundation/loop_turns.h"
#include "foundation/pointer_list.h"
#include "foundation/system_weights.h"
#include "foundation/ui_services.h"
#include "model/contact_list.h"
#include "model/geometry_pool.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/parting_bounds.h"
#include "model/parting_faces.h"
#include "model/plane_record.h"
#include "model/polygon_record.h"
#include "model/surface.h"
#include "model/transform.h"

namespace {

int16_t Midpoint(int16_t a, int16_t b)
{
    return int16_t((int32_t(a) + int32_t(b)) >> 1);
}

ShortVector3 RoundedVertex(const FixedVector3& v)
{
    return {ClampToShort(RoundFixed(v.x)), ClampToShort(RoundFixed(v.y)), ClampToShort(RoundFixed(v.z))};
}

const FixedVector3* WorldVertexOf(const PolygonRecord* record, int32_t position)
{
    const DynamicArray* vertices = record->Owner()->WorldVertices;
    return vertices ? vertices->At<FixedVector3>(record->IndexAt(position)) : nullptr;
}

// The steps of taking an entry from a heap of `size` entries: its depth.
int64_t HeapDepth(size_t size)
{
    return BitLength(uint32_t(size + 1));
}

// Against this many vertices or fewer a parting face is searched for depth first, without a heap.
constexpr int32_t kFewVertices = 16;
// Records of this many faces and more keep what the search for a parting face needs of them.
constexpr int32_t kSummarisedFaces = 64;

// The corners of a record's faces side by side, in the order of its faces, kept up to date as
// slices cut them: a slice finds the faces with a corner on the side it cuts away in one pass over
// them, without reaching each face's record.
class FaceCorners {
public:
    explicit FaceCorners(const ObjectGeometry& geometry)
    {
        starts_.push_back(0);
        for (int32_t i = 0; i < geometry.PolygonCount(); ++i) Take(geometry.PolygonAt(i));
        CountTurns(int64_t(corners_.size()) + geometry.PolygonCount() + 2 * kHeapBlockTurns);
    }
    int64_t CornerCount() const { return int64_t(corners_.size()); }
    // Whether a corner of the face lies below 0 (a corner past the values counts as 0).
    bool AnyBelow(int32_t face, const double* values, int32_t count) const
    {
        for (int32_t k = starts_[size_t(face)]; k < starts_[size_t(face) + 1]; ++k) {
            const int32_t vertex = corners_[size_t(k)];
            if (vertex >= 0 && vertex < count && values[vertex] < 0) return true;
        }
        return false;
    }
    // After a slice: the faces cut away go, those it reached take their records' corners again,
    // the others keep theirs, and a cap the slice added comes last.
    void Refresh(const ObjectGeometry& geometry, const std::vector<uint8_t>& reached,
                 const std::vector<uint8_t>& cutAway)
    {
        oldCorners_.swap(corners_);
        oldStarts_.swap(starts_);
        corners_.clear();
        starts_.assign(1, 0);
        const size_t faces = oldStarts_.size() - 1;
        int32_t at = 0;
        for (size_t i = 0; i < faces;) {
            if (cutAway[i]) {
                ++i;
                continue;
            }
            if (reached[i]) {
                Take(geometry.PolygonAt(at++));
                ++i;
                continue;
            }
            // A run of faces the slice did not reach moves over in one piece.
            size_t end = i;
            while (end < faces && !reached[end] && !cutAway[end]) ++end;
            const int32_t shift = int32_t(corners_.size()) - oldStarts_[i];
            corners_.insert(corners_.end(), oldCorners_.begin() + oldStarts_[i], oldCorners_.begin() + oldStarts_[end]);
            for (size_t f = i + 1; f <= end; ++f) starts_.push_back(oldStarts_[f] + shift);
            at += int32_t(end - i);
            i = end;
        }
        if (at < geometry.PolygonCount()) Take(geometry.PolygonAt(at));
        CountTurns(int64_t(corners_.size()) + int64_t(oldStarts_.size()));
    }

private:
    void Take(const PolygonRecord* record)
    {
        for (int32_t k = 0; k < record->VertexCount(); ++k) corners_.push_back(record->IndexAt(k));
        starts_.push_back(int32_t(corners_.size()));
    }

    std::vector<int16_t> corners_;
    std::vector<int32_t> starts_;  // where each face's corners begin, and where the last ends
    // The lists before a refresh, kept for the next so that their room is used again.
    std::vector<int16_t> oldCorners_;
    std::vector<int32_t> oldStarts_;
};

}  // namespace

ObjectGeometry* ObjectGeometry::New(ModelObject* owner)
{
    // The holder's records side by side where its pool has room, else one on its own.
    return New(owner, owner && owner->Holder ? owner->Holder->Geometries : nullptr);
}

ObjectGeometry* ObjectGeometry::New(ModelObject* owner, GeometryPool* pool)
{
    uint32_t number = 0;
    void* place = pool ? pool->Take(&number) : nullptr;
    if (!place) CountTurns(kHeapBlockTurns);
    ObjectGeometry* record = place ? new (place) ObjectGeometry : new (std::nothrow) ObjectGeometry;
    if (place) {
        record->Pool = pool;
        record->PoolNumber = number;
    }
    if (record && record->ObjectGeometryInit(owner) != kResultOk) {
        record->ObjectGeometryFree();
        return nullptr;
    }
    return record;
}

ResultCode ObjectGeometry::ObjectGeometryInit(ModelObject* owner)
{
    Owner = owner;
    Polygons = NewPointerList();
    return Polygons ? kResultOk : kResultOutOfMemory;
}

void ObjectGeometry::ObjectGeometryFree()
{
    // No partner that stays keeps a contact entry for a record that is gone.
    ClearContacts();
    DropParting();
    DestroyArray(Members);
    for (int32_t i = 0; i < PolygonCount(); ++i) PolygonAt(i)->PolygonRecordDestroy();
    DestroyArray(Polygons);
    DestroyArray(DrawList);
    DestroyArray(ScreenPoints);
    GeometryPool* pool = Pool;
    if (!pool) {
        delete this;
        return;
    }
    const uint32_t number = PoolNumber;
    this->~ObjectGeometry();
    pool->Give(this, number);
}

void ObjectGeometry::AddPolygonRecord(const DynamicArray* indices, int32_t face, Surface* surface)
{
    PolygonRecord* record = new (std::nothrow) PolygonRecord;
    if (!record) {
        NoteMemoryShort(Owner ? Owner->Holder : nullptr);
        return;
    }
    const ResultCode filled = record->PolygonRecordFill(this, surface, face, indices);
    if (filled != kResultOk || AppendPointer(Polygons, record) < 0) {
        if (filled == kResultOk || filled == kResultOutOfMemory) NoteMemoryShort(Owner ? Owner->Holder : nullptr);
        record->PolygonRecordDestroy();
        return;
    }
    if (surface) surface->AddFaceUser(record);
    NoteLayeringChanged(Owner ? Owner->Holder : nullptr);
    DropParting();
}

void ObjectGeometry::ReservePolygons(int32_t count)
{
    // Out of room, the records' own appends fail and say so.
    const int32_t held = PolygonCount();
    if (count > 0 && Polygons->ArraySetCount(held + count) == kResultOk) IgnoreResult(Polygons->ArraySetCount(held));
}

PolygonRecord* ObjectGeometry::FindPartById(int32_t face) const
{
    // Records are appended in rising face order and only ever removed, so the list stays sorted
    // by face and a search by halves finds a face's record. (Asked for every face of an object, a
    // scan from the start took a second for 30000 faces.)
    int32_t low = 0;
    int32_t high = PolygonCount() - 1;
    while (low <= high) {
        const int32_t middle = low + (high - low) / 2;
        PolygonRecord* record = PolygonAt(middle);
        if (record->FaceIndex == face) return record;
        if (record->FaceIndex < face) {
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    return nullptr;
}

void ObjectGeometry::ComputeBounds(int32_t which)
{
    ShortBox box = kEmptyShortBox;
    for (int32_t i = 0; i < PolygonCount(); ++i) PolygonAt(i)->FaceBounds(&box, which == 1 ? 1 : 2);
    CountTurns(PolygonCount());
    const ShortVector3 centre = {Midpoint(box.minimum.x, box.maximum.x), Midpoint(box.minimum.y, box.maximum.y),
                                 Midpoint(box.minimum.z, box.maximum.z)};
    if (which == 1) {
        LocalBox = box;
        LocalCentre = centre;
        return;
    }
    if (PolygonCount() == 0) {
        WorldBox = {{0, 0, 0}, {0, 0, 0}};
        WorldCentre = {0, 0, 0};
        WorldRadius = 0;
        return;
    }
    const double dx = double(box.maximum.x) - centre.x;
    const double dy = double(box.maximum.y) - centre.y;
    const double dz = double(box.maximum.z) - centre.z;
    WorldBox = box;
    WorldCentre = centre;
    WorldRadius = ClampToShort(int64_t(std::ceil(std::sqrt(dx * dx + dy * dy + dz * dz))));
}

void ObjectGeometry::ExtendBox(ShortBox* box, int32_t which) const
{
    UniteShortBox(*box, which == 1 ? LocalBox : WorldBox);
}

bool ObjectGeometry::PlaneValues(const PlaneRecord* plane, DynamicArray* output) const
{
    const DynamicArray* vertices = Owner->LocalVertices;
    const int32_t count = ListCount(vertices);
    if (output->ArraySetCount(count) != kResultOk) return false;
    const double a = Fix2X(plane->A);
    const double b = Fix2X(plane->B);
    const double c = Fix2X(plane->C);
    const double d = Fix2X(plane->D);
    const FixedVector3* v = count > 0 ? vertices->Elements<FixedVector3>() : nullptr;
    double* value = output->Elements<double>();
    bool below = false;
    for (int32_t i = 0; i < count; ++i) {
        value[i] = a * Fix2X(v[i].x) + b * Fix2X(v[i].y) + c * Fix2X(v[i].z) + d;
        below = below || value[i] < 0;
    }
    CountTurns(count);
    return below;
}

void ObjectGeometry::CutBySlices()
{
    const DynamicArray* slices = Owner->Slices;
    if (!slices || PolygonCount() == 0) return;
    DropParting();
    ReadBudget& budget = Owner->Holder->Budget;
    DynamicArray* distances = NewDynamicArray(0, int32_t(sizeof(double)), 4);
    DynamicArray* segments = NewDynamicArray(0, int32_t(sizeof(uint32_t)), 4);
    DynamicArray* loop = NewDynamicArray(0, int32_t(sizeof(int16_t)), 4);
    // The corners that a face the slice cuts keeps, gathered for each such face in turn.
    DynamicArray* kept = NewDynamicArray(0, int32_t(sizeof(int16_t)), 4);
    // Cut points shared by neighbouring faces are found by position (a scan of the vertex list
    // for each cut edge took seconds for an object of many faces and slices), in a lookup made
    // when the first slice cuts.
    std::optional<VertexLookup> lookup;
    std::vector<uint8_t> cutAway;
    std::vector<uint8_t> reached;
    // The first cut edge leaving each vertex (-1: none), as far as the vertices that cut edges have
    // reached, and whether the chain took each edge.
    std::vector<int32_t> firstLeaving;
    std::vector<uint8_t> taken;
    FaceCorners faceCorners(*this);
    // Once no face is left, no slice has anything to cut or to close.
    int32_t k = 0;
    for (; distances && segments && loop && kept && k < ListCount(slices) && PolygonCount() > 0; ++k) {
        const PlaneRecord* plane = PointerAt<PlaneRecord>(slices, k);
        if (!plane) continue;
        SetCursorShape(kWaitCursor);
        // A slice measures every vertex, and where one lies on the side it cuts away, walks every
        // corner of every face, and keeps and copies those of the faces it reaches: a read spends
        // them on its budget as they come, and past it stops (the read fails). A slice that keeps
        // every vertex keeps every face whole (each has three distinct corners), and cuts nothing;
        // so does it every face whose corners it keeps.
        if (!budget.Spend(ReadCost::kSliceCuts, ListCount(Owner->LocalVertices))) break;
        if (!PlaneValues(plane, distances)) continue;
        if (!budget.Spend(ReadCost::kSliceCuts, PolygonCount() + faceCorners.CornerCount())) break;
        if (!lookup) lookup.emplace(Owner->LocalVertices);
        IgnoreResult(segments->ArraySetCount(0));
        cutAway.assign(size_t(PolygonCount()), 0);
        reached.assign(size_t(PolygonCount()), 0);
        const double* values = distances->Elements<double>();
        const int32_t measured = distances->ArrayCount();
        int32_t reachedFaces = 0;
        for (int32_t i = PolygonCount() - 1; i >= 0; --i) {
            if (!faceCorners.AnyBelow(i, values, measured)) continue;
            reached[size_t(i)] = 1;
            ++reachedFaces;
            if (!PolygonAt(i)->SliceFace(plane, distances, segments, &*lookup, kept)) cutAway[size_t(i)] = 1;
        }
        CountTurns(faceCorners.CornerCount() + PolygonCount());
        // Vertices below that no face names leave every face as it was.
        if (reachedFaces == 0) continue;
        DiscardPolygons(cutAway);
        const int32_t count = segments->ArrayCount();
        if (count == 0) {
            faceCorners.Refresh(*this, reached, cutAway);
            continue;
        }
        if (!budget.Spend(ReadCost::kSliceCuts, count)) break;
        // Chain the cut edges into one loop: from the first edge's start, each step takes the first
        // edge leaving the point where the last one ended, until one ends at the start. A chain that
        // comes to an edge it took goes round without coming back, and makes no cap; nor does one
        // that finds no edge to take.
        auto first = [segments](int32_t i) { return int32_t(*segments->At<uint32_t>(i) >> 16); };
        auto second = [segments](int32_t i) { return int32_t(*segments->At<uint32_t>(i) & 0xFFFF); };
        // Cut points are vertices of the object: the table reaches as far as its vertices do.
        const size_t vertices = size_t(ListCount(Owner->LocalVertices));
        CountTurns(int64_t(vertices - std::min(vertices, firstLeaving.size())));
        if (firstLeaving.size() < vertices) firstLeaving.resize(vertices, -1);
        for (int32_t j = count - 1; j >= 0; --j) firstLeaving[size_t(first(j))] = j;
        taken.assign(size_t(count), 0);
        IgnoreResult(loop->ArraySetCount(0));
        const int32_t start = first(0);
        int32_t current = 0;
        bool closed = false;
        while (current >= 0 && !taken[size_t(current)]) {
            taken[size_t(current)] = 1;
            const int16_t index = int16_t(first(current));
            loop->Append(&index);
            const int32_t next = second(current);
            if (next == start) {
                closed = true;
                break;
            }
            current = firstLeaving[size_t(next)];
        }
        for (int32_t j = 0; j < count; ++j) firstLeaving[size_t(first(j))] = -1;
        CountTurns(3 * int64_t(count) + loop->ArrayCount());
        if (closed && loop->ArrayCount() >= 3) {
            const int32_t face = Owner->SliceFaceIndex(k);
            AddPolygonRecord(loop, face, Owner->SurfaceOfFace(face));
        }
        faceCorners.Refresh(*this, reached, cutAway);
    }
    CountTurns(k);
    for (DynamicArray* list : {distances, segments, loop, kept}) {
        if (list) list->Destroy();
    }
}

void ObjectGeometry::DiscardPolygons(const std::vector<uint8_t>& discarded)
{
    // The records that stay close up in one pass, in their order: removed one at a time, each
    // would move every record after it.
    int32_t kept = 0;
    while (kept < PolygonCount() && !discarded[size_t(kept)]) ++kept;
    CountTurns(kept);
    if (kept == PolygonCount()) return;
    DropParting();
    for (int32_t i = kept; i < PolygonCount(); ++i) {
        PolygonRecord* record = PolygonAt(i);
        if (!discarded[size_t(i)]) {
            IgnoreResult(SetPointer(Polygons, kept++, record));
            continue;
        }
        NoteLayeringChanged(Owner ? Owner->Holder : nullptr);
        if (record->FaceSurface) record->FaceSurface->RemoveFaceUser(record);
        record->PolygonRecordDestroy();
    }
    CountTurns(PolygonCount());
    IgnoreResult(Polygons->ArraySetCount(kept));
}

void ObjectGeometry::RemoveDegenerateRecords()
{
    std::vector<uint8_t> degenerate;
    for (int32_t i = 0; i < PolygonCount(); ++i) {
        if (!(PolygonAt(i)->Normal == ShortVector3{0, 0, 0})) continue;
        degenerate.resize(size_t(PolygonCount()), 0);
        degenerate[size_t(i)] = 1;
    }
    if (!degenerate.empty()) DiscardPolygons(degenerate);
}

void ObjectGeometry::UpdateWorldPlanes(const FaceLights& lights)
{
    DropParting();
    const Transform* world = Owner->WorldTransform;
    int32_t negative = 0;
    for (int i = 0; i < 3; ++i) negative += world->Scale[i] < 0 ? 1 : 0;
    const uint8_t mirrored = (negative & 1) ? 1 : 0;
    const int32_t flip = mirrored != Mirrored;
    Mirrored = mirrored;

    Transform* scale = nullptr;
    Transform* shear = nullptr;
    Transform* rotation = nullptr;
    auto make = []() {
        Transform* t = new (std::nothrow) Transform;
        if (t) t->TransformInit();
        return t;
    };
    if (world->Scale[0] != kFixedOne || world->Scale[1] != kFixedOne || world->Scale[2] != kFixedOne) {
        scale = make();
        if (scale) {
            scale->SetScale(FixDiv(kFixedOne, world->Scale[0]), FixDiv(kFixedOne, world->Scale[1]),
                            FixDiv(kFixedOne, world->Scale[2]));
        }
    }
    if (world->Shear[0] != 0 || world->Shear[1] != 0 || world->Shear[2] != 0) {
        shear = make();
        if (shear) shear->SetShear(world->Shear[0], world->Shear[1], world->Shear[2]);
    }
    if (world->Rotation[0] != 0 || world->Rotation[1] != 0 || world->Rotation[2] != 0) {
        rotation = make();
        if (rotation) rotation->SetRotation(world->Rotation[0], world->Rotation[1], world->Rotation[2]);
    }

    bool smooth = false;
    for (int32_t i = 0; i < PolygonCount() && !smooth; ++i) {
        smooth = PolygonAt(i)->GetSideAttribute(kSideFront) == 1 || PolygonAt(i)->GetSideAttribute(kSideBack) == 1;
    }
    // The faces around a vertex are found only when a smooth side asks for them.
    const VertexFaces around(this);
    if (smooth) {
        for (int32_t i = 0; i < PolygonCount(); ++i) PolygonAt(i)->PrepareFaceUnlit(rotation, shear, scale, flip);
        for (int32_t i = 0; i < PolygonCount(); ++i) PolygonAt(i)->LightFace(around, lights);
    } else {
        for (int32_t i = 0; i < PolygonCount(); ++i)
            PolygonAt(i)->PrepareFace(rotation, shear, scale, flip, around, lights);
    }
    CountTurns(int64_t(smooth ? 3 : 1) * PolygonCount());
    for (Transform* t : {scale, shear, rotation}) {
        if (t) t->TransformFree();
    }
}

void ObjectGeometry::RefreshRecordShading(const FaceLights& lights)
{
    // Smooth-shaded sides average the normals of the faces around each vertex: found once for
    // the record rather than by a scan of every face for every vertex (minutes for a large
    // smooth object).
    const VertexFaces around(this);
    for (int32_t i = 0; i < PolygonCount(); ++i) PolygonAt(i)->LightFace(around, lights);
    CountTurns(PolygonCount());
}

void ObjectGeometry::ReleaseRecordCaches()
{
    for (int32_t i = 0; i < PolygonCount(); ++i) PolygonAt(i)->ReleaseFacePairs();
}

int32_t ObjectGeometry::HitTestPolygonObject(int16_t x, int16_t y, int16_t z) const
{
    // A record that belongs to no object holds no point.
    if (!Owner) return kHitOutside;
    if (Owner->IsWorldRoot()) return kHitInside;
    if (x < WorldBox.minimum.x || y < WorldBox.minimum.y || z < WorldBox.minimum.z || x > WorldBox.maximum.x ||
        y > WorldBox.maximum.y || z > WorldBox.maximum.z) {
        return kHitOutside;
    }
    const int64_t dx = int64_t(x) - WorldCentre.x;
    const int64_t dy = int64_t(y) - WorldCentre.y;
    const int64_t dz = int64_t(z) - WorldCentre.z;
    if (dx * dx + dy * dy + dz * dz > int64_t(WorldRadius) * WorldRadius) return kHitOutside;
    if (PolygonCount() == 0) return kHitOutside;
    bool onSurface = false;
    for (int32_t i = 0; i < PolygonCount(); ++i) {
        const PolygonRecord* record = PolygonAt(i);
        const FixedVector3* vertex = WorldVertexOf(record, 0);
        if (!vertex) continue;
        const ShortVector3 v = RoundedVertex(*vertex);
        const ShortVector3& n = record->WorldNormal;
        const int64_t ex = int64_t(v.x) - x;
        const int64_t ey = int64_t(v.y) - y;
        const int64_t ez = int64_t(v.z) - z;
        const int64_t d = n.x * ex + n.y * ey + n.z * ez;
        const int64_t tolerance = (std::llabs(ex) + std::llabs(ey) + std::llabs(ez)) >> 1;
        if (d < -tolerance) return kHitOutside;
        if (d <= tolerance) onSurface = true;
    }
    return onSurface ? kHitOnSurface : kHitInside;
}

void ObjectGeometry::AddMembers(ModelObject* node)
{
    if (!Members) Members = NewPointerList();
    if (!DrawList) DrawList = NewContactList();
    if (!Members) return;
    for (int32_t i = 0; i < node->GeometryCount(); ++i) AppendPointer(Members, node->GeometryAt(i));
}

void ObjectGeometry::RemoveMembersOf(const ModelObject* node)
{
    // A read spends the members searched on its budget. Past it the read fails, and they are
    // taken out all the same: no record may be left among the members once it goes.
    if (Owner) Owner->Holder->Budget.Spend(ReadCost::kTreeWalks, int64_t(ListCount(Members)) + ListCount(DrawList));
    for (DynamicArray* list : {Members, DrawList}) {
        for (int32_t i = ListCount(list) - 1; i >= 0; --i) {
            const ObjectGeometry* member = PointerAt<ObjectGeometry>(list, i);
            if (member && member->Owner == node) IgnoreResult(list->Remove(i));
        }
    }
}

bool ObjectGeometry::ContactRoomFor(int32_t more)
{
    // A full list moves to a block of the next length: a record of a dense scene meets its
    // neighbours by the dozen.
    while (!Contacts || contactCount_ + more > ContactRoom::Entries(contactLength_)) {
        ContactRoom* room = Pool->Contacts();
        const int32_t length = Contacts ? contactLength_ + 1 : 0;
        ContactItem* block = room->Take(length);
        if (!block) return false;
        std::copy(Contacts, Contacts + contactCount_, block);
        CountTurns(contactCount_);
        room->Give(Contacts, contactLength_);
        Contacts = block;
        contactLength_ = int8_t(length);
    }
    return true;
}

void ObjectGeometry::AddGeometryContact(ObjectGeometry* other, const ShortVector3& point, const ShortVector3& normal,
                                        bool shared)
{
    // Items name records by their numbers in the pool: a record made on its own, for want of room
    // in the pool, has no contacts.
    uint32_t plane = 0;
    if (!Pool || other->Pool != Pool || !ContactRoomFor(other == this ? 2 : 1) || !other->ContactRoomFor(1) ||
        !Pool->Contacts()->UsePlane(point, normal, shared, &plane)) {
        NoteMemoryShort(Owner ? Owner->Holder : nullptr);
        return;
    }
    Contacts[contactCount_++] = {other->PoolNumber, plane << 1};
    other->Contacts[other->contactCount_++] = {PoolNumber, plane << 1 | 1};
}

void ObjectGeometry::RemoveContactWith(const ObjectGeometry* other)
{
    if (other->Pool != Pool) return;
    for (int32_t i = 0; i < contactCount_; ++i) {
        if (Contacts[i].OtherNumber == other->PoolNumber) {
            Pool->Contacts()->LeavePlane(Contacts[i].Plane >> 1);
            std::copy(Contacts + i + 1, Contacts + contactCount_, Contacts + i);
            CountTurns(contactCount_ - i);
            --contactCount_;
            return;
        }
    }
}

void ObjectGeometry::ClearContacts()
{
    if (!Contacts) return;
    ContactRoom* room = Pool->Contacts();
    for (int32_t i = 0; i < contactCount_; ++i) {
        ObjectGeometry* other = ContactOther(i);
        if (other != this && !(other->Owner && other->Owner->IsLeaving())) other->RemoveContactWith(this);
        room->LeavePlane(Contacts[i].Plane >> 1);
    }
    room->Give(Contacts, contactLength_);
    Contacts = nullptr;
    contactCount_ = 0;
}

const PartingSummary* ObjectGeometry::Parting(PartingSummary* scratch)
{
    if (partingSummary_) return partingSummary_;
    ModelHolder* holder = Owner->Holder;
    if (scratch == &holder->PartingScratch && partingScratchMark_ != 0 &&
        partingScratchMark_ == holder->PartingScratchMark) {
        return scratch;
    }
    // A record of few faces keeps no summary: the vertices of its face table are counted again
    // for each search into the scratch summary, which costs less than the room a summary takes,
    // and its faces are compared one by one. A record of many has every face, corner and vertex
    // counted and its faces sorted by kind. A read spends them on its budget, and past it has no
    // summary (the read fails).
    const bool kept = PolygonCount() >= kSummarisedFaces;
    const DynamicArray* vertices = Owner->WorldVertices;
    const PartingFaces* few = kept ? nullptr : FewFaces();
    int64_t corners = 0;
    if (kept) {
        for (int32_t j = 0; j < PolygonCount(); ++j) corners += PolygonAt(j)->VertexCount();
        CountTurns(PolygonCount());
    }
    const int64_t work = kept ? corners + 2 * int64_t(PolygonCount()) + ListCount(vertices) : few ? few->UseCount() : 0;
    if ((!kept && !few) || !holder->Budget.Spend(ReadCost::kContactSearch, work)) return nullptr;
    PartingSummary* summary = kept ? new (std::nothrow) PartingSummary : scratch;
    if (!summary) {
        NoteMemoryShort(Owner->Holder);
        return nullptr;
    }
    if (kept) {
        partingSummary_ = summary;
    } else {
        summary->sums = VertexSums();
        if (summary == &holder->PartingScratch) {
            partingScratchMark_ = holder->PartingScratchMark = ++holder->PartingScratchMarks;
        }
    }
    // Each vertex once with the number of faces naming it, in the order of the vertex list.
    VertexSums& sums = summary->sums;
    auto account = [&sums](const FixedVector3* vertex, int64_t count) {
        sums.counted += count;
        const Fixed coordinates[3] = {vertex->x, vertex->y, vertex->z};
        for (int32_t axis = 0; axis < 3; ++axis) {
            sums.total[axis] += coordinates[axis] * count;
            sums.lowest[axis] = std::min<int64_t>(sums.lowest[axis], coordinates[axis]);
            sums.highest[axis] = std::max<int64_t>(sums.highest[axis], coordinates[axis]);
        }
    };
    if (kept) {
        std::vector<int32_t> named(size_t(ListCount(vertices)), 0);
        for (int32_t j = 0; j < PolygonCount(); ++j) {
            const PolygonRecord* face = PolygonAt(j);
            for (int32_t k = 0; k < face->VertexCount(); ++k) {
                const int32_t index = face->IndexAt(k);
                if (index >= 0 && size_t(index) < named.size()) ++named[size_t(index)];
            }
        }
        // Made at its length at once: the system's heap takes long to find room, more so for a
        // list that grows.
        summary->uses.reserve(size_t(named.size() - size_t(std::count(named.begin(), named.end(), 0))));
        for (size_t index = 0; index < named.size(); ++index) {
            if (named[index] == 0) continue;
            summary->uses.push_back({vertices->At<FixedVector3>(int32_t(index)), named[index]});
            account(summary->uses.back().vertex, named[index]);
        }
        CountTurns(corners + 2 * int64_t(named.size()));
    } else {
        std::vector<VertexUse>& uses = summary->uses;
        uses.clear();
        for (int32_t j = 0; j < few->UseCount(); ++j) {
            const PartingUse& use = few->Use(j);
            uses.push_back({&use.vertex, use.count});
            account(&use.vertex, use.count);
        }
        CountTurns(few->UseCount());
    }
    if (summary->uses.empty()) {
        for (int32_t axis = 0; axis < 3; ++axis) sums.lowest[axis] = sums.highest[axis] = 0;
    }
    if (!kept) return summary;
    // The first face of each kind: sorted by kind, then by face, the first of each run of a kind.
    std::vector<FaceKind>& kinds = summary->faceKinds;
    kinds.reserve(size_t(PolygonCount()));
    for (int32_t i = 0; i < PolygonCount(); ++i) {
        const PolygonRecord* face = PolygonAt(i);
        if (const FixedVector3* q = WorldVertexOf(face, 0)) kinds.push_back({i, face->WorldNormal, *q});
    }
    // -1, 0 or 1 as a's kind comes before, with or after b's: by normal, then by the first vertex
    // along the axes the normal has a part on.
    auto order = [](const FaceKind& a, const FaceKind& b) {
        const int16_t na[3] = {a.normal.x, a.normal.y, a.normal.z};
        const int16_t nb[3] = {b.normal.x, b.normal.y, b.normal.z};
        for (int32_t axis = 0; axis < 3; ++axis) {
            if (na[axis] != nb[axis]) return na[axis] < nb[axis] ? -1 : 1;
        }
        const Fixed qa[3] = {a.first.x, a.first.y, a.first.z};
        const Fixed qb[3] = {b.first.x, b.first.y, b.first.z};
        for (int32_t axis = 0; axis < 3; ++axis) {
            if (na[axis] != 0 && qa[axis] != qb[axis]) return qa[axis] < qb[axis] ? -1 : 1;
        }
        return 0;
    };
    std::sort(kinds.begin(), kinds.end(), [&order](const FaceKind& a, const FaceKind& b) {
        const int32_t sign = order(a, b);
        return sign < 0 || (sign == 0 && a.face < b.face);
    });
    kinds.erase(std::unique(kinds.begin(), kinds.end(),
                            [&order](const FaceKind& a, const FaceKind& b) { return order(a, b) == 0; }),
                kinds.end());
    // The faces of a flat ground are of one kind: the room of all of them is given back.
    if (kinds.size() < kinds.capacity() / 2) kinds.shrink_to_fit();
    CountTurns(3 * PolygonCount());
    if (!Owner->Holder->Budget.Spend(ReadCost::kContactSearch, summary->runs.Build(&summary->faceKinds))) {
        DropParting();
        return nullptr;
    }
    return summary;
}

const PartingFaces* ObjectGeometry::FewFaces()
{
    if (partingFaces_) return partingFaces_;
    int64_t steps = 0;
    partingFaces_ = PartingFaces::Make(*this, &steps);
    if (!partingFaces_) NoteMemoryShort(Owner->Holder);
    if (!Owner->Holder->Budget.Spend(ReadCost::kContactSearch, steps)) return nullptr;
    return partingFaces_;
}

void ObjectGeometry::DropParting()
{
    delete partingSummary_;
    partingSummary_ = nullptr;
    PartingFaces::Free(partingFaces_);
    partingFaces_ = nullptr;
    partingScratchMark_ = 0;
}

int32_t ObjectGeometry::FindSeparatingFace(ObjectGeometry* other, ShortVector3* normal, ShortVector3* point)
{
    const bool kept = PolygonCount() >= kSummarisedFaces;
    // The summary of a record of few faces is made in the holder's scratch, whose room stays.
    PartingSummary* scratch = &Owner->Holder->PartingScratch;
    const PartingSummary* theirs = other->Parting(scratch);
    const PartingSummary* own = kept ? Parting(nullptr) : nullptr;
    // The faces of a record of few are read from its table, side by side.
    const PartingFaces* few = kept ? nullptr : FewFaces();
    ReadBudget& budget = Owner->Holder->Budget;
    if (!theirs || (kept ? !own : !few)) return 0;
    const auto& uses = theirs->uses;
    // The other record's own summary, where it keeps one: its vertices may be laid out in it.
    PartingSummary* layout = other->partingSummary_ == theirs ? other->partingSummary_ : nullptr;
    // The face chosen parts the records with the largest sum of the other's vertices' offsets
    // from its plane, the first face of those with the same sum. The faces of a record of few are
    // compared one by one, in their order. Those of a record kept are compared by kind, in runs
    // of kinds near each other whose sums are bounded together: a run whose bound falls below the
    // best sum found holds no face that parts the records better, and is left, and the search
    // mostly ends after a few runs. (A face whose sum equals the best has a bound no lower, and is
    // compared too.)
    struct Candidate {
        double bound;
        int32_t face;
        ShortVector3 normal;
        const FixedVector3* first;
        int32_t kind;  // of a record kept
    };
    // The faces walked and taken, the runs bounded and taken and the vertices compared are spent
    // as they are.
    BudgetMeter meter(budget, ReadCost::kContactSearch);
    // The face of kind k with the bound on its sum when it faces the other record, else a bound
    // below 0 (a face that parts them has a sum of 0 or more): a run or kind bounded below 0, or
    // below the best sum found, is left.
    auto candidateOf = [&](int32_t k) -> Candidate {
        const int32_t face = kept ? own->faceKinds[size_t(k)].face : k;
        const FixedVector3* q =
            kept ? &own->faceKinds[size_t(k)].first : few->Face(k).first >= 0 ? &few->Use(few->Face(k).first).vertex : nullptr;
        if (!q) return {-1, face, {0, 0, 0}, nullptr, k};
        const ShortVector3 n = kept ? own->faceKinds[size_t(k)].normal : few->Face(k).normal;
        const ShortVector3 rounded = RoundedVertex(*q);
        const int64_t facing = n.x * (int64_t(other->WorldCentre.x) - rounded.x) +
                               n.y * (int64_t(other->WorldCentre.y) - rounded.y) +
                               n.z * (int64_t(other->WorldCentre.z) - rounded.z);
        if (facing < 0) return {-1, face, n, q, k};
        // The faces of few are compared as they come, bounded by the other's box alone.
        return {kept ? PartingBound(n, *q, theirs->sums) : HUGE_VAL, face, n, q, k};
    };

    int64_t best = -1;
    int32_t chosen = -1;
    int32_t chosenKind = -1;
    // The chosen face's normal and first vertex, as the table or the kinds hold them.
    ShortVector3 chosenNormal = {0, 0, 0};
    const FixedVector3* chosenFirst = nullptr;
    size_t witness = 0;  // the vertex behind the face last refused, tried first on the next
    // Compares the candidate when it may part the records as well as the best so far; false once
    // the read's budget is passed.
    auto compare = [&](const Candidate& candidate) {
        if (candidate.bound < 0 || candidate.bound < double(best)) return true;
        const FixedVector3& q = *candidate.first;
        const ShortVector3& n = candidate.normal;
        // A face whose sum cannot come above the best, nor to it before the face chosen, is left:
        // a sum is no more than the far side of the other's box gives every vertex.
        const int64_t most = PartingCeiling(n, q, theirs->sums);
        if (most < best || (most == best && candidate.face > chosen)) return meter.Add(1);
        // A face with any vertex of the other record behind it is refused; neighbouring faces
        // are mostly refused by the same vertex.
        if (!uses.empty() && PlaneOffset(n, q, *uses[witness].vertex) < 0) return meter.Add(1);
        int64_t sum = 0;
        bool fails = false;
        int64_t steps = 0;
        // The vertices of a record kept are laid out once the walks over them have come to what
        // laying them out takes: a vertex behind the face, or their sum, is then found in about
        // the logarithm of their number, where a walk may take every one of them.
        if (layout && !layout->vertices.Built() && layout->walked >= PartingVertices::BuildSteps(uses.size())) {
            steps += layout->vertices.Build(&layout->uses);
        }
        if (layout && layout->vertices.Built() && layout->vertices.Holds(q)) {
            const int64_t behind = layout->vertices.Behind(uses, n, q, &steps);
            fails = behind >= 0;
            if (fails) {
                witness = size_t(behind);
            } else {
                sum = layout->vertices.Sum(n, q, &steps);
            }
        } else {
            size_t j = 0;
            for (; j < uses.size() && !fails; ++j) {
                const int64_t s = PlaneOffset(n, q, *uses[j].vertex);
                if (s < 0) {
                    fails = true;
                    witness = j;
                } else {
                    sum += s * uses[j].count;
                }
            }
            CountTurns(int64_t(j));
            steps += int64_t(j);
            if (layout) layout->walked += int64_t(j);
        }
        if (!fails && (sum > best || (sum == best && candidate.face < chosen))) {
            best = sum;
            chosen = candidate.face;
            chosenKind = candidate.kind;
            chosenNormal = n;
            chosenFirst = &q;
        }
        return meter.Add(1 + steps);
    };
    if (!kept) {
        int32_t k = 0;
        bool going = meter.Add(few->FaceCount());
        for (; going && k < few->FaceCount(); ++k) going = compare(candidateOf(k));
        CountTurns(k);
    } else {
        // The runs are taken depth first from the whole, the half of the higher bound first, and
        // the kinds of a run compared as they come. Against many vertices, where a compare may walk
        // every one of them, runs and kinds are taken from a heap instead, the highest bound first,
        // so that the best sum is found early and only a kind that may part the records better is
        // compared.
        const bool heap = uses.size() > size_t(kFewVertices);
        using Open = PartingSummary::Open;
        auto after = [](const Open& a, const Open& b) { return a.bound < b.bound; };
        const KindRuns& runs = own->runs;
        // The holder's list, whose room stays from one search to the next: a list made for each
        // search would take blocks of every length up to its longest from the heap and give them
        // back, and the system's heap finds room slowly among the blocks given back.
        std::vector<Open>& open = Owner->Holder->PartingScratch.open;
        open.assign(1, {runs.Bound(KindRuns::kWhole, theirs->sums), KindRuns::kWhole, false});
        auto put = [&](const Open& entry) {
            open.push_back(entry);
            if (heap) std::push_heap(open.begin(), open.end(), after);
        };
        int64_t steps = 0;
        bool going = meter.Add(1);
        // The kind that parted this record from the last one searched is compared first: the
        // neighbours of a record searched one after another are mostly parted best by the same
        // faces, and a best sum found at once leaves the runs below it.
        if (going && own->lastKind >= 0 && size_t(own->lastKind) < own->faceKinds.size()) {
            going = compare(candidateOf(own->lastKind));
        }
        while (going && !open.empty()) {
            // Taking an entry from the heap steps down its depth; putting one on it mostly a step
            // or two.
            int64_t taken = heap ? HeapDepth(open.size()) : 1;
            if (heap) std::pop_heap(open.begin(), open.end(), after);
            const Open top = open.back();
            open.pop_back();
            if (top.bound < std::max(double(best), 0.0)) {
                // Below the best: so is everything left on a heap.
                if (heap) open.clear();
            } else if (top.kind) {
                const FaceKind& kind = own->faceKinds[size_t(top.index)];
                going = compare({top.bound, kind.face, kind.normal, &kind.first, top.index});
            } else if (runs.Half(top.index, 0) < 0) {
                const int32_t end = runs.First(top.index) + runs.Count(top.index);
                int32_t k = runs.First(top.index);
                for (; going && k < end; ++k) {
                    const Candidate candidate = candidateOf(k);
                    if (!heap) {
                        going = compare(candidate);
                    } else if (candidate.bound >= 0 && candidate.bound >= double(best)) {
                        put({candidate.bound, k, true});
                        taken += 2;
                    }
                }
                taken += k - runs.First(top.index);
            } else {
                Open halves[2];
                for (int32_t which = 0; which < 2; ++which) {
                    const int32_t half = runs.Half(top.index, which);
                    halves[which] = {runs.Bound(half, theirs->sums), half, false};
                }
                // Depth first, the higher half is taken next.
                if (halves[0].bound > halves[1].bound) std::swap(halves[0], halves[1]);
                for (const Open& half : halves) {
                    if (half.bound >= std::max(double(best), 0.0)) put(half);
                }
                taken += heap ? 6 : 2;
            }
            steps += taken;
            going = going && meter.Add(taken);
        }
        CountTurns(steps);
    }
    if (kept && chosenKind >= 0) partingSummary_->lastKind = chosenKind;
    if (budget.Passed() || chosen < 0) return 0;
    *normal = chosenNormal;
    *point = RoundedVertex(*chosenFirst);
    return 1;
}

void ObjectGeometry::FindContact(ObjectGeometry* other)
{
    // A pair of records has one contact at most.
    for (int32_t i = 0; i < contactCount_; ++i) {
        if (other->Pool == Pool && Contacts[i].OtherNumber == other->PoolNumber) return;
    }
    FindNewContact(other);
}

void ObjectGeometry::FindNewContact(ObjectGeometry* other)
{
    ObjectGeometry* g = this;
    ObjectGeometry* h = other;
    auto overlaps = [g, h](int axis) {
        const int16_t* gmin = &g->WorldBox.minimum.x;
        const int16_t* gmax = &g->WorldBox.maximum.x;
        const int16_t* hmin = &h->WorldBox.minimum.x;
        const int16_t* hmax = &h->WorldBox.maximum.x;
        return hmin[axis] < gmax[axis] && gmin[axis] < hmax[axis];
    };
    if (!overlaps(0) && !overlaps(1) && !overlaps(2)) return;
    const int64_t dx = int64_t(h->WorldCentre.x) - g->WorldCentre.x;
    const int64_t dy = int64_t(h->WorldCentre.y) - g->WorldCentre.y;
    const int64_t dz = int64_t(h->WorldCentre.z) - g->WorldCentre.z;
    const int64_t distanceSquared = dx * dx + dy * dy + dz * dz;
    const int64_t reach = int64_t(g->WorldRadius) + h->WorldRadius;
    if (distanceSquared >= reach * reach) return;
    // The pair gets a contact: a read spends it on its budget, and past it gives up (the read
    // fails).
    if (!Owner->Holder->Budget.Spend(ReadCost::kContactPairs, 1)) return;

    ShortVector3 normal = {0, 0, 0};
    ShortVector3 point = {0, 0, 0};
    auto fromG = [&]() { return g->FindSeparatingFace(h, &normal, &point) != 0; };
    auto fromH = [&]() {
        if (!h->FindSeparatingFace(g, &normal, &point)) return false;
        normal = {ClampToShort(-int32_t(normal.x)), ClampToShort(-int32_t(normal.y)), ClampToShort(-int32_t(normal.z))};
        return true;
    };
    const bool found = h->WorldRadius < g->WorldRadius ? (fromG() || fromH()) : (fromH() || fromG());
    if (!found) {
        const int64_t rg = int64_t(g->WorldRadius) * g->WorldRadius;
        const int64_t rh = int64_t(h->WorldRadius) * h->WorldRadius;
        const int64_t weight = rg + rh;
        auto blend = [&](int16_t gc, int16_t hc) {
            return weight == 0 ? gc : ClampToShort((int64_t(gc) * rh + int64_t(hc) * rg) / weight);
        };
        point = {blend(g->WorldCentre.x, h->WorldCentre.x), blend(g->WorldCentre.y, h->WorldCentre.y),
                 blend(g->WorldCentre.z, h->WorldCentre.z)};
        // The distance is the fixed-point arithmetic's integer root of its square (a square past
        // that root's 32-bit range takes its largest root, 32766, as any square above 32767
        // squared does).
        const int64_t length = IntSqrt(int32_t(std::min<int64_t>(distanceSquared, INT32_MAX)));
        if (length != 0) {
            normal = {ClampToShort(dx * 256 / length), ClampToShort(dy * 256 / length), ClampToShort(dz * 256 / length)};
        }
    }
    g->AddGeometryContact(h, point, normal, found);
}
