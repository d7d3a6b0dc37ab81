// ModelObject: a node of the scene tree (world root, group, primitive or polygon object) with
// its lights, units, texts, colours, surfaces, transforms, vertices and geometry records.
// Reading and writing nodes, building their geometry, their contacts and the primitive edits
// are further operations of this class, each in its own source file.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/dynamic_array.h"
#include "foundation/fixed.h"
#include "foundation/memory_stream.h"
#include "foundation/rgb_color.h"
#include "foundation/root_object.h"
#include "model/short_vector.h"

struct FaceLights;
class LightList;
class ModelHolder;
class ObjectGeometry;
class PlaneRecord;
class PolygonRecord;
class SiblingIndex;
class Surface;
class TextureRecord;
class Transform;
class UnitsRecord;

using ObjectType = uint16_t;
constexpr ObjectType kObjectNewRoot = 0xFF01;
constexpr ObjectType kObjectWorldRoot = 0xFF02;
constexpr ObjectType kObjectPrimitive = 0x100;
constexpr ObjectType kObjectGroup = 0x200;
constexpr ObjectType kObjectPolygon = 0x300;

// Side numbers: 0 the front of a face, 2 its back, 1 both.
constexpr int32_t kSideFront = 0;
constexpr int32_t kSideBoth = 1;
constexpr int32_t kSideBack = 2;

// The largest number of vertices or faces a node may have: indices and face numbers are 16-bit.
constexpr int32_t kMaxObjectVertices = 32767;
constexpr int32_t kMaxObjectFaces = 32767;

// How the ring routines describe the rings they made to the face routine.
struct RingDescriptor {
    int32_t outlineCount;
    int32_t bands;  // quad bands between rings
    uint8_t firstFlat;  // 1: the first end is a flat cap, 0: an apex
    uint8_t lastFlat;
};

// Bits of the seen-flags word that the chunk validator keeps per node being read.
constexpr uint16_t kSeenGeometry = 0x0001;
constexpr uint16_t kSeenLights = 0x0002;
constexpr uint16_t kSeenColour = 0x0004;
constexpr uint16_t kSeenSlices = 0x0008;
constexpr uint16_t kSeenPosition = 0x0010;
constexpr uint16_t kSeenChild = 0x0020;
constexpr uint16_t kSeenName = 0x0040;
constexpr uint16_t kSeenData = 0x0080;
constexpr uint16_t kSeenUnits = 0x0100;
constexpr uint16_t kSeenTexture = 0x0200;
constexpr uint16_t kSeenSideAttributes = 0x0400;
constexpr uint16_t kSeenVran = 0x0800;
// Not a chunk: building the node would pass the read's budget, so it was not built.
constexpr uint16_t kSeenPastBudget = 0x1000;

// ValidateChunk's two pseudo-tags: start a node, end it.
constexpr ChunkTag kValidateStart = 0;
constexpr ChunkTag kValidateEnd = 1;

class ModelObject : public RootObject {
public:
    // --- virtual operations, in their slot order ---

    // Slot 0, Stream: reads or writes a primitive's or polygon object's chunks (a "PRSM" body).
    ResultCode Write(MemoryStream* stream) override;
    // Slot 1: type 0xFF01, every field cleared, the lists and transforms every node has made.
    // kResultOutOfMemory when one of them could not be made.
    virtual ResultCode Init(ModelHolder* holder);
    // Slot 2: frees the node with its whole subtree. An attached node first leaves its parent;
    // only what stays (outside the subtree) gives up its contacts and connections with what goes,
    // so freeing a whole model takes time in proportion to its size.
    virtual void Destroy();
    // Slot 3: rebuilds the geometry from the stored parameters, then the world data.
    virtual void Build();
    // Slot 4: redoes what depends on the transforms, for this node and its subtree.
    virtual void Rebuild();
    virtual PlaneRecord* NewPlaneRecord();
    virtual Surface* NewSurface();
    // Hooks of the chunk streaming; the base returns 0.
    virtual ResultCode StreamUnknownChunk(MemoryStream* stream, ChunkTag tag);
    virtual ResultCode StreamBeforeChunks(MemoryStream* stream);
    virtual ResultCode StreamAfterChunks(MemoryStream* stream);

    ResultCode Stream(MemoryStream* stream) { return Write(stream); }

    // --- roles ---
    void SetWorldRoot();
    void SetGroup();
    // Takes both lists (FixedVector3 vertices; pointers to lists of 16-bit indices).
    void MakePolygonObject(DynamicArray* vertices, DynamicArray* polygons);
    // Copies the FixedPoint outline.
    void MakePrimitive(int32_t axis, int32_t kind, const DynamicArray* outline, Fixed height0, Fixed height1);

    // --- type tests ---
    bool IsRoot() const { return (Type & 0xFF00) == 0xFF00; }
    bool IsNewRoot() const { return Type == kObjectNewRoot; }
    bool IsWorldRoot() const { return Type == kObjectWorldRoot; }
    bool IsPrimitive() const { return Type == kObjectPrimitive; }
    bool IsPolygonObject() const { return Type == kObjectPolygon; }
    int32_t IsGroup() const { return Type == kObjectGroup; }

    // --- hierarchy ---
    // Refuses a new root, a child that already has a parent, and a child that is this node or
    // one of its ancestors.
    void AddChild(ModelObject* child);
    void AddChildren(const DynamicArray* nodes);
    void RemoveChild(ModelObject* child);
    void DetachChild(ModelObject* child);
    void RemoveChildren(const DynamicArray* nodes);
    void DestroyChildren();
    int32_t ChildCount() const;
    ModelObject* ChildAt(int32_t index) const;
    ModelObject* FirstNonGroupParent() const;
    ModelObject* OutermostGroup();
    // True while the node goes with a subtree being destroyed.
    bool IsLeaving() const { return leaving_; }

    // --- tree-wide operations ---
    void RefreshShading();
    void RefreshSurfaceInheritance();
    void SetHidden(uint16_t value);
    uint16_t IsHiddenValue() const { return Hidden; }
    // Counters: nodes, world roots, groups, primitives, polygon objects, faces, primitive faces,
    // slices, polygon elements.
    void ModelStatistics(int32_t counters[9]) const;
    int32_t CountObjects(int32_t includeRootsAndGroups) const;
    int32_t PointInObject(int16_t x, int16_t y, int16_t z) const;
    ObjectGeometry* PickObjectsAt(int16_t x, int16_t y, int16_t z, DynamicArray* hits) const;

    // --- texts ---
    void SetName(const void* bytes, int32_t length);
    void SetData(const void* bytes, int32_t length);
    int32_t GetName(void* buffer, int32_t bufferSize) const;
    int32_t GetData(void* buffer, int32_t bufferSize) const;
    DynamicArray* NameText() const { return Name; }
    DynamicArray* DataText() const { return Data; }
    void SetVranText(const char* text);
    DynamicArray* VranTextOf() const { return VranText; }
    int32_t HasVranText() const { return VranText != nullptr; }

    // --- colours and side attributes ---
    void SetColours(const RGBColor48& colour, uint16_t code, int32_t side);
    RGBColor48 GetColour(int32_t side) const;
    uint16_t GetColourCode() const;
    void SetSideAttribute(uint8_t value, int32_t side);
    uint8_t GetSideAttributeDefault(int32_t side) const;

    // --- units and lights ---
    UnitsRecord* GetUnits() const;
    void ClearUnits();
    void SetUnits(const UnitsRecord* units);
    void SetLights(LightList* lights);
    LightList* GetLights() const;
    LightList* LightsForEdit();

    // --- transform edits (none on a root; each ends with Rebuild) ---
    void TranslateObject(Fixed dx, Fixed dy, Fixed dz);
    void SetObjectPosition(Fixed x, Fixed y, Fixed z);
    void SetObjectRotation(Fixed ay, Fixed ax, Fixed az);
    void SetObjectScale(Fixed sx, Fixed sy, Fixed sz);
    void RotateObjectAbout(Fixed ay, Fixed ax, Fixed az, Fixed cx, Fixed cy, Fixed cz);
    void ScaleObjectAbout(Fixed sx, Fixed sy, Fixed sz, Fixed cx, Fixed cy, Fixed cz);

    // --- predicates and accessors ---
    int32_t HasOffsets() const;
    int32_t HasScale() const;
    int32_t HasRotation() const;
    int32_t IsPointed() const;
    int32_t IsRounded() const;
    int32_t IsRoundedAlias() const { return IsRounded(); }
    int32_t IsPrism() const;
    int32_t ApexCount() const;
    int32_t IsOutlineStyle3() const;
    PolygonRecord* FindPolygonByIndex(int32_t face) const;
    Surface* SurfaceOfFace(int32_t face) const;
    Surface* SurfaceForFace(int32_t face);
    // Takes the face's surface away again when it holds nothing: no connection, contact, element,
    // colour, texture or attribute of its own.
    void ForgetUnusedSurface(int32_t face);
    // Fills `outline` with the outline a surface made for the face would have, keeping no
    // surface: one already there gives its outline and is discarded.
    void TakeFaceOutline(int32_t face, DynamicArray* outline);
    FixedVector3 AxisPoint(Fixed u, Fixed v, Fixed w) const;
    FixedPoint AxisPlanePoint(Fixed x, Fixed y, Fixed z) const;

    // --- face counts and numbering ---
    int32_t FaceCount() const;
    int32_t PrimitiveFaceCount() const;
    int32_t SliceCount() const;
    int32_t CapCount() const;
    int32_t BandCount() const;
    int32_t SideFaceCount() const;
    int32_t CapFaceIndex(int32_t which) const;
    int32_t SideFaceIndex(int32_t i, int32_t band) const;
    int32_t SliceFaceIndex(int32_t k) const;
    // The segment count the geometry uses: 1 for kinds 1 to 3, at least 1 for kinds 4 and 5.
    int32_t EffectiveSegments() const;
    int32_t OutlineCount() const;
    int32_t IsCompleteObject() const;
    FixedVector3 FaceDirection(int32_t face) const;

    // --- geometry building ---
    void BuildGeometry();
    void BuildPrismRings(RingDescriptor* descriptor);
    void BuildRoundedRings(RingDescriptor* descriptor);
    void PlaceScaledRing(int32_t firstVertex, Fixed offsetX, Fixed offsetY, Fixed height, Fixed scale);
    void BuildPrimitiveFaces(const RingDescriptor& descriptor);
    // Places the node in the world and lights its faces with the lights given (LightsOnFacesOf).
    void UpdateWorld(const FaceLights& lights);
    // Places the surfaces on their faces; where elements widen the node's boxes, the bounds that
    // `ancestor`, the first object above it that is no group, files for its children change.
    void LinkSurfaces(ModelObject* ancestor);
    void GroupBounds();
    void EnsureSliceList();
    void EnsureSurfaceCount(int32_t count);
    void RescaleObject(Fixed factor);

    // --- geometry records and contacts ---
    int32_t GeometryCount() const;
    ObjectGeometry* GeometryAt(int32_t index) const;
    void AddGeometry(ObjectGeometry* record);
    void FreeGeometry();
    void UnlinkSurfaces();
    void RegisterMember(ModelObject* node);
    void UnregisterMember(ModelObject* node);
    void ComputeContactsWithSiblings(ModelObject* node);
    // The contacts each child from `first` on finds as it joins the children before it (the
    // objects under it against the objects under it and under every earlier child), in that
    // order: what ComputeContactsWithSiblings finds for each as it is attached, entry for entry,
    // in one search through a grid of all the children's bounds.
    void ComputeContactsOfChildren(int32_t first);
    // The contacts the objects under the children find when each is built again in sibling order
    // (each against every object before it, whichever child holds it): what Build finds for each
    // in turn, entry for entry, in one search. The objects come without contacts.
    void ComputeContactsOfRebuiltChildren();
    void ComputeContactsWith(ModelObject* other);
    // ComputeContactsWith for objects that have no contact with each other yet; false once the
    // read's budget is passed.
    bool ComputeNewContactsWith(ModelObject* other);
    void ClearContactsOf(ModelObject* node);
    // Forgets the sphere bounds of the objects under this node kept for the children appended
    // next, when one of those objects leaves or its bounds change.
    void DropSiblingIndex();

    // --- face connections (kept in the surfaces; list 0 siblings, 1 parent, 2 children) ---
    // Connects the face with the other object's face; true when that made a connection (false
    // for one made already, one without room for its contacts, short of memory or past the read's
    // budget, which leave no surface made for it behind).
    bool AddFaceContact(int32_t face, ModelObject* other, int32_t otherFace);
    void DropFaceContacts(int32_t face, ModelObject* other, int32_t otherFace, int32_t list);
    void DropFaceContactsWithList(int32_t face, const DynamicArray* nodes, int32_t list);
    int32_t HasFaceContacts(const ModelObject* node, int32_t list) const;

    // --- primitive edits ---
    void MoveHeights(Fixed d0, Fixed d1);
    void MoveOffsets(Fixed dx0, Fixed dy0, Fixed dx1, Fixed dy1);
    void FlipEnds();
    void SetAxis(int32_t axis);
    int32_t GetAxis() const { return int8_t(Axis); }
    void SetOutlineStyle(int16_t value) { OutlineStyle = value; }
    int16_t GetOutlineStyle() const { return OutlineStyle; }
    void SetSegments(int32_t n);
    void SetPrimitiveKind(int32_t kind, int32_t n);
    void InsertOutlinePoint(int32_t i, const FixedPoint& point);
    void DeleteOutlinePoint(int32_t i);
    void AppendOutlinePoints(int32_t count);
    void DropOutlinePoints(int32_t count);
    void MoveOutlinePoint(int32_t i, Fixed dx, Fixed dy);
    void MoveOutlineEdge(int32_t i, Fixed dx, Fixed dy);
    void AddSlice(PlaneRecord* plane);
    void RemoveSlice(PlaneRecord* plane);

    // --- textures of the whole object ---
    TextureRecord* GetObjectTexture(int32_t side) const;
    void BindObjectTexture(TextureRecord* texture, int32_t side);
    void SetSurfaceTexture(TextureRecord* texture, int32_t side);
    void RebindSurfaceTextures();
    void GetObjectTextureName(int32_t side, char* buffer, int32_t bufferSize) const;
    // Works out the boxes again over the faces and elements; the bounds that `ancestor`, the first
    // object above the node that is no group (FirstNonGroupParent), files for its children change.
    void UpdateObjectBoxes(ModelObject* ancestor);
    // Makes the lists the renderer projects the object's vertices into (ProjectedFaces and
    // ProjectedPoints) at the object's first frame in view; false when memory is short.
    bool MakeProjectionLists();

    // --- chunk streaming ---
    ResultCode StreamRoot(MemoryStream* stream);
    ResultCode StreamGroup(MemoryStream* stream);
    int32_t ValidateChunk(ChunkTag tag, uint16_t* flags, MemoryStream* stream);
    ResultCode StreamChildChunk(MemoryStream* stream, DynamicArray** dropped, bool isGroup);
    ResultCode StreamContacts(MemoryStream* stream, const DynamicArray* dropped);
    ResultCode StreamChildren(MemoryStream* stream);
    ResultCode StreamNameChunk(MemoryStream* stream);
    ResultCode StreamDataChunk(MemoryStream* stream);
    ResultCode StreamUnitChunk(MemoryStream* stream);
    ResultCode StreamLightChunk(MemoryStream* stream);
    ResultCode StreamColourChunk(MemoryStream* stream);
    ResultCode StreamSideAttributeChunk(MemoryStream* stream);
    ResultCode StreamPolyChunk(MemoryStream* stream);
    ResultCode StreamMeshChunk(MemoryStream* stream);
    ResultCode StreamSliceChunk(MemoryStream* stream);
    ResultCode StreamSurfaceChunk(MemoryStream* stream);
    ResultCode WriteSurfaceChunks(MemoryStream* stream);
    ResultCode StreamPositionChunk(MemoryStream* stream);
    ResultCode StreamVranChunk(MemoryStream* stream);
    ResultCode StreamObjectTextureRef(MemoryStream* stream);

    // --- fields ---
    ObjectType Type = 0;
    ModelHolder* Holder = nullptr;
    ModelObject* Parent = nullptr;
    DynamicArray* Children = nullptr;       // ModelObject pointers
    LightList* Lights = nullptr;
    UnitsRecord* Units = nullptr;
    DynamicArray* Name = nullptr;           // bytes, no terminator
    DynamicArray* Data = nullptr;           // bytes, no terminator
    int16_t OutlineStyle = 0;
    uint8_t Axis = 0;
    uint8_t PrimitiveKind = 0;
    int16_t Segments = 0;
    Fixed Height0 = 0;
    Fixed Height1 = 0;
    FixedPoint Offset0 = {0, 0};
    FixedPoint Offset1 = {0, 0};
    DynamicArray* Outline = nullptr;        // FixedPoint
    DynamicArray* MeshVertices = nullptr;   // FixedVector3
    DynamicArray* MeshPolygons = nullptr;   // pointers to lists of int16_t vertex indices
    DynamicArray* Slices = nullptr;         // PlaneRecord pointers
    RGBColor48 FrontColour = {0, 0, 0};
    RGBColor48 BackColour = {0, 0, 0};
    uint16_t ColourCode = 0;
    DynamicArray* Surfaces = nullptr;       // Surface pointers by face number, entries may be null
    uint8_t FrontSideAttribute = 0;
    uint8_t BackSideAttribute = 0;
    TextureRecord* FrontTexture = nullptr;
    TextureRecord* BackTexture = nullptr;
    DynamicArray* ProjectedPoints = nullptr;  // filled by the renderer (MakeProjectionLists)
    Transform* LocalTransform = nullptr;
    Transform* WorldTransform = nullptr;
    ShortBox LocalBox = {{0, 0, 0}, {0, 0, 0}};
    ShortBox WorldBox = {{0, 0, 0}, {0, 0, 0}};
    DynamicArray* LocalVertices = nullptr;  // FixedVector3
    // Beside the world vertices and the records: a frame reads them of every object in view.
    uint16_t Hidden = 0;
    DynamicArray* WorldVertices = nullptr;  // FixedVector3
    DynamicArray* GeometryList = nullptr;   // ObjectGeometry pointers, when more than one
    ObjectGeometry* Geometry = nullptr;     // the single record otherwise
    DynamicArray* ProjectedFaces = nullptr;   // filled by the renderer (MakeProjectionLists)
    DynamicArray* VranText = nullptr;       // bytes, no terminator

private:
    ResultCode ReadNode(MemoryStream* stream, int32_t kind);
    ResultCode WriteNode(MemoryStream* stream, int32_t kind);
    // Builds the node being read when what that takes keeps the read within its budget
    // (SpendOnBuild); false, building nothing, when it would pass it.
    bool BuildWithinBudget();
    // Spends what building this node takes on the read's budget: its faces, the faces its slices
    // walk and the lighting of its faces; false when that passes it.
    bool SpendOnBuild(const FaceLights& lights);
    // What lighting the node's faces (so many) and their polygon elements takes: each of them
    // times the lights that shine on it.
    int64_t LightingWork(int64_t faces, const FaceLights& lights) const;
    // Build and RescaleObject, for a node whose first object above it that is no group is
    // `ancestor` (or none) and whose faces take the lights given (LightsOnFacesOf): handed down a
    // subtree, they are found once for it rather than by walks up the tree from every node.
    void BuildBeneath(ModelObject* ancestor, const FaceLights& lights);
    void RescaleBeneath(Fixed factor, ModelObject* ancestor, const FaceLights& lights);
    // Scales the node's stored geometry (outline, heights, vertices, slices, elements, position)
    // by the factor, building nothing.
    void ScaleParameters(Fixed factor);
    // RescaleObject for a subtree that a change of units further out rebuilds later in the read:
    // its stored geometry is scaled as each change of units comes, and built once, in its final
    // units (held builds).
    void ScaleBeneath(Fixed factor);
    // While the node is read: whether its subtree is rescaled again later in the read, when the
    // node or one read around it joins its parent in other units. Its building is then held.
    bool RescaledLaterInRead() const;
    // Builds a subtree whose building is held now, where the read needs its faces (connections).
    void BuildHeldSubtree();
    // RefreshShading, for a node whose parent's lights are those given.
    void ShadeSubtree(const LightList* inherited);
    ResultCode DispatchChunk(MemoryStream* stream, ChunkTag tag, int32_t kind, DynamicArray** dropped);
    void LeaveParent();
    // Marks the node and its subtree as leaving, and parts their records and faces from the
    // records and faces that stay.
    void StartLeaving();
    void DestroySubtree();
    // Registers the children's objects as this node's members, and works out a group's bounds
    // from its children's.
    void RelateChildren();
    void TakeOutOfParent(ModelObject* child, bool keepConnections, const DynamicArray* keepWith,
                         const UnitsRecord* units);
    void AttachChild(ModelObject* child, const UnitsRecord* units);
    void InsertSurfaceEntries(int32_t at, int32_t count);
    void RemoveSurfaceEntries(int32_t at, int32_t count);
    void DiscardSurface(Surface* surface);
    // Files the objects under the newest child in the sibling index, made first from the children
    // before it when missing or out of step; false, with no index, while there are few objects.
    bool IndexNewestChild(const std::vector<ModelObject*>& joining);
    // Compares the objects of `solids` in turns, turn k being solids[ends[k - 1]] to
    // solids[ends[k] - 1] (from 0 for the first): from turn `first` on, each object of a turn with
    // every object of earlier turns and with the later objects of its own, through a grid of all
    // their bounds.
    void ComputeContactsInTurns(const std::vector<ModelObject*>& solids, const std::vector<size_t>& ends, size_t first);

    int32_t readDepth_ = 0;  // nesting depth of the node while it is being read
    // While the node is read: the node whose child it is being read as, and whether that one or
    // one read around it is rescaled as it joins its own parent (its units and theirs are known
    // before their children come).
    ModelObject* readParent_ = nullptr;
    bool outerRescale_ = false;
    // Set while the node's geometry is not built in its stored units: a change of units further
    // out rebuilds its subtree later in the read (RescaledLaterInRead).
    bool buildHeld_ = false;
    bool leaving_ = false;   // set by StartLeaving
    // Set while the node's children are read: they join without their contacts, which are found
    // for all of them at once when the node's chunks end.
    bool contactsDeferred_ = false;
    // Set while the node's subtree is rebuilt in new units (RescaleObject): what relates the
    // objects under it (its members, their contacts, a group's bounds) is made once they are all
    // rebuilt, rather than again as each of them is.
    bool childrenRebuilding_ = false;
    // The objects under this node and their sphere bounds, kept while children are appended one
    // at a time, so that each finds the siblings it meets without a walk over all of them.
    SiblingIndex* siblingIndex_ = nullptr;
};
