// See-through faces and face layers: a face that is not opaque, or that carries polygon elements
// or faces of other objects lying against it, is drawn in layers. Its device polygon cuts a
// region from the current one; clipped to it, what lies behind the face is drawn first (the
// enclosing object seen from inside, the object's own inside seen from outside, the touching
// faces), with the colour of the see-through faces in front blended in; then the face itself;
// then its polygon elements, which are drawn the same way as faces.
#pragma once

#include <cstdint>

class DynamicArray;
class ObjectGeometry;
class Observer;
class PolygonElement;
class PolygonRecord;
class SpanRegion;
class TextureRecord;

// Stages of a face's layers: the elements above the face on the side seen, the face itself with
// the elements in its plane, and the elements on its far side.
constexpr int32_t kStageNear = 0;
constexpr int32_t kStageFace = 1;
constexpr int32_t kStageFar = 2;

// Whether a side showing the texture is drawn with it: textures on, faces filled, not in
// hidden-line mode, into pixel rows, and the texture's picture can be had. With faces framed and
// not filled a textured side is framed as any other: its texture is drawn only into filled faces.
bool SideTextureShown(TextureRecord* texture, const Observer* observer, const SpanRegion* region);

// What lies behind a face seen in one pass: the object drawn through it up to the owner behind,
// the touching faces (FaceEntry) of which the first `contactCount` count, and whether the face
// leaves anything uncovered for the object behind to show through.
struct FaceBehind {
    ObjectGeometry* objectBehind;
    ObjectGeometry* ownerBehind;
    const DynamicArray* contacts;
    int32_t contactCount;
    int32_t drawBehind;
};

// What lies behind the face in the pass (ownPass non-zero: seen from inside). Seen from outside
// the face's own geometry is marked as drawn from inside at this serial.
FaceBehind FindFaceBehind(PolygonRecord* face, Observer* observer, int32_t ownPass);

// The face's layers of the stage. In stage 1 the face itself is drawn first, and 0 is returned
// when its region came out empty (its elements are then not drawn); else 1.
int32_t DrawFaceLayers(PolygonRecord* face, Observer* observer, SpanRegion* region, int32_t ownPass, int32_t stage,
                       uint32_t blendColour, uint32_t blendCoverage);

// The face with what lies behind it; `owner` is the record handed in (the face itself), `stage`
// the stage it is drawn in. 0 when the face's region was empty: nothing behind it is drawn then,
// nor its texture, but the flat face is.
int32_t DrawFace(PolygonRecord* face, Observer* observer, SpanRegion* region, int32_t ownPass, const FaceBehind& behind,
                 PolygonRecord* owner, int32_t stage, uint32_t blendColour, uint32_t blendCoverage);

// 1 when the element is to be drawn this frame (cached per serial): not hidden by its user value
// and something of it left after clipping; its screen points are then ready.
int32_t ElementVisibility(PolygonElement* element, Observer* observer, int32_t clipCode);

// The element as DrawFace draws a face, lying on `owner`: the faces named by its overlap list of
// the pass's side show through it. 0 when its region was empty.
int32_t DrawElementFace(PolygonElement* element, Observer* observer, SpanRegion* region, int32_t ownPass,
                        const FaceBehind& behind, PolygonRecord* owner, int32_t stage, uint32_t blendColour,
                        uint32_t blendCoverage);
