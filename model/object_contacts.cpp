// A scene object's geometry records, the membership of its descendants' records, the contacts
// between sibling objects and the face connections kept in the surfaces.
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "model/pointer_list.h"
#include "model/surface.h"

int32_t ModelObject::GeometryCount() const
{
    if (GeometryList) return GeometryList->ArrayCount();
    return Geometry ? 1 : 0;
}

ObjectGeometry* ModelObject::GeometryAt(int32_t index) const
{
    if (GeometryList) return PointerAt<ObjectGeometry>(GeometryList, index);
    return index == 0 ? Geometry : nullptr;
}

void ModelObject::AddGeometry(ObjectGeometry* record)
{
    if (Geometry && !GeometryList) {
        GeometryList = NewPointerList();
        if (GeometryList) {
            AppendPointer(GeometryList, Geometry);
            Geometry = nullptr;
        }
    }
    if (GeometryList) {
        if (AppendPointer(GeometryList, record) < 0) record->ObjectGeometryFree();
    } else if (!Geometry) {
        Geometry = record;
    } else {
        record->ObjectGeometryFree();
    }
}

void ModelObject::FreeGeometry()
{
    for (int32_t i = 0; i < GeometryCount(); ++i) GeometryAt(i)->ObjectGeometryFree();
    DestroyArray(GeometryList);
    Geometry = nullptr;
}

void ModelObject::UnlinkSurfaces()
{
    for (int32_t i = 0; i < ListCount(Surfaces); ++i) {
        if (Surface* surface = PointerAt<Surface>(Surfaces, i)) surface->ClearFaceUsers();
    }
}

void ModelObject::RegisterMember(ModelObject* node)
{
    if (node->IsGroup()) {
        for (int32_t i = 0; i < node->ChildCount(); ++i) RegisterMember(node->ChildAt(i));
        return;
    }
    for (int32_t i = 0; i < GeometryCount(); ++i) GeometryAt(i)->AddMembers(node);
}

void ModelObject::UnregisterMember(ModelObject* node)
{
    if (node->IsGroup()) {
        for (int32_t i = 0; i < node->ChildCount(); ++i) UnregisterMember(node->ChildAt(i));
        return;
    }
    for (int32_t i = 0; i < GeometryCount(); ++i) GeometryAt(i)->RemoveMembersOf(node);
}

void ModelObject::ComputeContactsWithSiblings(ModelObject* node)
{
    if (node->IsGroup()) {
        for (int32_t i = 0; i < node->ChildCount(); ++i) ComputeContactsWithSiblings(node->ChildAt(i));
        return;
    }
    for (int32_t i = 0; i < ChildCount(); ++i) {
        ModelObject* child = ChildAt(i);
        if (child->IsGroup()) {
            child->ComputeContactsWithSiblings(node);
        } else if (child != node) {
            node->ComputeContactsWith(child);
        }
    }
}

void ModelObject::ComputeContactsWith(ModelObject* other)
{
    for (int32_t i = 0; i < GeometryCount(); ++i) {
        for (int32_t j = 0; j < other->GeometryCount(); ++j) GeometryAt(i)->FindContact(other->GeometryAt(j));
    }
}

void ModelObject::ClearContactsOf(ModelObject* node)
{
    if (node->IsGroup()) {
        for (int32_t i = 0; i < node->ChildCount(); ++i) ClearContactsOf(node->ChildAt(i));
        return;
    }
    for (int32_t i = 0; i < node->GeometryCount(); ++i) node->GeometryAt(i)->ClearContacts();
}

// --- face connections ---

void ModelObject::AddFaceContact(int32_t face, ModelObject* other, int32_t otherFace)
{
    if (!other || IsRoot() || other->IsRoot()) return;
    Surface* surface = SurfaceForFace(face);
    Surface* otherSurface = other->SurfaceForFace(otherFace);
    if (surface && otherSurface && !surface->IsConnected(other, otherSurface, kRelationAny)) {
        surface->ConnectFace(other, otherSurface);
    }
}

void ModelObject::DropFaceContacts(int32_t face, ModelObject* other, int32_t otherFace, int32_t list)
{
    if (IsRoot()) return;
    const Surface* otherSurface = other && otherFace >= 0 ? other->SurfaceOfFace(otherFace) : nullptr;
    const int32_t first = face < 0 ? 0 : face;
    const int32_t last = face < 0 ? ListCount(Surfaces) - 1 : face;
    for (int32_t i = first; i <= last; ++i) {
        if (Surface* surface = face < 0 ? PointerAt<Surface>(Surfaces, i) : SurfaceOfFace(i)) {
            surface->DisconnectFace(other, otherSurface, list);
        }
    }
}

void ModelObject::DropFaceContactsWithList(int32_t face, const DynamicArray* nodes, int32_t list)
{
    if (IsRoot()) return;
    const int32_t first = face < 0 ? 0 : face;
    const int32_t last = face < 0 ? ListCount(Surfaces) - 1 : face;
    for (int32_t i = first; i <= last; ++i) {
        if (Surface* surface = face < 0 ? PointerAt<Surface>(Surfaces, i) : SurfaceOfFace(i)) {
            surface->DisconnectAllExcept(nodes, list);
        }
    }
}

int32_t ModelObject::HasFaceContacts(const ModelObject* node, int32_t list) const
{
    if (IsRoot() || !Surfaces) return 0;
    for (int32_t i = 0; i < Surfaces->ArrayCount(); ++i) {
        const Surface* surface = PointerAt<Surface>(Surfaces, i);
        if (surface && surface->IsConnected(node, nullptr, list)) return 1;
    }
    return 0;
}
