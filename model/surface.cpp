// Surfaces: colours, face users, connections, touching faces and placement.
#include "model/surface.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "foundation/loop_turns.h"
#include "foundation/pointer_list.h"
#include "foundation/system_weights.h"
#include "model/drawing_services.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/polygon_element.h"
#include "model/polygon_projection.h"
#include "model/polygon_record.h"
#include "model/texture_services.h"
#include "model/transform.h"

namespace {

constexpr Fixed kFixedPi = 0x3243F;
// Contact lists are counted in 16 bits.
constexpr int32_t kMaxContacts = 32767;

DynamicArray* NewFaceEntryList()
{
    return NewDynamicArray(0, int32_t(sizeof(FaceEntry)), 4);
}

const FaceEntry* EntryAt(const DynamicArray* list, int32_t index)
{
    return list ? list->At<FaceEntry>(index) : nullptr;
}

bool SameEntry(const FaceEntry& a, const FaceEntry& b)
{
    return a.Object == b.Object && a.Face == b.Face;
}

int32_t FindEntry(const DynamicArray* list, const FaceEntry& entry)
{
    for (int32_t i = 0; i < ListCount(list); ++i) {
        if (!SameEntry(*EntryAt(list, i), entry)) continue;
        CountTurns(i + 1);
        return i;
    }
    CountTurns(ListCount(list));
    return kResultNotFound;
}

// The contact sides of a connection by its relation: this face's side and the other face's.
void ContactSidesOf(int32_t relation, int32_t* side, int32_t* otherSide)
{
    *side = relation == kRelationChild ? 1 : 0;
    *otherSide = relation == kRelationParent ? 0 : 1;
}

// Calls visit(face, passSide) for each face that a contact on `side` of the surface is passed on
// to, while it answers true: on side 1 the faces of its parent connections (on their side 1), or
// without those the faces of its sibling connections (side 0); on side 0 the faces of its child
// connections (side 0). False when a visit answered false.
template <class Visit>
bool EveryHeir(const Surface& surface, int32_t side, Visit visit)
{
    auto each = [&](const DynamicArray* list, int32_t passSide) {
        for (int32_t i = 0; i < ListCount(list); ++i) {
            Surface* face = EntryAt(list, i)->Face;
            if (face && !visit(face, passSide)) {
                CountTurns(i + 1);
                return false;
            }
        }
        CountTurns(ListCount(list));
        return true;
    };
    if (side != 1) return each(surface.ChildConnections, 0);
    return surface.ParentConnections ? each(surface.ParentConnections, 1) : each(surface.SiblingConnections, 0);
}

}  // namespace

bool ProjectFaceEntry(const FaceEntry& entry, DynamicArray* points, int16_t* axis)
{
    const PolygonRecord* record = entry.Face ? entry.Face->FaceRecord() : nullptr;
    if (!record || !entry.Object) return false;
    const ShortVector3& n = record->WorldNormal;
    ProjectPolygonToPlane(entry.Object->WorldVertices, record->Indices, n.x, n.y, n.z, points, axis);
    return true;
}

ResultCode Surface::SurfaceInit(ModelObject* owner)
{
    Owner = owner;
    Placement = new (std::nothrow) Transform;
    if (!Placement) return kResultOutOfMemory;
    Placement->TransformInit();
    Flags = 0;
    FrontColour = BackColour = {0, 0, 0};
    ColourCode = 0;
    LeadingContacts = 0;
    DisplayParent = nullptr;
    DisplayOwner = nullptr;
    FrontUncovered = BackUncovered = 1;
    NormaliseColourFlags();
    return kResultOk;
}

void Surface::SurfaceDestroy()
{
    if (deferredAt_ >= 0) Owner->Holder->DeferredCoverings[size_t(deferredAt_)] = nullptr;
    if (overlapsDeferredAt_ >= 0) Owner->Holder->DeferredOverlaps[size_t(overlapsDeferredAt_)] = nullptr;
    DestroyArray(SiblingConnections);
    DestroyArray(ParentConnections);
    DestroyArray(ChildConnections);
    if (Placement) Placement->TransformFree();
    Placement = nullptr;
    DestroyArray(Outline);
    DestroyArray(VranText);
    DestroyArray(FrontPairs);
    DestroyArray(BackPairs);
    DestroyArray(FrontPairsWork);
    DestroyArray(BackPairsWork);
    if (FrontTexture) CurrentTextureServices().TextureRemoveSurfaceUser(FrontTexture, this);
    if (BackTexture) CurrentTextureServices().TextureRemoveSurfaceUser(BackTexture, this);
    for (DynamicArray*& list : Elements) {
        for (int32_t i = 0; i < ListCount(list); ++i) {
            if (PolygonElement* element = PointerAt<PolygonElement>(list, i)) element->Destroy();
        }
        DestroyArray(list);
    }
    ClearFaceUsers();
    DestroyArray(SideContacts[0]);
    DestroyArray(SideContacts[1]);
    delete this;
}

void Surface::LayeringChanged() const
{
    NoteLayeringChanged(Owner ? Owner->Holder : nullptr);
}

int32_t Surface::FaceNumber() const
{
    if (!Owner) return -1;
    if (faceNumber_ < 0 || faceNumber_ >= ListCount(Owner->Surfaces) || PointerAt<Surface>(Owner->Surfaces, faceNumber_) != this)
        faceNumber_ = FindPointer(Owner->Surfaces, this);
    return faceNumber_;
}

// --- colours ---

RGBColor48 Surface::GetSideColour(int32_t side) const
{
    if (side == kSideBoth) side = kSideBack;
    const uint16_t bit = side == kSideFront ? kSurfaceFrontColour : kSurfaceBackColour;
    if (Flags & bit) return side == kSideFront ? FrontColour : BackColour;
    return Owner->GetColour(side);
}

uint16_t Surface::GetSurfaceColourCode() const
{
    return (Flags & kSurfaceColourBits) ? ColourCode : Owner->GetColourCode();
}

void Surface::SetSurfaceColour(const RGBColor48& colour, uint16_t code, int32_t side)
{
    const uint16_t oldCode = GetSurfaceColourCode();
    const int32_t shownBefore = IsSideShown(1);
    if (side == kSideBoth || code < kSpecialColourCode) {
        FrontColour = BackColour = colour;
        Flags |= kSurfaceFrontColour | kSurfaceBackColour;
    } else if (side == kSideFront) {
        FrontColour = colour;
        Flags |= kSurfaceFrontColour;
    } else {
        BackColour = colour;
        Flags |= kSurfaceBackColour;
    }
    ColourCode = code;
    NormaliseColourFlags();
    LayeringChanged();
    const uint16_t newCode = GetSurfaceColourCode();
    if (oldCode >= kSpecialColourCode && newCode < kSpecialColourCode && !shownBefore) {
        AdjustContactCounters(1, 1);
    } else if (oldCode < kSpecialColourCode && newCode >= kSpecialColourCode && !IsSideShown(1)) {
        AdjustContactCounters(1, -1);
    }
    if (PolygonRecord* record = Owner->FindPolygonByIndex(FaceNumber())) record->LightFace();
}

void Surface::ClearSurfaceColour(int32_t side)
{
    if (ColourCode >= kSpecialColourCode && side == kSideFront) {
        FrontColour = {0, 0, 0};
        Flags &= ~kSurfaceFrontColour;
    } else if (ColourCode >= kSpecialColourCode && side == kSideBack) {
        BackColour = {0, 0, 0};
        Flags &= ~kSurfaceBackColour;
    } else {
        FrontColour = BackColour = {0, 0, 0};
        Flags &= ~(kSurfaceFrontColour | kSurfaceBackColour);
    }
    if (!(Flags & kSurfaceColourBits)) ColourCode = 0;
    NormaliseColourFlags();
    LayeringChanged();
}

void Surface::NormaliseColourFlags()
{
    if (!Owner || Owner->GetColourCode() >= kSpecialColourCode) return;
    const uint16_t both = kSurfaceFrontColour | kSurfaceBackColour;
    if ((Flags & both) == kSurfaceFrontColour) {
        BackColour = FrontColour;
        Flags |= kSurfaceBackColour;
    } else if ((Flags & both) == kSurfaceBackColour) {
        FrontColour = BackColour;
        Flags |= kSurfaceFrontColour;
    }
}

// --- polygon elements ---

PolygonElement* Surface::NewPolygonElement()
{
    return new (std::nothrow) PolygonElement;
}

void Surface::AddElement(PolygonElement* element, int32_t side)
{
    if (!element || element->Kind == kElementEmpty || side < 0 || side > 2) return;
    LayeringChanged();
    if (!Elements[side]) {
        if (!IsSideShown(side)) AdjustContactCounters(side, 1);
        Elements[side] = NewPointerList();
        if (!Elements[side]) return;
        Flags |= uint16_t(kSurfaceElementList << side);
    }
    if (AppendPointer(Elements[side], element) < 0) return;
    element->Owner = this;
    element->Update();
    element->LightPolygonElement();
}

void Surface::RemoveElement(PolygonElement* element, int32_t side)
{
    if (side < 0 || side > 2) return;
    const int32_t index = FindPointer(Elements[side], element);
    if (index < 0) return;
    LayeringChanged();
    IgnoreResult(Elements[side]->Remove(index));
    element->Owner = nullptr;
    if (Elements[side]->ArrayCount() == 0) {
        DestroyArray(Elements[side]);
        Flags &= uint16_t(~(kSurfaceElementList << side));
        if (!IsSideShown(side)) AdjustContactCounters(side, -1);
    }
}

void Surface::MoveElement(PolygonElement* element, int32_t delta, int32_t side)
{
    if (side < 0 || side > 2) return;
    DynamicArray* list = Elements[side];
    const int32_t from = FindPointer(list, element);
    if (from < 0) return;
    int64_t to = int64_t(from) + delta;
    if (to < 0) to = 0;
    if (to > list->ArrayCount() - 1) to = list->ArrayCount() - 1;
    IgnoreResult(list->Remove(from));
    IgnoreResult(InsertPointer(list, int32_t(to), element));  // the slot just freed takes it back
}

void Surface::ScaleElements(Fixed factor)
{
    for (int32_t side = 0; side < 3; ++side) {
        for (int32_t i = 0; i < ElementCount(side); ++i) ElementAt(side, i)->ScaleElement(factor);
    }
    CountTurns(CountElements());
}

void Surface::LightElements(const FaceLights& lights)
{
    for (int32_t side = 0; side < 3; ++side) {
        const int32_t count = ElementCount(side);
        for (int32_t i = 0; i < count; ++i) ElementAt(side, i)->LightPolygonElement(lights);
        CountTurns(count);
    }
}

int32_t Surface::ElementCount(int32_t side) const
{
    return side >= 0 && side <= 2 ? ListCount(Elements[side]) : 0;
}

PolygonElement* Surface::ElementAt(int32_t side, int32_t index) const
{
    return side >= 0 && side <= 2 ? PointerAt<PolygonElement>(Elements[side], index) : nullptr;
}

int32_t Surface::CountElements() const
{
    return ElementCount(0) + ElementCount(1) + ElementCount(2);
}

// --- face users ---

void Surface::AddFaceUser(PolygonRecord* record)
{
    if (!FaceUserList && !FaceUser) {
        FaceUser = record;
        return;
    }
    if (!FaceUserList) {
        FaceUserList = NewPointerList();
        if (!FaceUserList) return;
        AppendPointer(FaceUserList, FaceUser);
        FaceUser = nullptr;
    }
    AppendPointer(FaceUserList, record);
}

void Surface::RemoveFaceUser(const PolygonRecord* record)
{
    if (FaceUser == record) FaceUser = nullptr;
    const int32_t index = FindPointer(FaceUserList, record);
    if (index >= 0) IgnoreResult(FaceUserList->Remove(index));
}

void Surface::ClearFaceUsers()
{
    DestroyArray(FaceUserList);
    FaceUser = nullptr;
}

PolygonRecord* Surface::FaceRecord() const
{
    return FaceUserList ? PointerAt<PolygonRecord>(FaceUserList, 0) : FaceUser;
}

// --- connections ---

int32_t Surface::RelationTo(const ModelObject* object) const
{
    if (!object || !Owner) return -1;
    if (Owner->Parent == object->Parent) return kRelationSibling;
    if (object == Owner->Parent) return kRelationParent;
    if (Owner == object->Parent) return kRelationChild;
    return -1;
}

DynamicArray* Surface::ConnectionList(int32_t relation) const
{
    switch (relation) {
    case kRelationSibling: return SiblingConnections;
    case kRelationParent: return ParentConnections;
    case kRelationChild: return ChildConnections;
    default: return nullptr;
    }
}

bool Surface::ConnectFace(ModelObject* otherObject, Surface* otherSurface)
{
    const int32_t relation = RelationTo(otherObject);
    if (relation < 0 || !otherSurface) return false;
    int32_t side = 0;
    int32_t otherSide = 0;
    ContactSidesOf(relation, &side, &otherSide);
    const FaceEntry entry = {otherObject, otherSurface};
    // The connection and its contacts are made together or not at all.
    if (!HasContactRoom(side, entry, otherSide)) return false;
    DynamicArray*& list = relation == kRelationSibling ? SiblingConnections
                          : relation == kRelationParent ? ParentConnections
                                                        : ChildConnections;
    if (!list) list = NewFaceEntryList();
    if (!list || list->Append(&entry) < 0) {
        NoteMemoryShort(Owner ? Owner->Holder : nullptr);
        if (ListCount(list) == 0) DestroyArray(list);
        return false;
    }
    if (!AddContact(side, {Owner, this}, entry, otherSide)) {
        IgnoreResult(list->Remove(list->ArrayCount() - 1));
        if (list->ArrayCount() == 0) DestroyArray(list);
        return false;
    }
    if (otherSurface->IsConnected(Owner, this, kRelationAny)) return true;
    // Connections are mutual: one that the other face could not take back is taken out again.
    if (otherSurface->ConnectFace(Owner, this)) return true;
    int32_t i = ListCount(list) - 1;
    while (i >= 0 && !SameEntry(*EntryAt(list, i), entry)) --i;
    CountTurns(ListCount(list) - i);
    if (i >= 0) TakeOutConnection(relation, i);
    return false;
}

bool Surface::HasContactRoom(int32_t side, const FaceEntry& entry, int32_t otherSide) const
{
    const Surface* other = entry.Face;
    if (!other) return true;
    // A read spends each face the walk visits on its budget; past it, nothing has room (and the
    // read fails).
    if (Owner && !Owner->Holder->Budget.Spend(ReadCost::kFaceContacts, 1)) return false;
    // The entry comes with the other face's own contacts on its side.
    if (int64_t(ContactCount(side)) + ListCount(other->SideContacts[otherSide]) + 1 > kMaxContacts) return false;
    return EveryHeir(*this, side, [&](const Surface* face, int32_t passSide) {
        return face->HasContactRoom(passSide, entry, otherSide);
    });
}

int32_t Surface::IsConnected(const ModelObject* object, const Surface* surface, int32_t relation) const
{
    if (!object && surface) object = surface->Owner;
    if (!object) {
        if (relation >= 0) return ConnectionList(relation) != nullptr;
        return SiblingConnections || ParentConnections || ChildConnections;
    }
    const int32_t own = RelationTo(object);
    if (own < 0 || (relation >= 0 && relation != own)) return 0;
    const DynamicArray* list = ConnectionList(own);
    for (int32_t i = 0; i < ListCount(list); ++i) {
        const FaceEntry* entry = EntryAt(list, i);
        if (entry->Object != object || (surface && entry->Face != surface)) continue;
        CountTurns(i + 1);
        SpendOnConnections(i + 1);
        return 1;
    }
    CountTurns(ListCount(list));
    SpendOnConnections(ListCount(list));
    return 0;
}

void Surface::SpendOnConnections(int64_t walked) const
{
    // Past the read's budget the read fails; the walk that spent it is done.
    if (Owner) Owner->Holder->Budget.Spend(ReadCost::kFaceContacts, walked);
}

void Surface::TakeOutConnection(int32_t relation, int32_t index)
{
    DynamicArray*& list = relation == kRelationSibling ? SiblingConnections
                          : relation == kRelationParent ? ParentConnections
                                                        : ChildConnections;
    const FaceEntry entry = *EntryAt(list, index);
    IgnoreResult(list->Remove(index));
    if (list->ArrayCount() == 0) DestroyArray(list);
    int32_t side = 0;
    int32_t otherSide = 0;
    ContactSidesOf(relation, &side, &otherSide);
    RemoveContact(side, entry, otherSide);
    // The other face drops its entry for this one from whichever list holds it, so that no
    // entry is left behind even when the objects were moved in the tree since they connected.
    if (entry.Face) entry.Face->DisconnectFace(Owner, this, kRelationAny);
}

void Surface::DisconnectFace(const ModelObject* object, const Surface* surface, int32_t relation)
{
    for (int32_t r = kRelationSibling; r <= kRelationChild; ++r) {
        if (relation >= 0 && r != relation) continue;
        CountTurns(ListCount(ConnectionList(r)));
        SpendOnConnections(ListCount(ConnectionList(r)));
        for (int32_t i = ListCount(ConnectionList(r)) - 1; i >= 0; --i) {
            const DynamicArray* list = ConnectionList(r);
            if (i >= ListCount(list)) continue;
            const FaceEntry* entry = EntryAt(list, i);
            if ((!object || entry->Object == object) && (!surface || entry->Face == surface)) TakeOutConnection(r, i);
        }
    }
}

void Surface::DisconnectAllExcept(const DynamicArray* objects, int32_t relation)
{
    for (int32_t r = kRelationSibling; r <= kRelationChild; ++r) {
        if (relation >= 0 && r != relation) continue;
        for (int32_t i = ListCount(ConnectionList(r)) - 1; i >= 0; --i) {
            const DynamicArray* list = ConnectionList(r);
            if (i >= ListCount(list)) continue;
            if (FindPointer(objects, EntryAt(list, i)->Object) < 0) TakeOutConnection(r, i);
        }
    }
}

void Surface::DisconnectStaying()
{
    for (int32_t r = kRelationSibling; r <= kRelationChild; ++r) {
        CountTurns(ListCount(ConnectionList(r)));
        for (int32_t i = ListCount(ConnectionList(r)) - 1; i >= 0; --i) {
            const DynamicArray* list = ConnectionList(r);
            if (i >= ListCount(list)) continue;
            if (!EntryAt(list, i)->Object->IsLeaving()) TakeOutConnection(r, i);
        }
    }
}

// --- faces touching this face ---

int32_t Surface::ContactCount(int32_t side) const
{
    return ListCount(SideContacts[side]);
}

void Surface::AddCounters(int32_t side, const Surface* other, int32_t otherSide, int32_t sign)
{
    const int32_t e = side == 0 ? 0 : 2;
    const int32_t f = otherSide == 0 ? 0 : 2;
    SideCounters[e][side] = int16_t(SideCounters[e][side] + sign * other->SideShownCount(otherSide, f));
    SideCounters[1][side] = int16_t(SideCounters[1][side] + sign * other->SideShownCount(otherSide, 1));
    SideCounters[2 - e][side] = int16_t(SideCounters[2 - e][side] + sign * other->SideShownCount(otherSide, 2 - f));
}

void Surface::PassContactOn(int32_t side, const FaceEntry& self, const FaceEntry& entry, int32_t otherSide,
                            bool adding)
{
    EveryHeir(*this, side, [&](Surface* face, int32_t passSide) {
        if (!adding) {
            face->RemoveContact(passSide, entry, otherSide);
            return true;
        }
        // A face that memory leaves without the contact has told the holder; past the read's
        // budget the read fails, and the contact goes no further.
        face->AddContact(passSide, self, entry, otherSide);
        return !(Owner && Owner->Holder->Budget.Passed());
    });
}

bool Surface::AddContact(int32_t side, const FaceEntry& self, const FaceEntry& entry, int32_t otherSide)
{
    Surface* other = entry.Face;
    if (!other) return true;
    LayeringChanged();
    // The elements' overlaps owed are worked out over the contacts they were owed for.
    SettleElementOverlaps();
    // The other face's contacts on its side go in before the entry, both before this face's own
    // entry (or at the end), all at once or not at all.
    const DynamicArray* otherList = other->SideContacts[otherSide];
    const int32_t inserted = ListCount(otherList);
    // A face would take its own list on that side only in a tree that has changed since its
    // connections were made: that list is copied before it grows.
    std::vector<FaceEntry> own;
    if (otherList && otherList == SideContacts[side]) {
        CountTurns(kHeapBlockTurns + inserted);
        own.assign(otherList->Elements<FaceEntry>(), otherList->Elements<FaceEntry>() + inserted);
    }
    const int32_t count = ContactCount(side);
    const int32_t found = FindEntry(SideContacts[side], self);
    const int32_t pos = found < 0 ? count : found;
    // What a read spends: the list searched and moved, the entries made, and each element on both
    // sides of the face compared with the face's contacts; and the entries the list takes in.
    const int64_t work = (int64_t(ElementCount(1)) + 1) * (int64_t(count) + inserted + 1);
    if (Owner && (!Owner->Holder->Budget.Spend(ReadCost::kFaceContacts, work) ||
                  !Owner->Holder->Budget.Spend(ReadCost::kContactEntries, int64_t(inserted) + 1)))
        return false;
    const bool made = !SideContacts[side];
    if (made) SideContacts[side] = NewFaceEntryList();
    DynamicArray* list = SideContacts[side];
    if (!list || list->ArraySetCount(count + inserted + 1) != kResultOk) {
        NoteMemoryShort(Owner ? Owner->Holder : nullptr);
        if (made) DestroyArray(SideContacts[side]);
        return false;
    }
    FaceEntry* entries = list->Elements<FaceEntry>();
    std::memmove(entries + pos + inserted + 1, entries + pos, size_t(count - pos) * sizeof(FaceEntry));
    if (inserted > 0) {
        const FaceEntry* from = own.empty() ? otherList->Elements<FaceEntry>() : own.data();
        std::copy(from, from + inserted, entries + pos);
    }
    CountTurns(int64_t(inserted) + count - pos);
    entries[pos + inserted] = entry;
    if (side == 0) {
        if (otherSide == 0) {
            LeadingContacts = int16_t(other->LeadingContacts + pos);
        } else {
            LeadingContacts = int16_t(LeadingContacts + 1 + inserted);
        }
        RefreshDisplayOwner();
    }
    AddCounters(side, other, otherSide, 1);
    PassContactOn(side, self, entry, otherSide, true);
    for (int32_t i = 0; i < ElementCount(1); ++i) ElementAt(1, i)->CollectSideOverlaps(pos, pos + inserted, side);
    CountTurns(ElementCount(1));
    RecomputeCovering(side);
    return true;
}

void Surface::RemoveContact(int32_t side, const FaceEntry& entry, int32_t otherSide)
{
    DynamicArray*& list = SideContacts[side];
    const int32_t pos = FindEntry(list, entry);
    if (pos < 0) return;
    LayeringChanged();
    SettleElementOverlaps();
    Surface* other = entry.Face;
    const int32_t flattened = other ? ListCount(other->SideContacts[otherSide]) : 0;
    const int32_t first = pos - flattened < 0 ? 0 : pos - flattened;
    for (int32_t i = 0; i < ElementCount(1); ++i) ElementAt(1, i)->RemoveSideOverlaps(first, pos, side);
    CountTurns(ElementCount(1));
    IgnoreResult(list->ArrayRemoveRange(first, pos));
    if (list->ArrayCount() == 0) DestroyArray(list);
    if (side == 0) {
        if (otherSide == 0) {
            LeadingContacts = int16_t(first);
        } else {
            const int32_t leading = LeadingContacts - 1 - flattened;
            LeadingContacts = int16_t(leading < 0 ? 0 : leading);
        }
        RefreshDisplayOwner();
    }
    if (other) AddCounters(side, other, otherSide, -1);
    PassContactOn(side, {Owner, this}, entry, otherSide, false);
    RecomputeCovering(side);
}

void Surface::RecomputeCovering(int32_t side)
{
    // A read makes a face's connections one by one, each of which would work its covering out
    // again over all its contacts: the read works it out once, when they are all made.
    ModelHolder* holder = Owner ? Owner->Holder : nullptr;
    if (!holder || !holder->Budget.Reading()) {
        ComputeCovering(side);
        return;
    }
    if (deferredAt_ < 0) {
        deferredAt_ = int32_t(holder->DeferredCoverings.size());
        holder->DeferredCoverings.push_back(this);
    }
    deferredSides_ |= uint8_t(1 << side);
}

void FinishDeferredCoverings(ModelHolder* holder, bool compute)
{
    // The list stays whole until every face is done: a face that goes meanwhile clears its place.
    std::vector<Surface*>& faces = holder->DeferredCoverings;
    for (Surface* face : faces) {
        if (!face) continue;
        for (int32_t side = 0; side < 2; ++side) {
            if (compute && (face->deferredSides_ & (1 << side))) face->ComputeCovering(side);
        }
        face->deferredSides_ = 0;
        face->deferredAt_ = -1;
    }
    CountTurns(int64_t(faces.size()));
    faces.clear();
}

bool Surface::DeferElementOverlaps(PolygonElement* element)
{
    ModelHolder* holder = Owner ? Owner->Holder : nullptr;
    if (!holder || !holder->Budget.Reading()) return false;
    element->OverlapsOwed = true;
    if (overlapsDeferredAt_ < 0) {
        overlapsDeferredAt_ = int32_t(holder->DeferredOverlaps.size());
        holder->DeferredOverlaps.push_back(this);
    }
    return true;
}

void Surface::SettleElementOverlaps(bool compute)
{
    if (overlapsDeferredAt_ < 0) return;
    for (int32_t side = 0; side < 3; ++side) {
        for (int32_t i = 0; i < ElementCount(side); ++i) {
            PolygonElement* element = ElementAt(side, i);
            if (!element->OverlapsOwed) continue;
            if (compute) {
                element->RebuildSideOverlapsNow();
            } else {
                element->OverlapsOwed = false;
            }
        }
    }
    CountTurns(CountElements());
    Owner->Holder->DeferredOverlaps[size_t(overlapsDeferredAt_)] = nullptr;
    overlapsDeferredAt_ = -1;
}

void FinishDeferredOverlaps(ModelHolder* holder, bool compute)
{
    std::vector<Surface*>& faces = holder->DeferredOverlaps;
    // A face settles and leaves the list; one that goes meanwhile clears its place.
    for (size_t k = 0; k < faces.size(); ++k) {
        if (faces[k]) faces[k]->SettleElementOverlaps(compute);
    }
    CountTurns(int64_t(faces.size()));
    faces.clear();
}

void Surface::ComputeCovering(int32_t side)
{
    int32_t& uncovered = side == 0 ? FrontUncovered : BackUncovered;
    const DynamicArray* list = SideContacts[side];
    uncovered = 1;
    if (ColourCode >= kSpecialColourCode || !list) return;
    // Past the read's budget the read fails, and its model goes.
    ReadBudget* budget = Owner ? &Owner->Holder->Budget : nullptr;
    if (budget && !budget->Spend(ReadCost::kFaceContacts, list->ArrayCount())) return;
    DynamicArray* points = NewDynamicArray(0, int32_t(sizeof(FixedPoint)), 8);
    if (!points) return;
    int16_t axis = 0;
    DrawingServices& drawing = CurrentDrawingServices();
    // The outlines projected, and the regions they are handed to, are spent on the budget before
    // the regions are made, with the list of points the first time.
    auto pays = [&](const CoverageRegion* region) {
        const int64_t work =
            points->ArrayCount() + drawing.CoverageWork(region, points) + (region ? 0 : kHeapBlockTurns);
        return !budget || budget->Spend(ReadCost::kCoverage, work);
    };
    if (!ProjectFaceEntry({Owner, this}, points, &axis) || !pays(nullptr)) {
        points->Destroy();
        return;
    }
    CoverageRegion* region = drawing.NewCoverageRegion(points);
    const int32_t count = list->ArrayCount();
    int32_t i = count - 1;
    for (; i >= 0; --i) {
        if (side == 0 && i >= LeadingContacts) continue;
        IgnoreResult(points->ArraySetCount(0));
        if (!ProjectFaceEntry(*EntryAt(list, i), points, &axis)) continue;
        if (!pays(region)) break;
        drawing.CoverageRegionSubtract(region, points);
        // Once nothing is left, the contacts before this one cover nothing more.
        if (!drawing.CoverageRegionRemains(region)) break;
    }
    CountTurns(count - 1 - i);
    uncovered = drawing.CoverageRegionRemains(region);
    drawing.DisposeCoverageRegion(region);
    points->Destroy();
}

void Surface::RefreshDisplayOwner()
{
    const DynamicArray* list = SideContacts[0];
    DisplayOwner = LeadingContacts >= 0 && LeadingContacts < ListCount(list) ? EntryAt(list, LeadingContacts)->Object
                                                                              : Owner;
    DisplayParent = DisplayOwner ? DisplayOwner->Parent : nullptr;
    while (DisplayParent && DisplayParent->IsGroup()) DisplayParent = DisplayParent->Parent;
}

void Surface::RefreshChildDisplayOwners()
{
    std::vector<ModelObject*> objects;
    RefreshChildFaceOwners(&objects);
    RefreshEachOnce(&objects);
}

void Surface::RefreshChildFaceOwners(std::vector<ModelObject*>* objects)
{
    for (int32_t i = 0; i < ListCount(ChildConnections); ++i) {
        const FaceEntry* entry = EntryAt(ChildConnections, i);
        if (entry->Face) entry->Face->RefreshDisplayOwner();
        if (entry->Object && entry->Object->Parent == Owner) objects->push_back(entry->Object);
    }
    CountTurns(ListCount(ChildConnections));
}

void RefreshEachOnce(std::vector<ModelObject*>* objects)
{
    // What a surface inherits depends on its own connections and the tree alone, so the order
    // does not matter.
    std::sort(objects->begin(), objects->end());
    CountTurns(int64_t(objects->size()));
    objects->erase(std::unique(objects->begin(), objects->end()), objects->end());
    for (ModelObject* object : *objects) object->RefreshSurfaceInheritance();
    CountTurns(int64_t(objects->size()));
}

int32_t Surface::IsSideShown(int32_t layer) const
{
    if (Elements[layer]) return 1;
    const bool own = (Flags & kSurfaceColourBits) != 0;
    if (layer == 1 && own && ColourCode < kSpecialColourCode) return 1;
    if (own) return 0;
    return Owner->GetColourCode() < kSpecialColourCode ? 1 : 0;
}

int32_t Surface::SideShownCount(int32_t contactSide, int32_t layer) const
{
    return SideCounters[layer][contactSide] + IsSideShown(layer);
}

void Surface::AdjustContactCounters(int32_t layer, int32_t delta)
{
    LayeringChanged();
    for (int32_t c = 0; c < 2; ++c) {
        const DynamicArray* list = SideContacts[c];
        CountTurns(ListCount(list));
        for (int32_t i = 0; i < ListCount(list); ++i) {
            const int32_t g = c == 0 && i >= LeadingContacts ? 1 : 0;
            const int32_t k = c == g ? 2 - layer : layer;
            Surface* face = EntryAt(list, i)->Face;
            if (face) face->SideCounters[k][g] = int16_t(face->SideCounters[k][g] + delta);
        }
    }
}

// --- placement ---

void PlaceTransformOnFace(Transform* placement, const FixedVector3& point, const ShortVector3& normal)
{
    placement->TransformReset();
    if (normal.x == 0 && normal.y == 0) {
        if (normal.z < 0) placement->RotateAbout(kFixedPi, 0, 0, 0, 0, 0);
    } else {
        const double nx = normal.x;
        const double ny = normal.y;
        const double a1 = std::atan2(SafeSqrt(nx * nx + ny * ny), double(normal.z));
        const double a2 = std::atan2(nx, -ny);
        placement->RotateAbout(0, X2Fix(a1), 0, 0, 0, 0);
        placement->RotateAbout(0, 0, X2Fix(a2), 0, 0, 0);
    }
    placement->Translate(point.x, point.y, point.z);
}

namespace {

// The face's first vertex, where its placement stands; the origin when it names none.
FixedVector3 FirstFaceVertex(const DynamicArray* indices, const DynamicArray* vertices)
{
    const int32_t first = ListCount(indices) > 0 ? *indices->At<int16_t>(0) : -1;
    const FixedVector3* start = vertices ? vertices->At<FixedVector3>(first) : nullptr;
    return start ? *start : FixedVector3{0, 0, 0};
}

}  // namespace

void PlaceFaceOutline(Transform* placement, DynamicArray* outline, const ShortVector3& normal,
                      const DynamicArray* indices, const DynamicArray* vertices)
{
    PlaceTransformOnFace(placement, FirstFaceVertex(indices, vertices), normal);
    IgnoreResult(outline->ArraySetCount(0));
    Fixed minX = 0;
    Fixed minY = 0;
    for (int32_t i = 0; i < ListCount(indices); ++i) {
        const FixedVector3* vertex = vertices ? vertices->At<FixedVector3>(*indices->At<int16_t>(i)) : nullptr;
        if (!vertex) continue;
        FixedVector3 q;
        placement->InverseTransformPoint(&q, vertex->x, vertex->y, vertex->z);
        const FixedPoint point = {q.x, q.y};
        if (outline->ArrayCount() == 0 || FixCompare(q.x, minX) < 0) minX = q.x;
        if (outline->ArrayCount() == 0 || FixCompare(q.y, minY) < 0) minY = q.y;
        outline->Append(&point);
    }
    for (int32_t i = 0; i < outline->ArrayCount(); ++i) {
        FixedPoint* point = outline->At<FixedPoint>(i);
        point->x = FixSub(point->x, minX);
        point->y = FixSub(point->y, minY);
    }
    CountTurns(ListCount(indices) + outline->ArrayCount());
    Transform corner;
    corner.TransformInit();
    corner.Translate2D(minX, minY);
    corner.AppendTransform(placement);
    corner.TransformCopyTo(placement);
}

void Surface::PlaceOnFace(const FixedVector3& point, const ShortVector3& normal)
{
    PlaceTransformOnFace(Placement, point, normal);
}

void Surface::PlaceSurface(const ShortVector3& normal, const DynamicArray* indices, const DynamicArray* vertices)
{
    if (PlaceSurfaceOnFace(normal, indices, vertices) && Owner) Owner->UpdateObjectBoxes(Owner->FirstNonGroupParent());
}

bool Surface::PlaceSurfaceOnFace(const ShortVector3& normal, const DynamicArray* indices, const DynamicArray* vertices)
{
    if (!Outline) Outline = NewDynamicArray(0, int32_t(sizeof(FixedPoint)), 4);
    if (Outline) {
        PlaceFaceOutline(Placement, Outline, normal, indices, vertices);
    } else {
        PlaceOnFace(FirstFaceVertex(indices, vertices), normal);
    }
    // Each element's update would work the object's boxes out again over all its elements.
    for (int32_t side = 0; side < 3; ++side) {
        for (int32_t i = 0; i < ElementCount(side); ++i) ElementAt(side, i)->UpdateOnFace();
    }
    CountTurns(CountElements());
    UpdateSideTextureMapping();
    return CountElements() > 0;
}
