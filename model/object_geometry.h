// ObjectGeometry: the face records of one built scene object with its boxes and bounding sphere,
// the records registered under it, and its contacts with the records of sibling objects.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/dynamic_array.h"
#include "foundation/pointer_list.h"
#include "model/contact_room.h"
#include "model/geometry_pool.h"
#include "model/short_vector.h"

struct FaceLights;
class ModelObject;
class PlaneRecord;
class PolygonRecord;
class Surface;
class PartingFaces;
struct PartingSummary;

class ObjectGeometry;

// Results of HitTestPolygonObject.
constexpr int32_t kHitInside = 1;
constexpr int32_t kHitOnSurface = 2;
constexpr int32_t kHitOutside = 3;

class ObjectGeometry {
public:
    // A new record for the owner with an empty polygon list, in its holder's pool; null when
    // memory is short.
    static ObjectGeometry* New(ModelObject* owner);
    // The same in the pool given where it has room (else on its own).
    static ObjectGeometry* New(ModelObject* owner, GeometryPool* pool);
    ResultCode ObjectGeometryInit(ModelObject* owner);
    void ObjectGeometryFree();

    int32_t PolygonCount() const { return ListCount(Polygons); }
    PolygonRecord* PolygonAt(int32_t index) const { return PointerAt<PolygonRecord>(Polygons, index); }
    // Makes and fills a record; kept (and registered with the surface) when the fill succeeds.
    // Records are added in rising face order, which FindPartById relies on.
    void AddPolygonRecord(const DynamicArray* indices, int32_t face, Surface* surface);
    // Gives the list of records room for `count` more at once: grown a step at a time, a list is
    // copied at every step until it is a few kilobytes long, which for an object of hundreds of
    // faces costs more than building them.
    void ReservePolygons(int32_t count);
    // Removes every polygon whose entry is 1, takes it off its surface's users and frees it; the
    // others keep their order.
    void DiscardPolygons(const std::vector<uint8_t>& discarded);
    // The record of the face, or null (a face that slices cut away).
    PolygonRecord* FindPartById(int32_t face) const;

    void ComputeBounds(int32_t which);
    void ExtendBox(ShortBox* box, int32_t which) const;
    // One double per local vertex of the owner: A x + B y + C z + D; whether any is below 0.
    bool PlaneValues(const PlaneRecord* plane, DynamicArray* output) const;
    void CutBySlices();
    void RemoveDegenerateRecords();
    // Works out the faces' planes in the world and lights them with the lights on its owner's faces.
    void UpdateWorldPlanes(const FaceLights& lights);
    void RefreshRecordShading(const FaceLights& lights);
    void ReleaseRecordCaches();
    int32_t HitTestPolygonObject(int16_t x, int16_t y, int16_t z) const;

    void AddMembers(ModelObject* node);
    void RemoveMembersOf(const ModelObject* node);
    void FindContact(ObjectGeometry* other);
    // FindContact for a record that has no contact with this one yet.
    void FindNewContact(ObjectGeometry* other);
    int32_t FindSeparatingFace(ObjectGeometry* other, ShortVector3* normal, ShortVector3* point);
    // What the search for a parting face needs of the record, found at the first search (null past
    // the read's budget or without memory) and dropped as the faces or their world places change;
    // for a record of few faces, found again for each search into `scratch`.
    const PartingSummary* Parting(PartingSummary* scratch);
    // The face table of a record of few faces, made at its first search (null past the read's
    // budget or without memory) and dropped with the summary.
    const PartingFaces* FewFaces();
    void DropParting();
    // Keeps a contact of this record with the other, the normal pointing away from this one, on a
    // plane of the pool's contact room (ContactRoom::UsePlane: `shared` when the plane is one of a
    // face of either record); an item in each list (two in this one's when the other is this one).
    void AddGeometryContact(ObjectGeometry* other, const ShortVector3& point, const ShortVector3& normal, bool shared);
    void RemoveContactWith(const ObjectGeometry* other);
    // Every partner whose object is not leaving (ModelObject::IsLeaving) removes its item for this
    // record; then this record's contacts are emptied and their block given back.
    void ClearContacts();
    int32_t ContactCount() const { return contactCount_; }
    // The contact of the index (below ContactCount()) as this record sees it.
    ContactEntry ContactAt(int32_t index) const
    {
        return ContactSeen(Contacts[index], Pool->Contacts()->Plane(Contacts[index].Plane >> 1));
    }
    // The record the contact of the index names, or null.
    ObjectGeometry* ContactOther(int32_t index) const
    {
        if (index < 0 || index >= contactCount_) return nullptr;
        return static_cast<ObjectGeometry*>(Pool->Record(Contacts[index].OtherNumber));
    }

    // The fields a frame reads of every record come first, side by side.
    ModelObject* Owner = nullptr;
    DynamicArray* Polygons = nullptr;  // PolygonRecord pointers, owned
    // ContactCount() items in a block of the pool's contact room: a record made on its own has
    // none.
    ContactItem* Contacts = nullptr;
    int32_t contactCount_ = 0;
    ShortVector3 WorldCentre = {0, 0, 0};
    int16_t WorldRadius = 0;
    // Renderer caches, kept per change serial of the model: the visibility test (with the clip
    // code of the view planes the bounding sphere crosses and its centre's depth).
    uint16_t VisSerial = 0;
    // Renderer state, zero at creation: whether the record was accepted this frame, and its
    // screen box (minimum and maximum of screen x, depth and screen y).
    uint8_t Visible = 0;
    // Whether faces drawn after it this frame paint over every pixel of its screen box, so that
    // drawing it can be left out.
    uint8_t Occluded = 0;
    // Whether the facing and corner lists of its faces are still to be made for this frame, and
    // whether its object's camera vertices and projected records and its own screen points are.
    uint8_t FacesPending = 0;
    uint8_t PointsPending = 0;
    int8_t ClipCode = 0;
    uint8_t Mirrored = 0;
    // Whether a face of the record is drawn in layers or with layers over it in the records' pass,
    // and whether one may draw beyond its outline there (its elements or the faces lying against
    // it), as found when the holder's layering serial was LayeringSerial (0: not found yet).
    uint8_t HasFaceLayers = 0;
    uint8_t ReachesBeyondFaces = 0;
    int16_t CentreDepth = 0;
    // The record's place in the draw list of its frame (32 bits: a root may hold more than 32,767
    // records in view).
    int32_t DrawIndex = 0;
    int32_t ScreenMinimum[3] = {0, 0, 0};
    int32_t ScreenMaximum[3] = {0, 0, 0};
    uint32_t LayeringSerial = 0;
    // The own-face passes in progress, and the screen point of every vertex.
    int32_t PassDepth = 0;
    // The record's number in its pool.
    uint32_t PoolNumber = 0;
    DynamicArray* ScreenPoints = nullptr;  // two int32_t per vertex
    DynamicArray* Members = nullptr;       // ObjectGeometry pointers
    ShortBox LocalBox = {{0, 0, 0}, {0, 0, 0}};
    ShortBox WorldBox = {{0, 0, 0}, {0, 0, 0}};
    ShortVector3 LocalCentre = {0, 0, 0};
    // The length of the contacts' block in the contact room (ContactRoom::Entries).
    int8_t contactLength_ = 0;
    // Room in the contacts' block for `more` items, the block moved to a longer one as needed;
    // false when memory is short.
    bool ContactRoomFor(int32_t more);
    // The draw-order list of the records registered under this one, kept per change serial with
    // how much of it was drawn, and the serial at which the record was last drawn from inside
    // through a see-through face.
    DynamicArray* DrawList = nullptr;  // a ContactList of ObjectGeometry pointers
    uint16_t DrawSerial = 0;
    uint16_t InsideSerial = 0;
    int32_t DrawCount = 0;
    // The pool that gave the record its room (null: made on its own).
    GeometryPool* Pool = nullptr;
    PartingSummary* partingSummary_ = nullptr;  // owned
    PartingFaces* partingFaces_ = nullptr;      // owned
    // The mark of the holder's scratch summary while it holds this record's (0: none).
    uint64_t partingScratchMark_ = 0;
};
