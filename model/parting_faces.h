// The faces of a record of few laid out side by side for the search for the face that parts two
// records: each face's world normal and the vertex its plane is taken through, and each vertex its
// faces name with the number of faces naming it, their world coordinates copied. Found once for as
// long as the faces and their world planes stay as they are, so that a search against the record's
// neighbours reads one short run of memory instead of every face's record and corner list and the
// owner's vertex list.
#pragma once

#include <cstdint>

#include "foundation/fixed.h"
#include "model/short_vector.h"

class ObjectGeometry;

// A face as the search takes it: its world normal (length 256) and the place among the table's
// vertices of its first corner's (-1 when that corner names no vertex of its owner's list).
struct PartingFace {
    ShortVector3 normal;
    int16_t first;
};

// A vertex of the owner's world vertices that the faces name, and how many corners name it.
struct PartingUse {
    FixedVector3 vertex;
    int32_t count;
};

class PartingFaces {
public:
    // The table of the record's faces and of the vertices in range of its owner's list, in the
    // order of that list; null when memory is short. Adds the steps taken.
    static PartingFaces* Make(const ObjectGeometry& record, int64_t* steps);
    static void Free(PartingFaces* table);

    int32_t FaceCount() const { return faceCount_; }
    const PartingFace& Face(int32_t k) const { return reinterpret_cast<const PartingFace*>(this + 1)[k]; }
    int32_t UseCount() const { return useCount_; }
    const PartingUse& Use(int32_t j) const
    {
        return reinterpret_cast<const PartingUse*>(reinterpret_cast<const PartingFace*>(this + 1) + faceCount_)[j];
    }

private:
    PartingFaces(int32_t faces, int32_t uses) : faceCount_(faces), useCount_(uses) {}
    // The faces, then the uses, follow in the same block.
    int32_t faceCount_;
    int32_t useCount_;
};
