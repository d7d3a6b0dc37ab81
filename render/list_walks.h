// Walks over draw lists in progress: which record each walk is drawing, so that a drawing behind a
// see-through face of that record, asking for the same list up to the same record, can tell that
// the walk has just drawn all it would draw.
#pragma once

#include <cstddef>
#include <cstdint>

class ObjectGeometry;
class RenderContext;

// One walk over a record's draw list: the record whose list it is, the registered record it is
// drawing now (null before the first) and the blend words its records are drawn with.
struct ListWalk {
    const ObjectGeometry* list;
    const ObjectGeometry* drawing;
    uint32_t blendColour;
    uint32_t blendCoverage;
};

// A walk in progress for the scope's life, in the current render context's walks.
class ListWalkScope {
public:
    ListWalkScope(const ObjectGeometry* list, uint32_t blendColour, uint32_t blendCoverage);
    ~ListWalkScope();
    ListWalkScope(const ListWalkScope&) = delete;
    ListWalkScope& operator=(const ListWalkScope&) = delete;

    // The walk goes on to draw the record.
    void Drawing(const ObjectGeometry* record);

private:
    RenderContext* context_;
    size_t place_;
};

// Whether drawing `list` up to `record` with the blend words, into a part of the view that lies
// behind a see-through face of `record` seen from inside, would only draw again what the walk
// drawing `record` has just drawn there: the innermost walk in progress is over `list`, drawing
// `record` with the same blend words, and `record` is plain and convex (RecordIsPlainConvex), so
// that nothing drawn since the walk reached it lies within the face but at shared edges: its faces
// seen from outside do not overlap its faces seen from inside there, nor each other, and no
// elements or faces of other objects lie on them. Records of more than kConvexTestFaces faces are
// not tested; the test is spent on the frame's budget beforehand and kept for the frame.
bool WalkDrewBehind(const ObjectGeometry* list, ObjectGeometry* record, uint32_t blendColour, uint32_t blendCoverage);

constexpr int32_t kConvexTestFaces = 64;

// Whether no face of the record carries elements or faces of other objects lying against it, and
// every corner of its faces lies on one side of the plane of each face or on it (within
// kFlatTolerance): the record bounds a convex solid. False for a face whose first corners do not
// span a plane.
bool RecordIsPlainConvex(const ObjectGeometry* record);
