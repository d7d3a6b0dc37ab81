// The scene object tree: creation and destruction, roles, hierarchy edits, tree-wide
// operations, texts, colours, units, lights, transform edits and the small accessors.
#include "model/model_object.h"

#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "foundation/loop_turns.h"
#include "foundation/pointer_list.h"
#include "model/byte_list.h"
#include "model/light.h"
#include "model/model_holder.h"
#include "model/object_geometry.h"
#include "model/plane_record.h"
#include "model/polygon_record.h"
#include "model/surface.h"
#include "model/texture_services.h"
#include "model/transform.h"
#include "model/units_record.h"

namespace {

Transform* NewTransform()
{
    Transform* transform = new (std::nothrow) Transform;
    if (transform) transform->TransformInit();
    return transform;
}

}  // namespace

// --- creation and destruction ---

ResultCode ModelObject::Init(ModelHolder* holder)
{
    Type = kObjectNewRoot;
    Holder = holder;
    Outline = NewDynamicArray(0, int32_t(sizeof(FixedPoint)), 4);
    LocalTransform = NewTransform();
    WorldTransform = NewTransform();
    LocalVertices = NewDynamicArray(0, int32_t(sizeof(FixedVector3)), 8);
    WorldVertices = NewDynamicArray(0, int32_t(sizeof(FixedVector3)), 8);
    LocalBox = WorldBox = {{0, 0, 0}, {0, 0, 0}};
    const bool made = Outline && LocalTransform && WorldTransform && LocalVertices && WorldVertices;
    return made ? kResultOk : kResultOutOfMemory;
}

bool ModelObject::MakeProjectionLists()
{
    // Groups and objects never in view, most of a large scene's nodes, go without them.
    if (!ProjectedFaces) ProjectedFaces = NewDynamicArray(0, 16, 8);
    if (!ProjectedPoints) ProjectedPoints = NewDynamicArray(0, 14, 8);
    return ProjectedFaces && ProjectedPoints;
}

void ModelObject::LeaveParent()
{
    if (!Parent) return;
    if (ModelObject* ancestor = FirstNonGroupParent()) {
        ancestor->ClearContactsOf(this);
        ancestor->UnregisterMember(this);
    }
    ModelObject* parent = Parent;
    const int32_t index = FindPointer(parent->Children, this);
    if (index >= 0) IgnoreResult(parent->Children->Remove(index));
    Parent = nullptr;
    if (parent->IsGroup()) parent->GroupBounds();
}

void ModelObject::StartLeaving()
{
    std::vector<ModelObject*> subtree = {this};
    for (size_t i = 0; i < subtree.size(); ++i) {
        ModelObject* node = subtree[i];
        node->leaving_ = true;
        for (int32_t c = 0; c < node->ChildCount(); ++c) {
            if (ModelObject* child = node->ChildAt(c)) subtree.push_back(child);
        }
    }
    // With the whole subtree marked, what stays loses its contacts and connections with what goes
    // (while the subtree's own are still whole); those within the subtree simply go with it.
    for (ModelObject* node : subtree) {
        for (int32_t g = 0; g < node->GeometryCount(); ++g) node->GeometryAt(g)->ClearContacts();
        for (int32_t i = 0; i < ListCount(node->Surfaces); ++i) {
            if (Surface* surface = PointerAt<Surface>(node->Surfaces, i)) surface->DisconnectStaying();
        }
    }
}

void ModelObject::Destroy()
{
    // The node that starts the subtree's going: its users leave their textures together.
    const bool whole = !leaving_;
    if (whole) {
        CurrentTextureServices().BeginUsersLeaving();
        StartLeaving();
    }
    LeaveParent();
    DestroySubtree();
    DropSiblingIndex();
    if (Lights) Lights->LightListDeleteAll();
    Lights = nullptr;
    if (Units) Units->UnitsFree();
    Units = nullptr;
    DestroyArray(Name);
    DestroyArray(Data);
    DestroyArray(VranText);
    if (FrontTexture) CurrentTextureServices().TextureRemoveObjectUser(FrontTexture, this);
    if (BackTexture) CurrentTextureServices().TextureRemoveObjectUser(BackTexture, this);
    FrontTexture = BackTexture = nullptr;
    DestroyArray(Outline);
    DestroyArray(MeshVertices);
    for (int32_t i = 0; i < ListCount(MeshPolygons); ++i) {
        DynamicArray* polygon = PointerAt<DynamicArray>(MeshPolygons, i);
        if (polygon) polygon->Destroy();
    }
    DestroyArray(MeshPolygons);
    for (int32_t i = 0; i < ListCount(Slices); ++i) {
        PlaneRecord* plane = PointerAt<PlaneRecord>(Slices, i);
        if (plane) plane->PlaneFree();
    }
    DestroyArray(Slices);
    // Every connection left joins faces that go as well.
    for (int32_t i = 0; i < ListCount(Surfaces); ++i) {
        if (Surface* surface = PointerAt<Surface>(Surfaces, i)) surface->SurfaceDestroy();
    }
    DestroyArray(Surfaces);
    if (LocalTransform) LocalTransform->TransformFree();
    if (WorldTransform) WorldTransform->TransformFree();
    LocalTransform = WorldTransform = nullptr;
    DestroyArray(LocalVertices);
    DestroyArray(WorldVertices);
    FreeGeometry();
    DestroyArray(ProjectedFaces);
    DestroyArray(ProjectedPoints);
    if (whole) CurrentTextureServices().EndUsersLeaving();
    delete this;
}

PlaneRecord* ModelObject::NewPlaneRecord()
{
    return new (std::nothrow) PlaneRecord;
}

Surface* ModelObject::NewSurface()
{
    return new (std::nothrow) Surface;
}

ResultCode ModelObject::StreamUnknownChunk(MemoryStream* /*stream*/, ChunkTag /*tag*/)
{
    return kResultOk;
}

ResultCode ModelObject::StreamBeforeChunks(MemoryStream* /*stream*/)
{
    return kResultOk;
}

ResultCode ModelObject::StreamAfterChunks(MemoryStream* /*stream*/)
{
    return kResultOk;
}

// --- roles ---

void ModelObject::SetWorldRoot()
{
    Type = kObjectWorldRoot;
    Build();
}

void ModelObject::SetGroup()
{
    Type = kObjectGroup;
    Build();
}

void ModelObject::MakePolygonObject(DynamicArray* vertices, DynamicArray* polygons)
{
    Type = kObjectPolygon;
    FrontColour = BackColour = {0, 0, 0};
    ColourCode = 0xFFFF;
    MeshVertices = vertices;
    MeshPolygons = polygons;
    Build();
}

void ModelObject::MakePrimitive(int32_t axis, int32_t kind, const DynamicArray* outline, Fixed height0, Fixed height1)
{
    Type = kObjectPrimitive;
    OutlineStyle = 1;
    Axis = uint8_t(axis);
    PrimitiveKind = uint8_t(kind);
    Segments = 1;
    Height0 = height0;
    Height1 = height1;
    FrontColour = BackColour = {0, 0, 0};
    ColourCode = 0xFFFF;
    Offset0 = Offset1 = {0, 0};
    // Without room the outline stays empty: an incomplete object.
    if (outline) IgnoreResult(outline->ArrayCopyTo(Outline));
    Build();
}

// --- hierarchy ---

int32_t ModelObject::ChildCount() const
{
    return ListCount(Children);
}

ModelObject* ModelObject::ChildAt(int32_t index) const
{
    return PointerAt<ModelObject>(Children, index);
}

void ModelObject::AttachChild(ModelObject* child, const UnitsRecord* units)
{
    if (!child || child->IsNewRoot() || child->Parent) return;
    int32_t depth = 0;
    for (const ModelObject* node = this; node; node = node->Parent, ++depth) {
        if (node == child) return;
    }
    if (!Children) Children = NewPointerList();
    if (!Children) {
        NoteMemoryShort(Holder);
        return;
    }
    if (units) child->SetUnits(units);
    child->ClearUnits();
    child->Parent = this;
    child->LocalTransform->RemoveTransform(WorldTransform);
    if (AppendPointer(Children, child) < 0) {
        child->LocalTransform->AppendTransform(WorldTransform);
        child->Parent = nullptr;
        NoteMemoryShort(Holder);
        return;
    }
    child->RefreshSurfaceInheritance();
    if (ModelObject* ancestor = child->FirstNonGroupParent()) {
        ancestor->RegisterMember(child);
        if (!ancestor->contactsDeferred_) ancestor->ComputeContactsWithSiblings(child);
    }
    // In the course of a read a node gets its children before it joins its own parent, which
    // lights its whole tree again: a subtree joining a node outside the world is lit then, once,
    // rather than once more for every level it is nested in.
    const ModelObject* top = this;
    while (top->Parent) top = top->Parent;
    CountTurns(2 * int64_t(depth));
    if (!Holder->Budget.Reading() || top->IsWorldRoot()) child->RefreshShading();
    // The group's box was the union of its other children's: the newcomer's is added to it.
    if (IsGroup()) {
        if (ChildCount() == 1) WorldBox = kEmptyShortBox;
        UniteShortBox(WorldBox, child->WorldBox);
    }
}

void ModelObject::AddChild(ModelObject* child)
{
    if (IsNewRoot()) return;
    AttachChild(child, GetUnits());
}

void ModelObject::AddChildren(const DynamicArray* nodes)
{
    if (IsNewRoot()) return;
    const UnitsRecord* units = GetUnits();
    for (int32_t i = 0; i < ListCount(nodes); ++i) AttachChild(PointerAt<ModelObject>(nodes, i), units);
    CountTurns(ListCount(nodes));
}

void ModelObject::TakeOutOfParent(ModelObject* child, bool keepConnections, const DynamicArray* keepWith,
                                  const UnitsRecord* units)
{
    if (!child || child->Parent != this) return;
    if (ModelObject* ancestor = child->FirstNonGroupParent()) {
        ancestor->ClearContactsOf(child);
        ancestor->UnregisterMember(child);
    }
    if (!keepConnections) {
        if (keepWith) {
            child->DropFaceContactsWithList(-1, keepWith, kRelationSibling);
        } else {
            child->DropFaceContacts(-1, nullptr, -1, kRelationSibling);
        }
        child->DropFaceContacts(-1, nullptr, -1, kRelationParent);
    }
    const int32_t index = FindPointer(Children, child);
    if (index >= 0) IgnoreResult(Children->Remove(index));
    child->LocalTransform->AppendTransform(WorldTransform);
    child->Parent = nullptr;
    if (units) child->SetUnits(units);
    child->RefreshShading();
    if (IsGroup()) GroupBounds();
}

void ModelObject::RemoveChild(ModelObject* child)
{
    if (IsNewRoot()) return;
    TakeOutOfParent(child, false, nullptr, GetUnits());
}

void ModelObject::DetachChild(ModelObject* child)
{
    if (IsNewRoot()) return;
    TakeOutOfParent(child, true, nullptr, GetUnits());
}

void ModelObject::RemoveChildren(const DynamicArray* nodes)
{
    if (IsNewRoot()) return;
    const UnitsRecord* units = GetUnits();
    for (int32_t i = 0; i < ListCount(nodes); ++i) TakeOutOfParent(PointerAt<ModelObject>(nodes, i), false, nodes, units);
}

void ModelObject::DestroyChildren()
{
    // Each child leaves this node first (contacts, memberships), then goes with its subtree.
    while (ChildCount() > 0) {
        ModelObject* child = ChildAt(ChildCount() - 1);
        if (child && child->Parent == this) {
            child->Destroy();
        } else {
            IgnoreResult(Children->Remove(ChildCount() - 1));
        }
    }
    DestroyArray(Children);
}

void ModelObject::DestroySubtree()
{
    // This node goes too, so its children need not leave it one by one: each is taken out of
    // the list and destroyed along with the contacts and connections among them.
    while (ChildCount() > 0) {
        ModelObject* child = ChildAt(ChildCount() - 1);
        IgnoreResult(Children->Remove(ChildCount() - 1));
        if (!child) continue;
        child->Parent = nullptr;
        child->Destroy();
    }
    DestroyArray(Children);
}

ModelObject* ModelObject::FirstNonGroupParent() const
{
    ModelObject* node = Parent;
    int32_t steps = 0;
    for (; node && node->IsGroup(); ++steps) node = node->Parent;
    CountTurns(steps);
    return node;
}

ModelObject* ModelObject::OutermostGroup()
{
    ModelObject* node = this;
    while (node->Parent && node->Parent->IsGroup()) node = node->Parent;
    return node;
}

// --- tree-wide operations ---

void ModelObject::RefreshShading()
{
    ShadeSubtree(Parent ? Parent->GetLights() : nullptr);
}

void ModelObject::ShadeSubtree(const LightList* inherited)
{
    // Past the read's budget the read fails, and its model goes unlit.
    if (!Holder->Budget.Spend(ReadCost::kTreeWalks, 1)) return;
    const LightList* own = Lights ? Lights : inherited;
    if (!IsNewRoot()) {
        const FaceLights lights = {own, Parent ? inherited : own};
        int64_t faces = 0;
        for (int32_t i = 0; i < GeometryCount(); ++i) faces += GeometryAt(i)->PolygonCount();
        if (!Holder->Budget.Spend(ReadCost::kLighting, LightingWork(faces, lights))) return;
        for (int32_t i = 0; i < ListCount(Surfaces); ++i) {
            if (Surface* surface = PointerAt<Surface>(Surfaces, i)) surface->NormaliseColourFlags();
        }
        for (int32_t i = 0; i < GeometryCount(); ++i) GeometryAt(i)->RefreshRecordShading(lights);
        CountTurns(2 * int64_t(GeometryCount()) + ListCount(Surfaces));
    }
    for (int32_t i = 0; i < ChildCount(); ++i) ChildAt(i)->ShadeSubtree(own);
    CountTurns(ChildCount());
}

void ModelObject::RefreshSurfaceInheritance()
{
    if (IsGroup()) {
        for (int32_t i = 0; i < ChildCount(); ++i) ChildAt(i)->RefreshSurfaceInheritance();
        CountTurns(ChildCount());
        return;
    }
    // Past the read's budget the read fails, and its model goes.
    if (!Holder->Budget.Spend(ReadCost::kTreeWalks, 1 + ListCount(Surfaces))) return;
    // An object connected to several of this node's faces refreshes once: once for every
    // connection, objects nested inside each other and connected face to face would refresh as
    // often as the product of their connections.
    std::vector<ModelObject*> heirs;
    for (int32_t i = 0; i < ListCount(Surfaces); ++i) {
        if (Surface* surface = PointerAt<Surface>(Surfaces, i)) {
            surface->RefreshDisplayOwner();
            surface->RefreshChildFaceOwners(&heirs);
        }
    }
    CountTurns(ListCount(Surfaces));
    RefreshEachOnce(&heirs);
}

void ModelObject::SetHidden(uint16_t value)
{
    Hidden = value;
    if (IsGroup()) {
        for (int32_t i = 0; i < ChildCount(); ++i) ChildAt(i)->SetHidden(value);
    }
}

void ModelObject::ModelStatistics(int32_t counters[9]) const
{
    for (int i = 0; i < 9; ++i) counters[i] = 0;
    struct Walker {
        static void Add(const ModelObject* node, int32_t* c)
        {
            c[0] += 1;
            c[1] += node->IsWorldRoot() ? 1 : 0;
            c[2] += node->IsGroup() ? 1 : 0;
            c[3] += node->IsPrimitive() ? 1 : 0;
            c[4] += node->IsPolygonObject() ? 1 : 0;
            c[5] += node->FaceCount() > 0 ? node->FaceCount() : 0;
            c[6] += node->PrimitiveFaceCount() > 0 ? node->PrimitiveFaceCount() : 0;
            c[7] += node->SliceCount() > 0 ? node->SliceCount() : 0;
            for (int32_t i = 0; i < ListCount(node->Surfaces); ++i) {
                if (const Surface* surface = PointerAt<Surface>(node->Surfaces, i)) c[8] += surface->CountElements();
            }
            for (int32_t i = 0; i < node->ChildCount(); ++i) Add(node->ChildAt(i), c);
        }
    };
    Walker::Add(this, counters);
}

int32_t ModelObject::CountObjects(int32_t includeRootsAndGroups) const
{
    int32_t count = (IsWorldRoot() || IsGroup()) && !includeRootsAndGroups ? 0 : 1;
    for (int32_t i = 0; i < ChildCount(); ++i) count += ChildAt(i)->CountObjects(includeRootsAndGroups);
    return count;
}

int32_t ModelObject::PointInObject(int16_t x, int16_t y, int16_t z) const
{
    if (IsNewRoot()) return kHitOutside;
    if (IsWorldRoot()) return kHitInside;
    int32_t answer = kHitOutside;
    for (int32_t i = 0; i < GeometryCount(); ++i) {
        answer = GeometryAt(i)->HitTestPolygonObject(x, y, z);
        if (answer == kHitInside) break;
    }
    return answer;
}

ObjectGeometry* ModelObject::PickObjectsAt(int16_t x, int16_t y, int16_t z, DynamicArray* hits) const
{
    for (int32_t i = 0; i < ChildCount(); ++i) {
        const ModelObject* child = ChildAt(i);
        if (child->IsGroup()) {
            if (ObjectGeometry* inside = child->PickObjectsAt(x, y, z, hits)) return inside;
            continue;
        }
        if (!child->Geometry) continue;
        const int32_t answer = child->Geometry->HitTestPolygonObject(x, y, z);
        if (answer == kHitOnSurface) AppendPointer(hits, child->Geometry);
        if (answer == kHitInside) return child->Geometry;
    }
    return nullptr;
}

// --- texts ---

void ModelObject::SetName(const void* bytes, int32_t length)
{
    SetByteList(Name, bytes, length, 16);
}

void ModelObject::SetData(const void* bytes, int32_t length)
{
    SetByteList(Data, bytes, length, 16);
}

int32_t ModelObject::GetName(void* buffer, int32_t bufferSize) const
{
    return CopyByteList(Name, buffer, bufferSize);
}

int32_t ModelObject::GetData(void* buffer, int32_t bufferSize) const
{
    return CopyByteList(Data, buffer, bufferSize);
}

void ModelObject::SetVranText(const char* text)
{
    DestroyArray(VranText);
    const size_t length = text ? std::strlen(text) : 0;
    if (length > 0) SetByteList(VranText, text, int32_t(length), 4);
}

// --- colours and side attributes ---

void ModelObject::SetColours(const RGBColor48& colour, uint16_t code, int32_t side)
{
    if (IsNewRoot()) return;
    if (side == kSideBoth || code < 0xF000) {
        FrontColour = BackColour = colour;
    } else if (side == kSideFront) {
        FrontColour = colour;
    } else if (side == kSideBack) {
        BackColour = colour;
    }
    ColourCode = code;
    RefreshShading();
}

RGBColor48 ModelObject::GetColour(int32_t side) const
{
    if (IsRoot()) return {0, 0, 0};
    return side == kSideFront ? FrontColour : BackColour;
}

uint16_t ModelObject::GetColourCode() const
{
    return IsRoot() ? 0 : ColourCode;
}

void ModelObject::SetSideAttribute(uint8_t value, int32_t side)
{
    if (side == kSideBoth) {
        FrontSideAttribute = BackSideAttribute = value;
    } else if (side == kSideFront) {
        FrontSideAttribute = value;
    } else {
        BackSideAttribute = value;
    }
}

uint8_t ModelObject::GetSideAttributeDefault(int32_t side) const
{
    return side == kSideFront ? FrontSideAttribute : BackSideAttribute;
}

// --- units and lights ---

UnitsRecord* ModelObject::GetUnits() const
{
    const ModelObject* node = this;
    int32_t steps = 0;
    for (; node && !node->Units; ++steps) node = node->Parent;
    CountTurns(steps);
    return node ? node->Units : nullptr;
}

void ModelObject::ClearUnits()
{
    if (Units) Units->UnitsFree();
    Units = nullptr;
}

void ModelObject::SetUnits(const UnitsRecord* units)
{
    if (!units) return;
    // Only a usable ratio rescales: a zero or broken length changes no geometry.
    const UnitsRecord* current = GetUnits();
    if (UnitsRescale(current, units)) RescaleObject(X2Fix(units->UnitsRatioFrom(current)));
    if (!Units) {
        Units = new (std::nothrow) UnitsRecord;
        if (!Units) return;
        Units->UnitsInit();
    }
    units->UnitsCopyTo(Units);
}

void ModelObject::SetLights(LightList* lights)
{
    if (Lights && Lights != lights) Lights->LightListDeleteAll();
    Lights = lights;
}

LightList* ModelObject::GetLights() const
{
    const ModelObject* node = this;
    int32_t steps = 0;
    for (; node && !node->Lights; ++steps) node = node->Parent;
    CountTurns(steps);
    return node ? node->Lights : nullptr;
}

LightList* ModelObject::LightsForEdit()
{
    if (LightList* lights = GetLights()) return lights;
    Lights = NewLightList();
    return Lights;
}

// --- transform edits ---

void ModelObject::TranslateObject(Fixed dx, Fixed dy, Fixed dz)
{
    if (IsRoot()) return;
    LocalTransform->Translate(dx, dy, dz);
    Rebuild();
}

void ModelObject::SetObjectPosition(Fixed x, Fixed y, Fixed z)
{
    if (IsRoot()) return;
    LocalTransform->SetPosition(x, y, z);
    Rebuild();
}

void ModelObject::SetObjectRotation(Fixed ay, Fixed ax, Fixed az)
{
    if (IsRoot()) return;
    LocalTransform->SetRotation(ay, ax, az);
    Rebuild();
}

void ModelObject::SetObjectScale(Fixed sx, Fixed sy, Fixed sz)
{
    if (IsRoot()) return;
    LocalTransform->SetScale(sx, sy, sz);
    Rebuild();
}

void ModelObject::RotateObjectAbout(Fixed ay, Fixed ax, Fixed az, Fixed cx, Fixed cy, Fixed cz)
{
    if (IsRoot()) return;
    FixedVector3 centre = {cx, cy, cz};
    if (Parent) Parent->WorldTransform->InverseTransformPoint(&centre, cx, cy, cz);
    LocalTransform->RotateAbout(ay, ax, az, centre.x, centre.y, centre.z);
    Rebuild();
}

void ModelObject::ScaleObjectAbout(Fixed sx, Fixed sy, Fixed sz, Fixed cx, Fixed cy, Fixed cz)
{
    if (IsRoot()) return;
    FixedVector3 centre = {cx, cy, cz};
    if (Parent) Parent->WorldTransform->InverseTransformPoint(&centre, cx, cy, cz);
    LocalTransform->ScaleAbout(sx, sy, sz, centre.x, centre.y, centre.z);
    Rebuild();
}

// --- predicates and accessors ---

int32_t ModelObject::HasOffsets() const
{
    return Offset0.x != 0 || Offset0.y != 0 || Offset1.x != 0 || Offset1.y != 0;
}

int32_t ModelObject::HasScale() const
{
    const Fixed* s = LocalTransform->Scale;
    return s[0] != kFixedOne || s[1] != kFixedOne || s[2] != kFixedOne;
}

int32_t ModelObject::HasRotation() const
{
    const Fixed* r = LocalTransform->Rotation;
    return r[0] != 0 || r[1] != 0 || r[2] != 0;
}

int32_t ModelObject::IsPointed() const
{
    return IsPrimitive() && (PrimitiveKind == 2 || PrimitiveKind == 3);
}

int32_t ModelObject::IsRounded() const
{
    return IsPrimitive() && (PrimitiveKind == 4 || PrimitiveKind == 5);
}

int32_t ModelObject::IsPrism() const
{
    return IsPrimitive() && PrimitiveKind == 1;
}

int32_t ModelObject::ApexCount() const
{
    if (!IsPrimitive()) return 0;
    return PrimitiveKind == 3 || PrimitiveKind == 5 ? 2 : 1;
}

int32_t ModelObject::IsOutlineStyle3() const
{
    return IsPrimitive() && OutlineStyle == 3;
}

PolygonRecord* ModelObject::FindPolygonByIndex(int32_t face) const
{
    if (face < 0 || face >= FaceCount()) return nullptr;
    for (int32_t i = 0; i < GeometryCount(); ++i) {
        if (PolygonRecord* record = GeometryAt(i)->FindPartById(face)) return record;
    }
    CountTurns(GeometryCount());
    return nullptr;
}

Surface* ModelObject::SurfaceOfFace(int32_t face) const
{
    if (IsRoot() || face < 0 || face >= FaceCount()) return nullptr;
    return PointerAt<Surface>(Surfaces, face);
}

FixedVector3 ModelObject::AxisPoint(Fixed u, Fixed v, Fixed w) const
{
    switch (Axis) {
    case 1: return {w, u, v};
    case 2: return {v, w, u};
    default: return {u, v, w};
    }
}

FixedPoint ModelObject::AxisPlanePoint(Fixed x, Fixed y, Fixed z) const
{
    switch (Axis) {
    case 1: return {y, z};
    case 2: return {z, x};
    default: return {x, y};
    }
}
