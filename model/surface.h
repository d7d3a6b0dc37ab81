// Surface: what one face of a scene object holds of its own: colours, textures and side
// attributes that override the object's, its placement (surface coordinates on the face), its
// outline in that placement, its connections to faces of other objects and the bookkeeping of
// the faces that touch it.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/dynamic_array.h"
#include "foundation/fixed.h"
#include "foundation/rgb_color.h"
#include "foundation/root_object.h"
#include "model/short_vector.h"

class MemoryStream;
struct FaceLights;
class ModelHolder;
class ModelObject;
class PolygonElement;
class PolygonRecord;
class Surface;
class TextureRecord;
class Transform;

// A face of an object: the entries of connection and contact lists.
struct FaceEntry {
    ModelObject* Object;
    Surface* Face;
};

// Appends the corners of the entry's face (its face record's vertices in its object's world
// coordinates) projected on a coordinate plane, chosen from the face's normal while `axis` is 0
// (ProjectPolygonToPlane); false when the face has no record.
bool ProjectFaceEntry(const FaceEntry& entry, DynamicArray* points, int16_t* axis);

// Sets the placement that takes surface coordinates (the plane z = 0) onto the face through the
// point with the normal.
void PlaceTransformOnFace(Transform* placement, const FixedVector3& point, const ShortVector3& normal);
// Places the transform on the face (at its first vertex) and fills `outline` with the face's
// vertices (indices into `vertices`) in surface coordinates, shifted so that the least x and y
// are zero; the placement takes the shift.
void PlaceFaceOutline(Transform* placement, DynamicArray* outline, const ShortVector3& normal,
                      const DynamicArray* indices, const DynamicArray* vertices);

// Refreshes the surfaces of each object of the list once (ModelObject::RefreshSurfaceInheritance),
// however often it is listed.
void RefreshEachOnce(std::vector<ModelObject*>* objects);

// Computes the coverings that the holder's read left to be done (each face's once), or, when
// `compute` is false (the read failed, and its model goes), forgets them.
void FinishDeferredCoverings(ModelHolder* holder, bool compute);
// Works out the overlaps that the holder's read left its elements owing (each element's once), or,
// when `compute` is false, forgets them.
void FinishDeferredOverlaps(ModelHolder* holder, bool compute);

// Flags bits.
constexpr uint16_t kSurfaceFrontColour = 0x0001;
constexpr uint16_t kSurfaceBackColour = 0x0004;
constexpr uint16_t kSurfaceColourBits = 0x0007;
constexpr uint16_t kSurfaceElementList = 0x0008;  // shifted left by the element side index
constexpr uint16_t kSurfaceFrontTexture = 0x0200;
constexpr uint16_t kSurfaceBackTexture = 0x0800;
constexpr uint16_t kSurfaceTextureBits = 0x0E00;
constexpr uint16_t kSurfaceFrontAttribute = 0x1000;
constexpr uint16_t kSurfaceBackAttribute = 0x4000;
constexpr uint16_t kSurfaceAttributeBits = 0x7000;
// The bits that make a surface worth storing.
constexpr uint16_t kSurfaceDataBits = 0x7E3F;

// Colour codes of 0xF000 and above are special: a special code colours one side only and
// draws the face solid.
constexpr uint16_t kSpecialColourCode = 0xF000;

// Relations of a connection (and the connection lists).
constexpr int32_t kRelationAny = -1;
constexpr int32_t kRelationSibling = 0;
constexpr int32_t kRelationParent = 1;
constexpr int32_t kRelationChild = 2;

class Surface : public RootObject {
public:
    // Slot 0, Stream: the surface's chunks inside its object's "SURF" chunk.
    ResultCode Write(MemoryStream* stream) override;
    // Slot 1: adds the element to the list of the side index (0, 1 or 2), making the list when
    // needed; an element without a polygon (kind 10) is refused.
    virtual void AddElement(PolygonElement* element, int32_t side);
    // Slot 2: a new element, not yet initialised; null when memory is short.
    virtual PolygonElement* NewPolygonElement();

    ResultCode Stream(MemoryStream* stream) { return Write(stream); }

    // Stores the owner and makes the placement; kResultOutOfMemory when it could not be made.
    ResultCode SurfaceInit(ModelObject* owner);
    void SurfaceDestroy();
    void Destroy() { SurfaceDestroy(); }
    // The surface's index in its owner's surface list, or -1: where it was found last, or, when it
    // has moved, found again (every element of a face asks for it, and a list holds a surface for
    // every face of its object).
    int32_t FaceNumber() const;
    // Tells the surface the face number it is placed at in its owner's list, where FaceNumber looks
    // first: a search of the list for every surface of a large object would take the square of its
    // faces.
    void PlacedAt(int32_t face) { faceNumber_ = face; }

    // --- colours ---
    RGBColor48 GetSideColour(int32_t side) const;
    uint16_t GetSurfaceColourCode() const;
    void SetSurfaceColour(const RGBColor48& colour, uint16_t code, int32_t side);
    void ClearSurfaceColour(int32_t side);
    void NormaliseColourFlags();

    // --- polygon elements ---
    void RemoveElement(PolygonElement* element, int32_t side);
    // Moves the element by delta places within its list, no further than the list's ends.
    void MoveElement(PolygonElement* element, int32_t delta, int32_t side);
    void ScaleElements(Fixed factor);
    void LightElements(const FaceLights& lights);
    int32_t CountElements() const;
    int32_t ElementCount(int32_t side) const;
    PolygonElement* ElementAt(int32_t side, int32_t index) const;

    // --- face users: the records that draw this face ---
    void AddFaceUser(PolygonRecord* record);
    void RemoveFaceUser(const PolygonRecord* record);
    void ClearFaceUsers();
    // The first record drawing this face, or null.
    PolygonRecord* FaceRecord() const;

    // --- connections to faces of other objects ---
    int32_t RelationTo(const ModelObject* object) const;
    DynamicArray* ConnectionList(int32_t relation) const;
    // Connects the face with the other, both ways, and records their contacts; false when it did
    // not (no relation between their objects, no room for the contacts, short of memory or past
    // the read's budget).
    bool ConnectFace(ModelObject* otherObject, Surface* otherSurface);
    int32_t IsConnected(const ModelObject* object, const Surface* surface, int32_t relation) const;
    void DisconnectFace(const ModelObject* object, const Surface* surface, int32_t relation);
    void DisconnectAllExcept(const DynamicArray* objects, int32_t relation);
    // Takes out every connection with a face of an object that is not leaving (its subtree is
    // not being destroyed along with this face's).
    void DisconnectStaying();

    // --- faces touching this face ---
    // Records the touching face `entry` on `side` with its own contacts of `otherSide` and passes
    // it on; false, changing nothing here, when memory is short (the holder is told) or the read's
    // budget is passed.
    bool AddContact(int32_t side, const FaceEntry& self, const FaceEntry& entry, int32_t otherSide);
    // Whether AddContact of the entry keeps this face's contacts on the side, and those of every
    // face it passes the contact on to, within their limit.
    bool HasContactRoom(int32_t side, const FaceEntry& entry, int32_t otherSide) const;
    void RemoveContact(int32_t side, const FaceEntry& entry, int32_t otherSide);
    void RefreshDisplayOwner();
    // Refreshes the display owners of the faces of the child connections, and the surfaces of
    // their objects (each object once, however many of this face's connections it has).
    void RefreshChildDisplayOwners();
    // Refreshes the display owners of the faces of the child connections, and appends their
    // objects to `objects`, for the caller to refresh (RefreshEachOnce).
    void RefreshChildFaceOwners(std::vector<ModelObject*>* objects);
    int32_t IsSideShown(int32_t layer) const;
    int32_t SideShownCount(int32_t contactSide, int32_t layer) const;
    void AdjustContactCounters(int32_t layer, int32_t delta);
    int32_t ContactCount(int32_t side) const;

    // --- placement on the face ---
    void PlaceOnFace(const FixedVector3& point, const ShortVector3& normal);
    // Places the surface on the face and updates its elements (Update), the owning object's
    // boxes once after them all.
    void PlaceSurface(const ShortVector3& normal, const DynamicArray* indices, const DynamicArray* vertices);
    // PlaceSurface but for the owning object's boxes, for a caller that places all the surfaces
    // of an object and then updates its boxes once; true when the surface has elements.
    bool PlaceSurfaceOnFace(const ShortVector3& normal, const DynamicArray* indices, const DynamicArray* vertices);

    // --- stored form and its fields ---
    ResultCode StreamSurfaceColour(MemoryStream* stream);
    ResultCode StreamSurfaceTextureRef(MemoryStream* stream);
    ResultCode StreamSurfaceSideAttributes(MemoryStream* stream);
    ResultCode StreamSurfaceVranText(MemoryStream* stream);
    // The body of a "FEAT" chunk: the side index, then the element's own chunks.
    ResultCode ReadElement(MemoryStream* stream);
    int32_t SurfaceHasData() const;
    ResultCode WriteSurfaceConnections(MemoryStream* stream, int32_t objectIndex, int32_t faceIndex,
                                       const DynamicArray* objects, int32_t* count);

    // --- textures and side attributes ---
    TextureRecord* GetSurfaceSideTexture(int32_t side) const;
    void BindSideTexture(TextureRecord* texture, int32_t side);
    void SetSideTexture(TextureRecord* texture, int32_t side);
    void GetSurfaceSideTextureName(int32_t side, char* buffer, int32_t bufferSize) const;
    void ClearSurfaceSideTexture(int32_t side);
    void UpdateSideTextureMapping();
    void SetSurfaceSideAttribute(uint8_t value, int32_t side);
    uint8_t GetStoredSideAttribute(int32_t side) const;
    void SetSurfaceVranText(const char* text);
    DynamicArray* GetSurfaceVranText() const { return VranText; }
    int32_t HasSurfaceVranText() const { return VranText != nullptr; }

    ModelObject* Owner = nullptr;
    DynamicArray* SiblingConnections = nullptr;  // FaceEntry
    DynamicArray* ParentConnections = nullptr;   // FaceEntry
    DynamicArray* ChildConnections = nullptr;    // FaceEntry
    Transform* Placement = nullptr;
    uint16_t Flags = 0;
    RGBColor48 FrontColour = {0, 0, 0};
    RGBColor48 BackColour = {0, 0, 0};
    uint16_t ColourCode = 0;
    DynamicArray* Outline = nullptr;  // FixedPoint per face vertex
    DynamicArray* VranText = nullptr;
    TextureRecord* FrontTexture = nullptr;
    TextureRecord* BackTexture = nullptr;
    DynamicArray* FrontPairs = nullptr;
    DynamicArray* BackPairs = nullptr;
    DynamicArray* FrontPairsWork = nullptr;
    DynamicArray* BackPairsWork = nullptr;
    uint8_t FrontSideAttribute = 0;
    uint8_t BackSideAttribute = 0;
    // The elements, contacts and counters side by side: the renderer reads them for every face of
    // a frame.
    DynamicArray* Elements[3] = {nullptr, nullptr, nullptr};  // polygon elements per side index
    DynamicArray* SideContacts[2] = {nullptr, nullptr};        // FaceEntry
    int16_t SideCounters[3][2] = {{0, 0}, {0, 0}, {0, 0}};
    DynamicArray* FaceUserList = nullptr;  // PolygonRecord pointers, once there is more than one
    PolygonRecord* FaceUser = nullptr;
    int16_t LeadingContacts = 0;
    ModelObject* DisplayParent = nullptr;
    ModelObject* DisplayOwner = nullptr;
    int32_t FrontUncovered = 1;
    int32_t BackUncovered = 1;

    // In the course of a read: the element owes its overlaps, worked out once the read is done
    // (FinishDeferredOverlaps) or before this face's contacts change; false outside a read.
    bool DeferElementOverlaps(PolygonElement* element);

private:
    friend void FinishDeferredCoverings(ModelHolder* holder, bool compute);
    friend void FinishDeferredOverlaps(ModelHolder* holder, bool compute);
    // Works out the overlaps its elements owe, or with `compute` false lets them go unowed.
    void SettleElementOverlaps(bool compute = true);
    // The face's place in its holder's DeferredOverlaps.
    int32_t overlapsDeferredAt_ = -1;
    // The sides (bit 0 front, bit 1 back) whose covering the read left to be done, and the face's
    // place in its holder's DeferredCoverings.
    uint8_t deferredSides_ = 0;
    int32_t deferredAt_ = -1;
    mutable int32_t faceNumber_ = -1;  // where FaceNumber found the surface last

    // Dates the change of what decides whether the surface's faces are drawn in layers.
    void LayeringChanged() const;
    // Works out whether the side's contacts leave any of the face uncovered; in the course of a
    // read, once its connections are made (FinishDeferredCoverings).
    void RecomputeCovering(int32_t side);
    void ComputeCovering(int32_t side);
    void PassContactOn(int32_t side, const FaceEntry& self, const FaceEntry& entry, int32_t otherSide, bool adding);
    void AddCounters(int32_t side, const Surface* other, int32_t otherSide, int32_t sign);
    // Spends the entries of connection lists a search walked on the read's budget.
    void SpendOnConnections(int64_t walked) const;
    void TakeOutConnection(int32_t relation, int32_t index);
};
