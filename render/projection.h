// Visibility and projection: whether an object's bounding sphere can be seen and which side
// planes it crosses, the vertices in camera space, the facing of each face, the 3-D clipping of
// faces that cross the guard pyramid against the view pyramid, and the projection of vertices
// to screen points through the reciprocal tables. Camera space has x right, y forward and z up,
// with 6 fractional bits; screen points are whole pixels from the view centre, y up.
#pragma once

#include <cstdint>

#include "foundation/fixed.h"
#include "foundation/result_code.h"
#include "textures/texture_mapping.h"

class DynamicArray;
class Observer;
class PolygonElement;
class PolygonRecord;

// A vertex in camera space. Flags bits 1, 2, 4, 8: made on the right, top, left or bottom plane
// by the clipper; all of the top 24 bits set: outside a plane, dropped.
struct CameraVertex {
    int32_t x;
    int32_t y;
    int32_t z;
    uint32_t flags;
};

constexpr uint32_t kVertexOutside = 0xFFFFFF00u;

// Clip codes: the planes a bounding sphere crosses.
constexpr int32_t kClipRight = 1;
constexpr int32_t kClipTop = 2;
constexpr int32_t kClipLeft = 4;
constexpr int32_t kClipBottom = 8;
constexpr int32_t kInvisible = -1;

// A projected vertex as the textured path reads it.
#pragma pack(push, 2)
struct ProjectedVertex {
    int16_t screenX;
    int16_t screenY;
    int16_t depth;       // camera y in whole units
    int32_t reciprocal;  // 1 / depth from the table, in the scale of whole units (at most INT32_MAX)
    int16_t cameraX;
    int16_t cameraZ;
};
#pragma pack(pop)
static_assert(sizeof(ProjectedVertex) == 14, "projected vertex records are 14 bytes");

// A screen point, whole pixels from the view centre with y up.
struct ScreenPoint {
    int32_t x;
    int32_t y;
};

// The facing codes of a polygon record's Facing byte.
constexpr uint8_t kFacingNormalSide = 1;  // the eye is on the side the normal points to
constexpr uint8_t kFacingBehind = 2;
constexpr uint8_t kFacingEdgeOn = 3;

// The projection work arrays, made and locked once at start-up.
ResultCode InitProjectionArrays();
void FreeProjectionArrays();

// The clip code of the sphere, with its centre's depth (camera y in whole units); kInvisible
// when it lies behind the eye or outside the view pyramid.
int32_t SphereVisibility(const Observer* observer, int32_t centreX, int32_t centreY, int32_t centreZ,
                         int32_t radius, int16_t* centreDepth);

// World vertices (FixedVector3) into camera space; the camera array gets the same count.
void TransformVertices(const Observer* observer, const DynamicArray* worldVertices, DynamicArray* cameraVertices);

// Projects every camera vertex that is in front of the eye and not dropped into `screenPoints`
// (sized to the camera array), with its projected record when `records` is given; the box, when
// given, is widened by (screen x, camera y, screen y) from its empty start values.
void ProjectVertices(const Observer* observer, const DynamicArray* cameraVertices, DynamicArray* screenPoints,
                     DynamicArray* records, int32_t* boxMin, int32_t* boxMax);

// The box that TransformVertices and then ProjectVertices would give the world vertices, from
// its empty start values, without storing the camera vertices or screen points.
void ProjectVerticesBox(const Observer* observer, const DynamicArray* worldVertices, int32_t* boxMin, int32_t* boxMax);

// Facing of every polygon record of the list, and with a clip code the clipped index list of
// each face (new vertices are appended to the camera array) with its per-vertex shading values.
// 1 when a face is left, 0 when the clipper removed every one.
int32_t ProjectPolygons(Observer* observer, DynamicArray* polygons, const DynamicArray* worldVertices,
                        DynamicArray* cameraVertices, int32_t clipCode);
// The texture pairs and the shading values that a side of a projected face is drawn with: the
// face's own lists when it is seen whole (its corners are its own indices), else the clipper's
// lists of its corners.
DynamicArray* ProjectedSidePairs(PolygonRecord* record, int32_t side);
DynamicArray* ProjectedSideValues(PolygonRecord* record, int32_t side);

// The clipper for a polygon held as its own camera vertices (a polygon element): the vertices
// are clipped in place against the planes of the clip code, the texture pairs of `pairs` carried
// into `pairsOut` (either may be null). 1 when anything is left.
int32_t ProjectElement(Observer* observer, DynamicArray* cameraVertices, const DynamicArray* pairs,
                       DynamicArray* pairsOut, int32_t clipCode);

// The element's camera vertices (ProjectedVertices) clipped against the planes of the clip code,
// its texture pairs carried from its mapping list (when it has a texture) into its second
// mapping list. 1 when anything is left.
int32_t ProjectElement(Observer* observer, PolygonElement* element, int32_t clipCode);

// The point where the edge from the inside vertex (plane distance d0 >= 0) to the outside one
// (d1 < 0) crosses the plane.
CameraVertex IntersectEdge(const CameraVertex& inside, const CameraVertex& outside, int64_t d0, int64_t d1);
// The value at that crossing, from the values at the inside and outside ends.
Fixed InterpolateValue(Fixed inside, Fixed outside, int64_t d0, int64_t d1);
void InterpolatePair(const FixedPoint& inside, const FixedPoint& outside, int64_t d0, int64_t d1, FixedPoint* out);

// The texture coordinates of a face's 2-D outline: fills `*output` (made with 8-byte elements
// when null) with one FixedPoint per vertex, spread over the texture's pixels and scaled per axis
// (x, y) by the real-size factor (the texture's size, in its unit, over its frame's extent,
// against the model's length unit) or by the default factor.
void SetupTextureMapping(const DynamicArray* vertices, DynamicArray** output, const TextureMappingInput& input);
