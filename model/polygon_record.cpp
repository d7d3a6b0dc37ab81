// Polygon records: normals, lighting, slicing and the per-side lookups.
#include "model/polygon_record.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <new>

#include "foundation/loop_turns.h"
#include "foundation/pointer_list.h"
#include "foundation/system_weights.h"
#include "foundation/ui_services.h"
#include "model/drawing_services.h"
#include "model/light.h"
#include "model/lighting_math.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "model/plane_record.h"
#include "model/polygon_element.h"
#include "model/surface.h"
#include "model/transform.h"

namespace {

DynamicArray* NewIndexList()
{
    return NewDynamicArray(0, int32_t(sizeof(int16_t)), 4);
}

// The number of halvings that bring |v| to 16383 or less.
int32_t ShiftToFit(int64_t v)
{
    uint64_t magnitude = v < 0 ? uint64_t(0) - uint64_t(v) : uint64_t(v);
    int32_t count = 0;
    while (magnitude > 16383) {
        magnitude >>= 1;
        ++count;
    }
    return count;
}

FixedVector3 PointOnEdge(const FixedVector3& from, const FixedVector3& to, double t)
{
    auto along = [t](Fixed a, Fixed b) { return X2Fix(Fix2X(a) + (Fix2X(b) - Fix2X(a)) * t); };
    return {along(from.x, to.x), along(from.y, to.y), along(from.z, to.z)};
}

}  // namespace

ShortVector3 NormaliseShort(int32_t x, int32_t y, int32_t z)
{
    int64_t v[3] = {x, y, z};
    for (int axis = 0; axis < 3; ++axis) {
        const int32_t shift = ShiftToFit(v[axis]);
        for (int64_t& c : v) c >>= shift;
    }
    const int32_t length = IntSqrt(int32_t(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]));
    if (length == 0) return {0, 0, 0};
    return {int16_t(v[0] * 256 / length), int16_t(v[1] * 256 / length), int16_t(v[2] * 256 / length)};
}

ModelObject* PolygonRecord::Owner() const
{
    return Geometry ? Geometry->Owner : nullptr;
}

ResultCode PolygonRecord::PolygonRecordFill(ObjectGeometry* geometry, Surface* surface, int32_t faceIndex,
                                            const DynamicArray* indices)
{
    SetCursorShape(kWaitCursor);
    Geometry = geometry;
    FaceSurface = surface;
    FaceIndex = int16_t(faceIndex);
    Indices = NewIndexList();
    if (!Indices || indices->ArrayCopyTo(Indices) != kResultOk) return kResultOutOfMemory;
    const ResultCode normal = ComputeFaceNormal();
    if (normal != kResultOk) return normal;
    return kResultOk;
}

DynamicArray* PolygonRecord::MakeClipList()
{
    if (!ClipList) ClipList = NewDynamicArray(0, int32_t(sizeof(int32_t)), 4);
    return ClipList;
}

void PolygonRecord::PolygonRecordDestroy()
{
    DestroyArray(Indices);
    DestroyArray(ClipList);
    if (SideLists* lists = sideLists_) {
        for (DynamicArray** list :
             {&lists->FacePairs, &lists->FrontPairs, &lists->BackPairs, &lists->FrontPairsWork, &lists->BackPairsWork,
              &lists->FrontShades, &lists->BackShades, &lists->FrontShadesWork, &lists->BackShadesWork}) {
            DestroyArray(*list);
        }
        delete lists;
    }
    delete this;
}

ResultCode PolygonRecord::ComputeFaceNormal()
{
    ModelObject* owner = Owner();
    const FixedVector3 direction = owner->FaceDirection(FaceIndex);
    if (direction.x != 0 || direction.y != 0 || direction.z != 0) {
        Normal = NormaliseShort(direction.x, direction.y, direction.z);
        return kResultOk;
    }
    const int32_t n = VertexCount();
    const DynamicArray* vertices = owner->LocalVertices;
    const FixedVector3* p0 = vertices->At<FixedVector3>(IndexAt(0));
    const FixedVector3* p1 = vertices->At<FixedVector3>(IndexAt((n + 2) >> 2));
    const FixedVector3* p2 = vertices->At<FixedVector3>(IndexAt((n + 1) >> 1));
    if (!p0 || !p1 || !p2) return kResultFailed;
    const double ax = double(p0->x) - p1->x;
    const double ay = double(p0->y) - p1->y;
    const double az = double(p0->z) - p1->z;
    const double bx = double(p2->x) - p1->x;
    const double by = double(p2->y) - p1->y;
    const double bz = double(p2->z) - p1->z;
    const double nx = bz * ay - az * by;
    const double ny = az * bx - bz * ax;
    const double nz = by * ax - ay * bx;
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (length == 0) return kResultFailed;
    Normal = NormaliseShort(int32_t(nx * 32767 / length), int32_t(ny * 32767 / length), int32_t(nz * 32767 / length));
    return kResultOk;
}

void PolygonRecord::TransformNormal(const Transform* rotation, const Transform* shear, const Transform* scale)
{
    // Points are scaled, sheared and rotated in that order, so a normal takes the inverse
    // transposes in the same order: the reciprocal scale, the inverse transposed shear, then the
    // rotation.
    FixedVector3 n = {IntToFixed(Normal.x), IntToFixed(Normal.y), IntToFixed(Normal.z)};
    if (scale) scale->TransformPoint(&n, n.x, n.y, n.z);
    if (shear) {
        const Fixed h0 = shear->Shear[0];
        const Fixed h1 = shear->Shear[1];
        const Fixed h2 = shear->Shear[2];
        const Fixed y = n.y;
        n.y = FixSub(n.y, FixMul(n.x, h0));
        n.z = FixSub(n.z, FixAdd(FixMul(y, h2), FixMul(n.x, FixSub(h1, FixMul(h0, h2)))));
    }
    if (rotation) rotation->TransformPoint(&n, n.x, n.y, n.z);
    WorldNormal = NormaliseShort(n.x, n.y, n.z);
}

void PolygonRecord::PrepareFaceUnlit(const Transform* rotation, const Transform* shear, const Transform* scale,
                                     int32_t reverse)
{
    TransformNormal(rotation, shear, scale);
    if (reverse && Indices) Indices->Reverse();
}

void PolygonRecord::PrepareFace(const Transform* rotation, const Transform* shear, const Transform* scale,
                                int32_t reverse, const VertexFaces& around, const FaceLights& lights)
{
    TransformNormal(rotation, shear, scale);
    LightFace(around, lights);
    if (reverse && Indices) Indices->Reverse();
}

VertexFaces::Faces VertexFaces::Of(int32_t vertex) const
{
    if (!found_ && geometry_) {
        // Every corner of every face is filed: a read spends them on its budget, and past it
        // finds no faces around any vertex (the read fails).
        int64_t corners = 0;
        int32_t lowest = INT16_MAX;
        int32_t highest = INT16_MIN;
        for (int32_t r = 0; r < geometry_->PolygonCount(); ++r) {
            const PolygonRecord* face = geometry_->PolygonAt(r);
            corners += face->VertexCount();
            for (int32_t k = 0; k < face->VertexCount(); ++k) {
                lowest = std::min<int32_t>(lowest, face->IndexAt(k));
                highest = std::max<int32_t>(highest, face->IndexAt(k));
            }
        }
        CountTurns(geometry_->PolygonCount() + corners);
        ModelObject* owner = geometry_->Owner;
        passed_ = owner && !owner->Holder->Budget.Spend(ReadCost::kSmoothShading, corners);
        if (!passed_ && corners > 0) {
            // A face naming a vertex again is filed under it once. The first pass counts each
            // vertex's faces, the second files them after those of the vertices below it.
            const size_t range = size_t(highest - lowest + 1);
            lowest_ = lowest;
            std::vector<int32_t> lastFace;
            const auto eachFaceOfEachVertex = [&](auto&& file) {
                lastFace.assign(range, -1);
                for (int32_t r = 0; r < geometry_->PolygonCount(); ++r) {
                    const PolygonRecord* face = geometry_->PolygonAt(r);
                    for (int32_t k = 0; k < face->VertexCount(); ++k) {
                        const size_t v = size_t(face->IndexAt(k) - lowest);
                        if (lastFace[v] == r) continue;
                        lastFace[v] = r;
                        file(v, face);
                    }
                }
            };
            starts_.assign(range + 1, 0);
            eachFaceOfEachVertex([&](size_t v, const PolygonRecord*) { ++starts_[v + 1]; });
            for (size_t v = 0; v < range; ++v) starts_[v + 1] += starts_[v];
            faces_.resize(size_t(starts_[range]));
            std::vector<int32_t> filled(starts_.begin(), starts_.end() - 1);
            eachFaceOfEachVertex([&](size_t v, const PolygonRecord* face) { faces_[size_t(filled[v]++)] = face; });
            CountTurns(2 * (geometry_->PolygonCount() + corners) + 3 * int64_t(range) + 4 * kHeapBlockTurns);
        }
    }
    found_ = true;
    const int64_t at = int64_t(vertex) - lowest_;
    if (passed_ || at < 0 || at + 1 >= int64_t(starts_.size())) return {nullptr, nullptr};
    const PolygonRecord* const* all = faces_.data();
    return {all + starts_[size_t(at)], all + starts_[size_t(at) + 1]};
}

FaceLights LightsOnFacesOf(const ModelObject* object)
{
    const LightList* front = object->GetLights();
    return {front, object->Parent ? object->Parent->GetLights() : front};
}

void PolygonRecord::LightFace()
{
    if (ModelObject* owner = Owner()) LightFace(VertexFaces(Geometry), LightsOnFacesOf(owner));
}

void PolygonRecord::LightFace(const VertexFaces& around, const FaceLights& lights)
{
    SetCursorShape(kWaitCursor);
    ModelObject* owner = Owner();
    if (!owner) return;
    const uint16_t oldCode = ColourCode;
    if (FaceSurface) {
        FrontColour = FaceSurface->GetSideColour(kSideFront);
        BackColour = FaceSurface->GetSideColour(kSideBack);
        ColourCode = FaceSurface->GetSurfaceColourCode();
    } else {
        FrontColour = owner->GetColour(kSideFront);
        BackColour = owner->GetColour(kSideBack);
        ColourCode = owner->GetColourCode();
    }
    if (ColourCode != oldCode) NoteLayeringChanged(owner->Holder);
    const LightList* front = lights.front;
    const LightList* back = lights.back;
    const ShortVector3 outward = NegatedVector(WorldNormal);
    FrontLit = front ? SumLighting(front, FrontColour, outward) : RGBColor48{0, 0, 0};
    BackLit = back ? SumLighting(back, BackColour, WorldNormal) : RGBColor48{0, 0, 0};
    if (FaceSurface) FaceSurface->LightElements(lights);
    FrontShadeEntry = ShadeEntryOf(front, outward);
    BackShadeEntry = ShadeEntryOf(back, WorldNormal);
    if (!front || !back) return;
    FrontColourIndex = uint8_t(CurrentDrawingServices().LockedColorCubeIndex(FrontColour));
    BackColourIndex = uint8_t(CurrentDrawingServices().LockedColorCubeIndex(BackColour));
    if (GetSideAttribute(kSideFront) == 1) LightSideVertices(kSideFront, front, around);
    if (GetSideAttribute(kSideBack) == 1) LightSideVertices(kSideBack, back, around);
}

void PolygonRecord::LightSideVertices(int32_t side, const LightList* lights, const VertexFaces& around)
{
    const int32_t n = VertexCount();
    // Each corner averages the normals of the faces around it and sums every light for the
    // average: a read spends them on its budget (one corner of every face of a fan would make the
    // faces averaged the square of the faces), and past it leaves the side unshaded (the read
    // fails).
    int64_t averaged = 0;
    for (int32_t position = 0; position < n; ++position) averaged += int64_t(around.Of(IndexAt(position)).size());
    CountTurns(n);
    ReadBudget& budget = Owner()->Holder->Budget;
    if (!budget.Spend(ReadCost::kSmoothShading, averaged) ||
        !budget.Spend(ReadCost::kLighting, int64_t(n) * ListCount(lights)))
        return;
    DynamicArray* values = GetSideVertexValues(side);
    if (!values || values->ArraySetCount(n) != kResultOk) return;
    auto sideNormal = [side](const PolygonRecord* record) {
        return side == kSideFront ? NegatedVector(record->WorldNormal) : record->WorldNormal;
    };
    auto unit = [](const ShortVector3& v, double out[3]) {
        const double length = std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z);
        const double k = length == 0 ? 1.0 : 1.0 / length;
        out[0] = v.x * k;
        out[1] = v.y * k;
        out[2] = v.z * k;
    };
    const ShortVector3 own = sideNormal(this);
    double ownUnit[3];
    unit(own, ownUnit);
    for (int32_t position = 0; position < n; ++position) {
        int64_t sum[3] = {own.x, own.y, own.z};
        int32_t count = 1;
        // Every other face naming the vertex whose normal leans the same way adds its normal.
        const VertexFaces::Faces faces = around.Of(IndexAt(position));
        for (const PolygonRecord* other : faces) {
            if (other == this) continue;
            const ShortVector3 normal = sideNormal(other);
            double otherUnit[3];
            unit(normal, otherUnit);
            if (ownUnit[0] * otherUnit[0] + ownUnit[1] * otherUnit[1] + ownUnit[2] * otherUnit[2] <= 0) continue;
            sum[0] += normal.x;
            sum[1] += normal.y;
            sum[2] += normal.z;
            ++count;
        }
        CountTurns(int64_t(faces.size()));
        ShortVector3 average = {int16_t(sum[0] / count), int16_t(sum[1] / count), int16_t(sum[2] / count)};
        const double length = std::sqrt(double(average.x) * average.x + double(average.y) * average.y +
                                        double(average.z) * average.z);
        if (length != 0) {
            average = {int16_t(average.x / length * 256.0), int16_t(average.y / length * 256.0),
                       int16_t(average.z / length * 256.0)};
        }
        const Fixed level = ShadeLevel(lights, kShadeLevels, average);
        IgnoreResult(values->Set(position, &level));
    }
    CountTurns(n);
}

namespace {

// The comparisons of a search among the points of an object (at most kMaxObjectVertices of them).
constexpr int64_t kLookupTurns = 16;

}  // namespace

VertexLookup::VertexLookup(DynamicArray* vertices) : vertices_(vertices)
{
    const int32_t count = ListCount(vertices);
    for (int32_t i = 0; i < count; ++i) first_.emplace(*vertices->At<FixedVector3>(i), i);
    // Each point searched for and filed in a block of its own.
    CountTurns(count * (kLookupTurns + kHeapBlockTurns));
}

int32_t VertexLookup::FindOrAdd(const FixedVector3& point)
{
    CountTurns(kLookupTurns);
    const auto found = first_.find(point);
    if (found != first_.end()) return found->second;
    if (!vertices_ || vertices_->ArrayCount() >= kMaxObjectVertices) return -1;
    const int32_t index = vertices_->Append(&point);
    CountTurns(kLookupTurns + kHeapBlockTurns);
    if (index >= 0) first_.emplace(point, index);
    return index;
}

int32_t PolygonRecord::SliceFace(const PlaneRecord* /*plane*/, const DynamicArray* distances, DynamicArray* cuts,
                                 VertexLookup* lookup, DynamicArray* kept)
{
    DynamicArray* vertices = lookup->Vertices();
    const int32_t n = VertexCount();
    auto distanceOf = [distances](int32_t vertex) {
        const double* d = distances->At<double>(vertex);
        return d ? *d : 0.0;
    };
    // A face wholly on the kept side stays as it is; one wholly on the other side loses every
    // corner. Only a face the plane cuts is made again, in the list lent for it.
    int32_t below = 0;
    for (int32_t step = 0; step < n; ++step) below += distanceOf(IndexAt(step)) < 0 ? 1 : 0;
    CountTurns(n);
    if (below == n) {
        IgnoreResult(Indices->ArraySetCount(0));
        return 0;
    }
    if (below > 0) {
        // Room for every corner and the two cut points at once: grown a step at a time, a list of
        // thousands of corners would be copied over and over.
        if (kept->ArraySetCount(n + 2) != kResultOk || kept->ArraySetCount(0) != kResultOk) return 0;
        auto vertexAt = [vertices](int32_t index) {
            const FixedVector3* v = vertices->At<FixedVector3>(index);
            return v ? *v : FixedVector3{0, 0, 0};
        };
        auto append = [kept](int32_t index) {
            const int16_t value = int16_t(index);
            kept->Append(&value);
        };
        int32_t entering = -1;
        int32_t leaving = -1;
        int32_t previous = -1;
        double previousDistance = 0;
        bool failed = false;
        for (int32_t step = 0; step <= n && !failed; ++step) {
            const bool extra = step == n;
            const int32_t current = IndexAt(step % n);
            const double d = distanceOf(current);
            if (step == 0) {
                if (d >= 0) append(current);
            } else if (d >= 0 && previousDistance >= 0) {
                if (!extra) append(current);
            } else if (d < 0 && previousDistance >= 0) {
                const double t = previousDistance / (previousDistance - d);
                leaving = lookup->FindOrAdd(PointOnEdge(vertexAt(previous), vertexAt(current), t));
                failed = leaving < 0;
                append(leaving);
                // A cut edge joins two cut points found: a point that found no room (the object
                // holds the most vertices it may) makes none.
                if (!failed && entering >= 0 && entering != leaving) {
                    const uint32_t cut = (uint32_t(leaving) << 16) | uint32_t(entering);
                    cuts->Append(&cut);
                }
            } else if (d >= 0 && previousDistance < 0) {
                const double t = d / (d - previousDistance);
                entering = lookup->FindOrAdd(PointOnEdge(vertexAt(current), vertexAt(previous), t));
                failed = entering < 0;
                append(entering);
                if (!extra) append(current);
                if (!failed && leaving >= 0 && leaving != entering) {
                    const uint32_t cut = (uint32_t(leaving) << 16) | uint32_t(entering);
                    cuts->Append(&cut);
                }
            }
            previous = current;
            previousDistance = d;
        }
        // The corners walked, and those kept and copied back.
        CountTurns(int64_t(n) + 2 * int64_t(kept->ArrayCount()));
        if (failed) return 0;
        IgnoreResult(kept->ArrayCopyTo(Indices));  // without room the face stays uncut
    }
    if (VertexCount() < 3) return 0;
    int32_t distinct[3] = {IndexAt(0), -1, -1};
    int32_t found = 1;
    int32_t i = 1;
    for (; i < VertexCount() && found < 3; ++i) {
        const int32_t index = IndexAt(i);
        bool seen = false;
        for (int32_t k = 0; k < found; ++k) seen = seen || distinct[k] == index;
        if (!seen) distinct[found++] = index;
    }
    CountTurns(i);
    return found == 3 ? 1 : 0;
}

void PolygonRecord::FaceBounds(ShortBox* box, int32_t which) const
{
    const ModelObject* owner = Owner();
    const DynamicArray* vertices = which == 1 ? owner->LocalVertices : owner->WorldVertices;
    for (int32_t i = 0; i < VertexCount(); ++i) {
        const FixedVector3* v = vertices ? vertices->At<FixedVector3>(IndexAt(i)) : nullptr;
        if (v) ExtendShortBox(*box, v->x, v->y, v->z);
    }
    int32_t elements = 0;
    for (int32_t side = 0; FaceSurface && side < 3; ++side) {
        const int32_t count = FaceSurface->ElementCount(side);
        for (int32_t i = 0; i < count; ++i) FaceSurface->ElementAt(side, i)->GetElementVertexBounds(box, which);
        elements += count;
    }
    CountTurns(VertexCount() + elements);
}

TextureRecord* PolygonRecord::GetSideTexture(int32_t side) const
{
    const ModelObject* owner = Owner();
    if (side == kSideFront) {
        if (FaceSurface && (FaceSurface->Flags & kSurfaceFrontTexture)) return FaceSurface->FrontTexture;
        return owner->FrontTexture;
    }
    if (side == kSideBack) {
        if (FaceSurface && (FaceSurface->Flags & kSurfaceBackTexture)) return FaceSurface->BackTexture;
        return owner->BackTexture;
    }
    return nullptr;
}

uint8_t PolygonRecord::GetSideAttribute(int32_t side) const
{
    const ModelObject* owner = Owner();
    if (side == kSideFront) {
        if (FaceSurface && (FaceSurface->Flags & kSurfaceFrontAttribute)) return FaceSurface->FrontSideAttribute;
        return owner->FrontSideAttribute;
    }
    if (side == kSideBack) {
        if (FaceSurface && (FaceSurface->Flags & kSurfaceBackAttribute)) return FaceSurface->BackSideAttribute;
        return owner->BackSideAttribute;
    }
    return 0;
}

namespace {

DynamicArray* Ensure(DynamicArray*& list, int32_t elementSize)
{
    if (!list) list = NewDynamicArray(0, elementSize, 4);
    return list;
}

}  // namespace

PolygonRecord::SideLists* PolygonRecord::MakeSideLists()
{
    if (!sideLists_) sideLists_ = new (std::nothrow) SideLists;
    return sideLists_;
}

DynamicArray* PolygonRecord::GetSideVertexPairs(int32_t side)
{
    const uint16_t bit = side == kSideFront ? kSurfaceFrontTexture : kSurfaceBackTexture;
    if (side != kSideFront && side != kSideBack) return nullptr;
    if (FaceSurface && (FaceSurface->Flags & bit))
        return Ensure(side == kSideFront ? FaceSurface->FrontPairs : FaceSurface->BackPairs, 8);
    SideLists* lists = MakeSideLists();
    return lists ? Ensure(side == kSideFront ? lists->FrontPairs : lists->BackPairs, 8) : nullptr;
}

DynamicArray* PolygonRecord::GetSideVertexPairsB(int32_t side)
{
    const uint16_t bit = side == kSideFront ? kSurfaceFrontTexture : kSurfaceBackTexture;
    if (side != kSideFront && side != kSideBack) return nullptr;
    if (FaceSurface && (FaceSurface->Flags & bit))
        return Ensure(side == kSideFront ? FaceSurface->FrontPairsWork : FaceSurface->BackPairsWork, 8);
    SideLists* lists = MakeSideLists();
    return lists ? Ensure(side == kSideFront ? lists->FrontPairsWork : lists->BackPairsWork, 8) : nullptr;
}

DynamicArray* PolygonRecord::GetSideVertexValues(int32_t side)
{
    if ((side != kSideFront && side != kSideBack) || GetSideAttribute(side) == 0) return nullptr;
    SideLists* lists = MakeSideLists();
    return lists ? Ensure(side == kSideFront ? lists->FrontShades : lists->BackShades, 4) : nullptr;
}

DynamicArray* PolygonRecord::GetSideVertexValuesB(int32_t side)
{
    if ((side != kSideFront && side != kSideBack) || GetSideAttribute(side) == 0) return nullptr;
    SideLists* lists = MakeSideLists();
    return lists ? Ensure(side == kSideFront ? lists->FrontShadesWork : lists->BackShadesWork, 4) : nullptr;
}

DynamicArray* PolygonRecord::GetFacePairs()
{
    // A face with a surface is mapped by the surface's outline (without room for it, none: the
    // face maps no texture); the record keeps no copy of it.
    if (FaceSurface) return FaceSurface->Outline;
    SideLists* lists = MakeSideLists();
    if (!lists) return nullptr;
    if (!lists->FacePairs) {
        lists->FacePairs = NewDynamicArray(0, int32_t(sizeof(FixedPoint)), 4);
        if (!lists->FacePairs) return nullptr;
        Owner()->TakeFaceOutline(FaceIndex, lists->FacePairs);
    }
    return lists->FacePairs;
}

void PolygonRecord::ReleaseFacePairs()
{
    if (sideLists_) DestroyArray(sideLists_->FacePairs);
}

void PolygonRecord::SetSideAttributeOf(uint8_t value, int32_t side)
{
    const uint16_t bit = uint16_t(kSurfaceFrontAttribute << side);
    if (FaceSurface && (FaceSurface->Flags & bit)) {
        FaceSurface->SetSurfaceSideAttribute(value, side);
    } else {
        Owner()->SetSideAttribute(value, side);
    }
}
