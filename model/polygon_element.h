// PolygonElement: a flat polygon laid on one face of a scene object, kept by the face's surface in
// one of its three element lists: a 2-D outline placed by its own 2-D transform, with a colour
// (whose code the renderer takes as opacity), an optional texture and its own texts. From its
// outline and its place it derives its vertices on the surface and in the world, its lit colours
// and shade levels for both sides, and per side the faces lying against its face that show
// through it. Its chunks ("NAME", "DATA", "COLR", "SFTX", "VRAN", "POLY", "POSN") make the body
// of the surface's "FEAT" chunk after the side index.
#pragma once

#include <cstdint>

#include "foundation/dynamic_array.h"
#include "foundation/fixed.h"
#include "foundation/rgb_color.h"
#include "foundation/root_object.h"
#include "model/short_vector.h"

class MemoryStream;
struct FaceLights;
class Surface;
class TextureRecord;
class Transform;

// Kind values: no polygon yet (a surface refuses such an element), and a polygon.
constexpr int32_t kElementEmpty = 10;
constexpr int32_t kElementPolygon = 6;

// Bytes of a "POLY" chunk before its points, and per point.
constexpr int32_t kElementPolyHeaderBytes = 4;
constexpr int32_t kElementPointBytes = 8;

class PolygonElement : public RootObject {
public:
    // --- virtual operations, in their slot order ---

    // Slot 0, Stream: the element's chunks (inside a "FEAT" chunk) in the stream's direction.
    // Reading stops at the first chunk that fails, with its code; kResultStopped when the user
    // stopped the load, kResultNotFound under a raised low-memory level.
    ResultCode Write(MemoryStream* stream) override;
    // Slot 1: kind 10, no owner, black colours and code 0, empty lists and a reset transform;
    // kResultOutOfMemory when they could not be made.
    virtual ResultCode Init();
    // Slot 2: frees the element's lists and transform, leaves its texture's user list and frees
    // the element.
    virtual void Destroy();
    // Slot 3.
    virtual void SetOutlineStyle(int16_t value) { OutlineStyle = value; }
    // Slot 4: the outline turned clockwise, the texture mapping, the vertex lists, the overlap
    // lists and the owning object's boxes brought up to date.
    virtual void Update();
    // Update but for the owning object's boxes, for a caller that updates many elements of one
    // object and then its boxes once.
    void UpdateOnFace();

    ResultCode Stream(MemoryStream* stream) { return Write(stream); }

    // --- texts: name and data (byte lists without terminator), the VRAN text ---
    void SetElementName(const void* bytes, int32_t length);
    void SetElementData(const void* bytes, int32_t length);
    // The byte count copied, or -1 without a text or when it does not fit.
    int32_t CopyElementName(void* buffer, int32_t capacity) const;
    int32_t CopyElementData(void* buffer, int32_t capacity) const;
    DynamicArray* GetElementName() const { return Name; }
    DynamicArray* GetElementData() const { return Data; }
    // An empty or null text removes it.
    void SetElementVranText(const char* text);
    int32_t HasElementVranText() const { return VranText != nullptr; }
    // The texture's name, or "" (the buffer holds `bufferSize` bytes).
    void GetElementTextureName(char* buffer, int32_t bufferSize) const;

    // --- polygon and placement (each ends with Update unless said otherwise) ---
    // Kind 6, outline style 1, the outline copied, the 2-D position (x, y), black, opaque.
    void SetElementPolygon(const DynamicArray* points, Fixed x, Fixed y);
    void InsertElementPoint(int32_t index, const FixedPoint& point);
    // Leaves at least 3 points.
    void RemoveElementPoint(int32_t index);
    void MoveElementPoint(int32_t index, Fixed dx, Fixed dy);
    // Moves the point and the next one (the first after the last).
    void MoveElementEdge(int32_t index, Fixed dx, Fixed dy);
    // Appends n copies of the last point; no Update.
    void AppendElementPoints(int32_t n);
    // Removes the last n points while 3 remain; no Update.
    void RemoveElementPoints(int32_t n);
    void MoveElement(Fixed dx, Fixed dy);
    void SetElementPosition(Fixed x, Fixed y);
    void RotateElementAbout(Fixed angle, Fixed cx, Fixed cy);
    void SetElementAngle(Fixed angle);
    void ScaleElementAbout(Fixed sx, Fixed sy, Fixed cx, Fixed cy);
    void SetElementScale(Fixed sx, Fixed sy);
    // Multiplies the outline and the transform's 2-D position by the factor; no Update.
    void ScaleElement(Fixed factor);

    // --- colour ---
    // Rebuilds the overlap lists for a code below 0xF000, then relights the element.
    void SetElementColour(const RGBColor48& colour, uint16_t code);
    RGBColor48 GetElementColour() const { return Colour; }
    uint16_t GetElementColourCode() const { return ColourCode; }

    // --- small queries ---
    int16_t GetOutlineStyle() const { return OutlineStyle; }
    void SetUserValue(int16_t value) { UserValue = value; }
    int16_t GetUserValue() const { return UserValue; }
    // Kind 6 and an outline of at least 3 points.
    int32_t ElementHasPolygon() const;
    int32_t ElementIsOutlineStyle3() const;
    DynamicArray* GetElementVertexPairs() const { return MappingList; }
    DynamicArray* GetElementVertexPairsB() const { return MappingListB; }
    TextureRecord* GetElementTexture() const { return Texture; }
    int32_t ElementHasScale() const;
    int32_t ElementHasRotation() const;

    // --- texture ---
    // Moves the element from the old texture's user list to the new one's and remaps it.
    void BindElementTexture(TextureRecord* texture);
    void SetElementTexture(TextureRecord* texture);
    // With a texture, an outline and a surface on an object: the mapping of the outline.
    void UpdateElementTextureMapping();

    // --- vertex lists, bounds and lighting ---
    // SurfaceVertices: the outline through the element's 2-D transform and the surface's.
    void TransformElementVertices2D();
    // WorldVertices: SurfaceVertices through the object's world transform.
    void TransformElementVertices();
    // Widens the box by SurfaceVertices (which 1) or WorldVertices (any other value).
    void GetElementVertexBounds(ShortBox* box, int32_t which) const;
    // Lit colours and shade levels of both sides from the lights of the object and its parent.
    void LightPolygonElement();
    // The same, with the lights on its face given.
    void LightPolygonElement(const FaceLights& lights);

    // --- the faces lying against the element's face (side 0 or 1) ---
    // Both sides worked out again over all their contacts; in the course of a read, which builds
    // the element again with every tree its face's object joins in other units, owed until the
    // read is done or the face's contacts change (Surface::DeferElementOverlaps).
    void RebuildSideOverlaps();
    void RebuildSideOverlapsNow();
    // After contact entries first..last of side s were inserted (or, from RebuildSideOverlaps,
    // for the whole contact list).
    void CollectSideOverlaps(int32_t first, int32_t last, int32_t side);
    // Before contact entries first..last of side s are removed.
    void RemoveSideOverlaps(int32_t first, int32_t last, int32_t side);

    // --- chunk bodies ---
    ResultCode StreamElementTextureRef(MemoryStream* stream);

    // --- fields ---
    Surface* Owner = nullptr;
    int32_t Kind = kElementEmpty;
    DynamicArray* Name = nullptr;          // bytes, no terminator
    DynamicArray* Data = nullptr;          // bytes, no terminator
    DynamicArray* MappingList = nullptr;   // FixedPoint texture coordinates per vertex
    DynamicArray* MappingListB = nullptr;  // the same, clipped by the renderer
    TextureRecord* Texture = nullptr;
    // Shade levels (0 brightest to 31 darkest): the entry of the shade-level tables that each
    // side's texture shading uses.
    int32_t FrontShade = 0;
    int32_t BackShade = 0;
    DynamicArray* ProjectedPoints = nullptr;  // projected vertex records, filled by the renderer
    int16_t UserValue = 0;                    // non-zero hides the element from the renderer
    int16_t OutlineStyle = 0;
    DynamicArray* Outline = nullptr;  // FixedPoint in the element's own 2-D coordinates
    RGBColor48 Colour = {0, 0, 0};
    uint16_t ColourCode = 0;
    RGBColor48 FrontLitColour = {0, 0, 0};
    RGBColor48 BackLitColour = {0, 0, 0};
    Transform* Placement = nullptr;  // the element's 2-D transform on its surface
    DynamicArray* SurfaceVertices = nullptr;  // FixedVector3, in the object's own coordinates
    DynamicArray* WorldVertices = nullptr;    // FixedVector3
    // The renderer's visibility cache.
    uint16_t VisSerial = 0;
    uint8_t Visible = 0;
    DynamicArray* ProjectedVertices = nullptr;  // camera vertices, filled by the renderer
    DynamicArray* ScreenPoints = nullptr;       // screen points of the projected vertices
    DynamicArray* OverlapLists[2] = {nullptr, nullptr};  // int32_t indices into the contact lists
    int32_t SideUncovered[2] = {1, 1};
    // Whether the overlaps of both sides are owed (RebuildSideOverlaps).
    bool OverlapsOwed = false;
    DynamicArray* VranText = nullptr;  // bytes, no terminator

private:
    ResultCode ReadChunks(MemoryStream* stream);
    ResultCode WriteChunks(MemoryStream* stream);
    ResultCode StreamColourChunk(MemoryStream* stream);
    ResultCode StreamPolyChunk(MemoryStream* stream);
    ResultCode StreamPositionChunk(MemoryStream* stream);
    // The element's world vertices projected on the dominant plane of its face; false without a
    // face record.
    bool ProjectOnFacePlane(DynamicArray* points, int16_t* axis) const;
    // Whether a contact of side s from first to last, projected on the same plane as the element's
    // points, may meet them.
    bool MayMeetAny(const DynamicArray* points, int32_t first, int32_t last, int32_t side, int16_t axis) const;
};
