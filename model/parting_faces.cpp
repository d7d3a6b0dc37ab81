// The face table of a record of few for the parting search, in one block of memory.
#include "model/parting_faces.h"

#include <algorithm>
#include <array>
#include <new>
#include <vector>

#include "foundation/fixed.h"
#include "foundation/loop_turns.h"
#include "foundation/system_weights.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "model/polygon_record.h"

namespace {

// The corners of a record's faces that are sorted on the stack; more take a block of the heap.
constexpr size_t kCornersOnStack = 256;

}  // namespace

static_assert(sizeof(PartingFace) == 8 && sizeof(PartingUse) == 16 && sizeof(PartingFaces) == 8,
              "the table's entries follow its header without padding");

PartingFaces* PartingFaces::Make(const ObjectGeometry& record, int64_t* steps)
{
    const DynamicArray* vertices = record.Owner->WorldVertices;
    const int32_t listed = ListCount(vertices);
    // The corners naming a vertex in range, sorted by index: each run is one vertex. Those of a
    // record of few faces mostly fit on the stack, which spares the system's heap a block for
    // every record.
    int64_t corners = 0;
    for (int32_t i = 0; i < record.PolygonCount(); ++i) corners += record.PolygonAt(i)->VertexCount();
    std::array<int32_t, kCornersOnStack> onStack;
    std::vector<int32_t> onHeap(corners > int64_t(onStack.size()) ? size_t(corners) : 0);
    int32_t* const named = onHeap.empty() ? onStack.data() : onHeap.data();
    size_t count = 0;
    for (int32_t i = 0; i < record.PolygonCount(); ++i) {
        const PolygonRecord* face = record.PolygonAt(i);
        for (int32_t k = 0; k < face->VertexCount(); ++k) {
            const int32_t index = face->IndexAt(k);
            if (index >= 0 && index < listed) named[count++] = index;
        }
    }
    std::sort(named, named + count);
    int32_t uses = 0;
    for (size_t j = 0; j < count; ++j) uses += j == 0 || named[j] != named[j - 1] ? 1 : 0;
    const int64_t sortSteps = int64_t(count) * BitLength(uint32_t(count + 1));
    const int64_t findSteps = int64_t(record.PolygonCount()) * BitLength(uint32_t(uses + 1));
    const int64_t taken = int64_t(record.PolygonCount()) + 2 * corners + sortSteps + findSteps;
    CountTurns(taken + kHeapBlockTurns);
    *steps += taken;
    const size_t bytes = sizeof(PartingFaces) + size_t(record.PolygonCount()) * sizeof(PartingFace) +
                         size_t(uses) * sizeof(PartingUse);
    void* memory = ::operator new(bytes, std::nothrow);
    if (!memory) return nullptr;
    PartingFaces* table = new (memory) PartingFaces(record.PolygonCount(), uses);
    auto* faces = reinterpret_cast<PartingFace*>(table + 1);
    // Each run of the sorted corners is one vertex, counted; its index is kept at the run's place
    // among the vertices, at the front of the corners.
    auto* counted = reinterpret_cast<PartingUse*>(faces + record.PolygonCount());
    int32_t last = -1;
    for (size_t j = 0; j < count; ++j) {
        if (j == 0 || named[j] != named[j - 1]) {
            counted[++last] = {*vertices->At<FixedVector3>(named[j]), 0};
            named[last] = named[j];
        }
        ++counted[last].count;
    }
    for (int32_t i = 0; i < record.PolygonCount(); ++i) {
        const PolygonRecord* face = record.PolygonAt(i);
        const int32_t index = face->IndexAt(0);
        const int32_t* place = std::lower_bound(named, named + uses, index);
        faces[i] = {face->WorldNormal, int16_t(index >= 0 && index < listed ? place - named : -1)};
    }
    return table;
}

void PartingFaces::Free(PartingFaces* table)
{
    if (!table) return;
    table->~PartingFaces();
    ::operator delete(table);
}
