// A scene object's geometry records, the membership of its descendants' records, the contacts
// between sibling objects and the face connections kept in the surfaces.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <new>
#include <vector>

#include "foundation/loop_turns.h"
#include "foundation/pointer_list.h"
#include "model/box_grid.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
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
    CountTurns(GeometryCount());
    DestroyArray(GeometryList);
    Geometry = nullptr;
}

void ModelObject::UnlinkSurfaces()
{
    for (int32_t i = 0; i < ListCount(Surfaces); ++i) {
        if (Surface* surface = PointerAt<Surface>(Surfaces, i)) surface->ClearFaceUsers();
    }
    CountTurns(ListCount(Surfaces));
}

void ModelObject::RegisterMember(ModelObject* node)
{
    if (node->IsGroup()) {
        for (int32_t i = 0; i < node->ChildCount(); ++i) RegisterMember(node->ChildAt(i));
        CountTurns(node->ChildCount());
        return;
    }
    for (int32_t i = 0; i < GeometryCount(); ++i) GeometryAt(i)->AddMembers(node);
    CountTurns(GeometryCount());
}

void ModelObject::UnregisterMember(ModelObject* node)
{
    if (node->IsGroup()) {
        for (int32_t i = 0; i < node->ChildCount(); ++i) UnregisterMember(node->ChildAt(i));
        CountTurns(node->ChildCount());
        return;
    }
    for (int32_t i = 0; i < GeometryCount(); ++i) GeometryAt(i)->RemoveMembersOf(node);
    CountTurns(GeometryCount());
}

namespace {

// A pair of objects whose records' bounding spheres do not overlap gets no contact, so only
// objects whose sphere bounds overlap are compared (spheres that overlap overlap on every axis,
// with room to spare: GridBoxesOverlap). A single object, or fewer pairs than this, are tried one
// by one; a grid of the siblings' bounds finds the pairs for many objects.
constexpr int64_t kPairsWithoutGrid = 4096;
// Children appended one at a time under a node with fewer objects than this are compared with
// its objects one by one; from there on, the node keeps the objects' bounds in an index.
constexpr int32_t kIndexedSiblings = 64;

// Appends the objects with records under the node, reached through groups only, in sibling order:
// the node itself when it is not a group. Answers the nodes visited.
int64_t CollectSolids(ModelObject* node, std::vector<ModelObject*>* solids)
{
    if (!node->IsGroup()) {
        if (node->GeometryCount() > 0) solids->push_back(node);
        return 1;
    }
    int64_t visited = 1;
    for (int32_t i = 0; i < node->ChildCount(); ++i) visited += CollectSolids(node->ChildAt(i), solids);
    CountTurns(node->ChildCount());
    return visited;
}

// The box holding the bounding spheres of the object's records.
GridBox SphereBounds(const ModelObject* object)
{
    GridBox box = {{INT32_MAX, INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MIN, INT32_MIN}};
    for (int32_t i = 0; i < object->GeometryCount(); ++i) {
        const ObjectGeometry* record = object->GeometryAt(i);
        const int32_t radius = std::abs(int32_t(record->WorldRadius));
        const int16_t* centre = &record->WorldCentre.x;
        for (int32_t axis = 0; axis < 3; ++axis) {
            box.minimum[axis] = std::min(box.minimum[axis], centre[axis] - radius);
            box.maximum[axis] = std::max(box.maximum[axis], centre[axis] + radius);
        }
    }
    CountTurns(object->GeometryCount());
    return box;
}

// Spends the steps a search among sibling bounds took on the read's budget; false once it is passed.
bool SpendOnSiblings(ModelHolder* holder, int64_t steps)
{
    return holder->Budget.Spend(ReadCost::kSiblingBounds, steps);
}

}  // namespace

// The objects under a node's first `children` children in sibling order, with their sphere bounds
// filed in the same order.
class SiblingIndex {
public:
    // Answers the steps taken.
    int64_t File(ModelObject* solid)
    {
        solids.push_back(solid);
        return grid.Append(SphereBounds(solid));
    }

    int32_t children = 0;
    std::vector<ModelObject*> solids;
    GrowingBoxGrid grid;
};

void ModelObject::DropSiblingIndex()
{
    delete siblingIndex_;
    siblingIndex_ = nullptr;
}

bool ModelObject::IndexNewestChild(const std::vector<ModelObject*>& joining)
{
    const int32_t before = ChildCount() - 1;
    if (siblingIndex_ && siblingIndex_->children != before) DropSiblingIndex();
    int64_t steps = 0;
    if (!siblingIndex_) {
        std::vector<ModelObject*> solids;
        for (int32_t i = 0; i < before; ++i) steps += CollectSolids(ChildAt(i), &solids);
        CountTurns(before);
        if (solids.size() + joining.size() < size_t(kIndexedSiblings)) {
            SpendOnSiblings(Holder, steps);
            return false;
        }
        siblingIndex_ = new (std::nothrow) SiblingIndex;
        if (!siblingIndex_) return false;
        for (ModelObject* solid : solids) steps += siblingIndex_->File(solid);
        CountTurns(int64_t(solids.size()));
    }
    for (ModelObject* solid : joining) steps += siblingIndex_->File(solid);
    CountTurns(int64_t(joining.size()));
    siblingIndex_->children = before + 1;
    // Past the budget, the search that follows stops at its first step.
    SpendOnSiblings(Holder, steps);
    return true;
}

void ModelObject::ComputeContactsWithSiblings(ModelObject* node)
{
    // Each object under the node is compared with every object under this one but itself, both
    // in sibling order; pairs whose sphere bounds do not overlap are left out, which changes
    // nothing. The node's objects come without contacts (a node's are cleared before it is built
    // again or moved, and when it leaves its parent), so a pair of them is compared once, from the
    // first of the two: from the second it would find the contact made, or the same bounds apart.
    std::vector<ModelObject*> joining;
    if (!SpendOnSiblings(Holder, CollectSolids(node, &joining))) return;
    // Compares joining[p] with a sibling, `q` its place among the joining objects (or -1); false
    // once the read's budget is passed.
    auto meet = [&](size_t p, ModelObject* sibling, int64_t q) {
        return q >= 0 && q <= int64_t(p) ? true : joining[p]->ComputeNewContactsWith(sibling);
    };
    // A child appended last, the way a scene is built, finds its siblings in the index kept for
    // the children before it, and joins it.
    if (node->Parent == this && ChildAt(ChildCount() - 1) == node && IndexNewestChild(joining)) {
        const int64_t firstJoining = int64_t(siblingIndex_->solids.size() - joining.size());
        std::vector<int32_t> overlapping;
        for (size_t p = 0; p < joining.size(); ++p) {
            const int64_t steps = siblingIndex_->grid.Overlapping(SphereBounds(joining[p]), &overlapping);
            if (!SpendOnSiblings(Holder, steps)) return;
            for (const int32_t i : overlapping) {
                if (!meet(p, siblingIndex_->solids[size_t(i)], i >= firstJoining ? i - firstJoining : -1)) return;
            }
            CountTurns(int64_t(overlapping.size()));
        }
        CountTurns(int64_t(joining.size()));
        return;
    }
    DropSiblingIndex();
    std::vector<ModelObject*> siblings;
    int64_t visited = 0;
    for (int32_t i = 0; i < ChildCount(); ++i) visited += CollectSolids(ChildAt(i), &siblings);
    CountTurns(ChildCount());
    if (!SpendOnSiblings(Holder, visited) || joining.empty() || siblings.empty()) return;
    // The node's objects lie side by side among the siblings.
    const int64_t firstJoining = std::find(siblings.begin(), siblings.end(), joining[0]) - siblings.begin();
    CountTurns(firstJoining);
    auto place = [&](size_t i) {
        const int64_t q = int64_t(i) - firstJoining;
        return q >= 0 && q < int64_t(joining.size()) ? q : -1;
    };
    if (joining.size() == 1 || int64_t(joining.size()) * int64_t(siblings.size()) < kPairsWithoutGrid) {
        for (size_t p = 0; p < joining.size(); ++p) {
            if (!SpendOnSiblings(Holder, int64_t(siblings.size()))) return;
            const GridBox box = SphereBounds(joining[p]);
            for (size_t i = 0; i < siblings.size(); ++i) {
                if (GridBoxesOverlap(box, SphereBounds(siblings[i])) && !meet(p, siblings[i], place(i))) return;
            }
            CountTurns(int64_t(siblings.size()));
        }
        return;
    }
    std::vector<GridBox> bounds(siblings.size());
    for (size_t i = 0; i < siblings.size(); ++i) bounds[i] = SphereBounds(siblings[i]);
    CountTurns(int64_t(siblings.size()));
    BoxGrid grid;
    if (!SpendOnSiblings(Holder, grid.FileBoxes(bounds))) return;
    std::vector<int32_t> overlapping;
    for (size_t p = 0; p < joining.size(); ++p) {
        if (!SpendOnSiblings(Holder, grid.Overlapping(SphereBounds(joining[p]), &overlapping))) return;
        for (const int32_t i : overlapping) {
            if (!meet(p, siblings[size_t(i)], place(size_t(i)))) return;
        }
        CountTurns(int64_t(overlapping.size()));
    }
    CountTurns(int64_t(joining.size()));
}

void ModelObject::ComputeContactsOfChildren(int32_t first)
{
    if (first < 0 || first >= ChildCount()) return;
    // The objects under each child follow those under the children before it: child k's are
    // solids[ends[k - 1]] to solids[ends[k] - 1].
    std::vector<ModelObject*> solids;
    std::vector<size_t> ends;
    int64_t visited = 0;
    for (int32_t i = 0; i < ChildCount(); ++i) {
        visited += CollectSolids(ChildAt(i), &solids);
        ends.push_back(solids.size());
    }
    CountTurns(ChildCount());
    if (SpendOnSiblings(Holder, visited)) ComputeContactsInTurns(solids, ends, size_t(first));
}

void ModelObject::ComputeContactsOfRebuiltChildren()
{
    // Each object under the children takes its own turn, in sibling order.
    std::vector<ModelObject*> solids;
    int64_t visited = 0;
    for (int32_t i = 0; i < ChildCount(); ++i) visited += CollectSolids(ChildAt(i), &solids);
    std::vector<size_t> ends(solids.size());
    for (size_t j = 0; j < solids.size(); ++j) ends[j] = j + 1;
    CountTurns(ChildCount() + int64_t(solids.size()));
    if (SpendOnSiblings(Holder, visited)) ComputeContactsInTurns(solids, ends, 0);
}

void ModelObject::ComputeContactsInTurns(const std::vector<ModelObject*>& solids, const std::vector<size_t>& ends,
                                         size_t first)
{
    if (solids.empty()) return;
    std::vector<GridBox> bounds(solids.size());
    for (size_t i = 0; i < solids.size(); ++i) bounds[i] = SphereBounds(solids[i]);
    CountTurns(int64_t(solids.size()));
    BoxGrid grid;
    if (!SpendOnSiblings(Holder, grid.FileBoxes(bounds))) return;
    std::vector<int32_t> overlapping;
    for (size_t k = first; k < ends.size(); ++k) {
        const size_t start = k == 0 ? 0 : ends[k - 1];
        for (size_t j = start; j < ends[k]; ++j) {
            if (!SpendOnSiblings(Holder, grid.Overlapping(bounds[j], &overlapping))) return;
            for (const int32_t i : overlapping) {
                if (size_t(i) >= ends[k]) break;
                // A pair of the same turn is compared once, from the first of the two.
                if (size_t(i) >= start && size_t(i) <= j) continue;
                if (!solids[j]->ComputeNewContactsWith(solids[size_t(i)])) return;
            }
            CountTurns(int64_t(overlapping.size()));
        }
        CountTurns(int64_t(ends[k] - start));
    }
    CountTurns(int64_t(ends.size() - std::min(first, ends.size())));
}

void ModelObject::ComputeContactsWith(ModelObject* other)
{
    for (int32_t i = 0; i < GeometryCount(); ++i) {
        for (int32_t j = 0; j < other->GeometryCount(); ++j) GeometryAt(i)->FindContact(other->GeometryAt(j));
    }
    CountTurns(int64_t(GeometryCount()) * other->GeometryCount());
}

bool ModelObject::ComputeNewContactsWith(ModelObject* other)
{
    for (int32_t i = 0; i < GeometryCount(); ++i) {
        for (int32_t j = 0; j < other->GeometryCount(); ++j) GeometryAt(i)->FindNewContact(other->GeometryAt(j));
    }
    CountTurns(int64_t(GeometryCount()) * other->GeometryCount());
    return !Holder->Budget.Passed();
}

void ModelObject::ClearContactsOf(ModelObject* node)
{
    // The node is leaving, or its bounds are about to change.
    DropSiblingIndex();
    if (node->IsGroup()) {
        for (int32_t i = 0; i < node->ChildCount(); ++i) ClearContactsOf(node->ChildAt(i));
        CountTurns(node->ChildCount());
        return;
    }
    for (int32_t i = 0; i < node->GeometryCount(); ++i) node->GeometryAt(i)->ClearContacts();
    CountTurns(node->GeometryCount());
}

// --- face connections ---

bool ModelObject::AddFaceContact(int32_t face, ModelObject* other, int32_t otherFace)
{
    if (!other || IsRoot() || other->IsRoot()) return false;
    // A connection made already is found among the surfaces there are, before any is made.
    Surface* surface = SurfaceOfFace(face);
    Surface* otherSurface = other->SurfaceOfFace(otherFace);
    // A read spends the record, and the connections searched, on its budget; past it, the read
    // fails.
    if (!Holder->Budget.Spend(ReadCost::kFaceContacts, 1)) return false;
    if (surface && otherSurface && surface->IsConnected(other, otherSurface, kRelationAny)) return false;
    const bool madeHere = !surface;
    const bool madeThere = !otherSurface;
    surface = SurfaceForFace(face);
    otherSurface = other->SurfaceForFace(otherFace);
    if (surface && otherSurface && surface->ConnectFace(other, otherSurface)) return true;
    // The surfaces made for a connection that was not made go again; past the budget the read
    // fails, and its model goes with them.
    if (!Holder->Budget.Passed()) {
        if (madeHere) ForgetUnusedSurface(face);
        if (madeThere) other->ForgetUnusedSurface(otherFace);
    }
    return false;
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
