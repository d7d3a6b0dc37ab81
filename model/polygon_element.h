// PolygonElement: a flat polygon laid on a face, kept by the face's surface in one of its three
// element lists. The surface side of elements is complete here: creating, adding, removing,
// moving, scaling and lighting them and their "FEAT" chunks. What an element derives from its
// outline (its vertices on the surface and in the world, its lighting, its overlaps with the
// faces that touch it) and its own chunks come with the element layer; until then an element
// reads and writes no chunk of its own, and those operations leave it as it is.
#pragma once

#include <cstdint>

#include "foundation/dynamic_array.h"
#include "foundation/fixed.h"
#include "foundation/root_object.h"
#include "model/short_vector.h"

class Surface;
class Transform;

// Kind values: no polygon yet (a surface refuses such an element), and a polygon.
constexpr int32_t kElementEmpty = 10;
constexpr int32_t kElementPolygon = 6;

class PolygonElement : public RootObject {
public:
    // Slot 0, Stream: the element's own chunks inside a "FEAT" chunk.
    ResultCode Write(MemoryStream* stream) override;
    // Slot 1: kind 10, no owner, an empty outline and a reset transform; kResultOutOfMemory when
    // they could not be made.
    virtual ResultCode Init();
    // Slot 2: frees the element's lists, its transform and the element.
    virtual void Destroy();
    // Slot 3.
    virtual void SetOutlineStyle(int16_t value) { OutlineStyle = value; }
    // Slot 4: brings what the element derives from its outline up to date.
    virtual void Update();

    ResultCode Stream(MemoryStream* stream) { return Write(stream); }
    // Kind 6 and an outline of at least 3 points.
    int32_t ElementHasPolygon() const;
    // Multiplies the outline and the transform's 2-D position by the factor.
    void ScaleElement(Fixed factor);
    void LightPolygonElement();
    // The element's part in the bookkeeping of the faces touching its surface (side 0 or 1).
    void CollectSideOverlaps(int32_t first, int32_t last, int32_t side);
    void RemoveSideOverlaps(int32_t first, int32_t last, int32_t side);
    // Widens the box by the element's vertices on the surface (which 1) or in the world.
    void GetElementVertexBounds(ShortBox* box, int32_t which) const;

    Surface* Owner = nullptr;
    int32_t Kind = kElementEmpty;
    int16_t OutlineStyle = 0;
    DynamicArray* Outline = nullptr;  // FixedPoint
    Transform* Placement = nullptr;   // the element's 2-D transform on its surface
};
