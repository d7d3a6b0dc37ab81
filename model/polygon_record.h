// PolygonRecord: the drawable form of one face of a scene object: its vertex indices, local and
// world normals, colours lit per side, shade levels, and the per-side lists the renderer uses
// for textured and smooth-shaded sides.
#pragma once

#include <cstdint>
#include <cstddef>
#include <map>
#include <vector>

#include "foundation/dynamic_array.h"
#include "foundation/fixed.h"
#include "foundation/rgb_color.h"
#include "foundation/root_object.h"
#include "model/short_vector.h"

class LightList;
class ModelObject;
class ObjectGeometry;
class PlaneRecord;
class PolygonRecord;
class Surface;
class TextureRecord;
class Transform;

// The vertices of an object's vertex list by position, each point at the first index that
// holds it, so that slicing finds the points its cuts share without a scan of the whole list.
// It must see every vertex the list gains while it is in use (SliceFace adds them through it).
// Points are kept in order rather than hashed: the points of a file could be chosen to fall
// together under any fixed hash.
class VertexLookup {
public:
    explicit VertexLookup(DynamicArray* vertices);
    // The first index of an equal point, appended when there is none; -1 when the list cannot
    // take another vertex.
    int32_t FindOrAdd(const FixedVector3& point);
    DynamicArray* Vertices() const { return vertices_; }

private:
    struct Before {
        bool operator()(const FixedVector3& a, const FixedVector3& b) const
        {
            if (a.x != b.x) return a.x < b.x;
            if (a.y != b.y) return a.y < b.y;
            return a.z < b.z;
        }
    };
    DynamicArray* vertices_;
    std::map<FixedVector3, int32_t, Before> first_;
};

// The faces of a geometry record that name each vertex index, each face once, so that smooth
// shading finds the faces around a vertex without scanning every face of the record. Valid while
// the record's faces and their indices stay as they were.
class VertexFaces {
public:
    explicit VertexFaces(const ObjectGeometry* geometry) : geometry_(geometry) {}
    // The faces naming a vertex, side by side.
    struct Faces {
        const PolygonRecord* const* first;
        const PolygonRecord* const* last;
        const PolygonRecord* const* begin() const { return first; }
        const PolygonRecord* const* end() const { return last; }
        size_t size() const { return size_t(last - first); }
    };
    // The faces naming the vertex, in record order. They are found at the first call: flat
    // sides never ask.
    Faces Of(int32_t vertex) const;

private:
    const ObjectGeometry* geometry_;
    mutable bool found_ = false;
    // Whether filing them passed the read's budget: then none are found.
    mutable bool passed_ = false;
    // The faces of every vertex index from lowest_ on, those of index lowest_ + k from starts_[k]
    // to starts_[k + 1] in faces_: filed in two passes over the corners, in three blocks.
    mutable int32_t lowest_ = 0;
    mutable std::vector<int32_t> starts_;
    mutable std::vector<const PolygonRecord*> faces_;
};

// The lights that shine on the faces of an object: its own on their fronts, its parent's on their
// backs. Found once for all the faces lit together (each would otherwise look for them up the
// tree).
struct FaceLights {
    const LightList* front;
    const LightList* back;
};
FaceLights LightsOnFacesOf(const ModelObject* object);

class PolygonRecord : public RootObject {
public:
    // Stores the record's place, copies the indices and computes the normal. -1 when the face
    // has no direction (its chosen vertices lie on one line); the caller then destroys it.
    ResultCode PolygonRecordFill(ObjectGeometry* geometry, Surface* surface, int32_t faceIndex,
                                 const DynamicArray* indices);
    void PolygonRecordDestroy();
    void Destroy() { PolygonRecordDestroy(); }

    ModelObject* Owner() const;
    int32_t VertexCount() const { return Indices ? Indices->ArrayCount() : 0; }
    // The vertex index at the corner, or -1 past the corners.
    int16_t IndexAt(int32_t position) const
    {
        const int16_t* index = Indices ? Indices->At<int16_t>(position) : nullptr;
        return index ? *index : -1;
    }

    ResultCode ComputeFaceNormal();
    // Sets WorldNormal from Normal through the rotation, the inverse shear and the reciprocal
    // scale (each may be null).
    void TransformNormal(const Transform* rotation, const Transform* shear, const Transform* scale);
    void PrepareFace(const Transform* rotation, const Transform* shear, const Transform* scale, int32_t reverse,
                     const VertexFaces& around, const FaceLights& lights);
    void PrepareFaceUnlit(const Transform* rotation, const Transform* shear, const Transform* scale, int32_t reverse);
    void LightFace();
    // The same, with the faces around each vertex of the record and the lights given (every face of
    // a record lit in turn).
    void LightFace(const VertexFaces& around, const FaceLights& lights);
    // Keeps the part of the face on the non-negative side of the plane; 1 when three distinct
    // vertices remain. `distances` holds a double per vertex of the owner, `cuts` collects the
    // cut edges as (leaving << 16) | entering; the points where edges are cut are found or
    // added through `vertices`, a lookup over the owner's local vertices. A face the plane cuts
    // gathers the corners it keeps in `kept` (int16_t), a list the caller lends to every face it
    // slices; a face wholly on either side is left as it is or emptied, without it.
    int32_t SliceFace(const PlaneRecord* plane, const DynamicArray* distances, DynamicArray* cuts,
                      VertexLookup* vertices, DynamicArray* kept);
    // Widens the box by the face's vertices in local (which 1) or world coordinates.
    void FaceBounds(ShortBox* box, int32_t which) const;

    // Per-side lookups (side 0 front, 2 back).
    TextureRecord* GetSideTexture(int32_t side) const;
    uint8_t GetSideAttribute(int32_t side) const;
    DynamicArray* GetSideVertexPairs(int32_t side);
    DynamicArray* GetSideVertexPairsB(int32_t side);
    DynamicArray* GetSideVertexValues(int32_t side);
    DynamicArray* GetSideVertexValuesB(int32_t side);
    DynamicArray* GetFacePairs();
    // The list the renderer clips the face's indices into, made the first time the view's planes
    // cut the face (most faces of a large scene never are); null when memory is short.
    DynamicArray* MakeClipList();
    void SetSideAttributeOf(uint8_t value, int32_t side);
    // The outline GetFacePairs made for a face without a surface, or null; and letting it go.
    const DynamicArray* OwnFacePairs() const { return sideLists_ ? sideLists_->FacePairs : nullptr; }
    void ReleaseFacePairs();

    ObjectGeometry* Geometry = nullptr;
    Surface* FaceSurface = nullptr;
    // Beside the surface: the renderer reads both of every face of a frame.
    uint16_t ColourCode = 0;
    int16_t FaceIndex = 0;
    DynamicArray* Indices = nullptr;  // int16_t vertex indices into the owner's vertex arrays
    RGBColor48 FrontColour = {0, 0, 0};
    RGBColor48 BackColour = {0, 0, 0};
    uint8_t FrontColourIndex = 0;
    uint8_t BackColourIndex = 0;
    ShortVector3 Normal = {0, 0, 0};       // length 256, local coordinates
    ShortVector3 WorldNormal = {0, 0, 0};  // length 256, world coordinates
    RGBColor48 FrontLit = {0, 0, 0};
    RGBColor48 BackLit = {0, 0, 0};
    // Shade levels (0 brightest to 31 darkest): the entry of the shade-level tables that flat
    // shading uses for each side.
    int32_t FrontShadeEntry = 0;
    int32_t BackShadeEntry = 0;
    // The indices the renderer draws (the face's own or ClipList, which clipping fills), at first
    // none (null until the face is projected), read through DrawnIndexAt. ClipList holds 32-bit
    // indices: the vertices that clipping adds to an object's camera vertices may number past what
    // 16 bits address.
    DynamicArray* ClipRef = nullptr;
    DynamicArray* ClipList = nullptr;
    // The renderer's bytes of each frame: which side of the face the eye is on (its facing
    // codes), whether clipping to the view left nothing of the face, and whether faces drawn after
    // it paint over its whole screen box, so that drawing it can be left out.
    uint8_t Facing = 0;
    uint8_t Clipped = 0;
    uint8_t Occluded = 0;

private:
    // The lists that only faces with textured or smooth-shaded sides use, in a block of their own
    // made with the first of them: most faces of a large scene have none.
    struct SideLists {
        DynamicArray* FacePairs = nullptr;  // FixedPoint per vertex, in surface coordinates
        DynamicArray* FrontPairs = nullptr;
        DynamicArray* BackPairs = nullptr;
        DynamicArray* FrontPairsWork = nullptr;
        DynamicArray* BackPairsWork = nullptr;
        DynamicArray* FrontShades = nullptr;  // Fixed shade level per vertex
        DynamicArray* BackShades = nullptr;
        DynamicArray* FrontShadesWork = nullptr;
        DynamicArray* BackShadesWork = nullptr;
    };
    // The face's side lists, made when missing; null when memory is short.
    SideLists* MakeSideLists();

    void LightSideVertices(int32_t side, const LightList* lights, const VertexFaces& around);

    SideLists* sideLists_ = nullptr;  // owned
};

// The vertex index at a position of a list a face is drawn by (its ClipRef): the face's own
// 16-bit indices, or its 32-bit ClipList.
inline int32_t DrawnIndexAt(const DynamicArray* indices, int32_t position)
{
    return indices->ElementSize() == int32_t(sizeof(int32_t)) ? *indices->At<int32_t>(position)
                                                                : *indices->At<int16_t>(position);
}

// Three integers to a vector of length 256 in the same direction; (0, 0, 0) stays zero.
ShortVector3 NormaliseShort(int32_t x, int32_t y, int32_t z);
