// ModelHolder: the owner of one model's scene tree, with the change serial that the renderer's
// caches compare against.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/root_object.h"
#include "model/parting_bounds.h"
#include "model/read_budget.h"

class GeometryPool;
class ModelObject;
class Surface;

class ModelHolder : public RootObject {
public:
    // Slot 1: a new zero-filled node with its class installed, or null when memory is short.
    virtual ModelObject* NewModelObject();

    // Stores the owner, sets the serial to 1 and makes the world root. kResultOutOfMemory when
    // the root could not be made.
    ResultCode ModelHolderInit(void* owner);
    // Frees the whole tree and the holder.
    void ModelHolderDestroy();
    void Destroy() { ModelHolderDestroy(); }

    // A node made through slot 1 and initialised for this holder; null when memory is short.
    ModelObject* MakeObject();
    // Keeps a node outside the tree, whose read was stopped, until the holder goes.
    void KeepUntilGone(ModelObject* node);
    // Ends the read in progress: the lighting and the coverings it left to its end are worked out
    // when it went well, and its budget closes. The read's result, kResultPastBudget when it asked
    // for more than its budget allows, or kResultStopped when the user stopped it.
    ResultCode EndRead(ResultCode result);

    void* Owner = nullptr;  // the document that holds the model; never called through
    // Room for the tree's object geometry records, side by side (null: each record has its own).
    GeometryPool* Geometries = nullptr;
    uint16_t ChangeSerial = 0;
    // Dates what decides whether a face is drawn in layers (its opacity, its surface, and the
    // surface's elements, face contacts and their counters): advanced by every change to them,
    // so that what the renderer keeps of it per record is known to be out of date (a face losing
    // its surface with the surface's end can only stop being drawn in layers). Never 0.
    uint32_t LayeringSerial = 1;
    ModelObject* Root = nullptr;
    // What the read in progress may spend against the bytes of its file read so far, and what the
    // last read spent.
    ReadBudget Budget;
    // Whether a root chunk of the read in progress gave the world root lights once it had
    // children: the tree is lit again as the read ends.
    bool RelightAtEnd = false;
    // The faces whose coverings the read in progress computes once their connections are made,
    // rather than again for each (null where a face went meanwhile; Surface::RecomputeCovering).
    std::vector<Surface*> DeferredCoverings;
    // The faces whose elements the read in progress owes their overlaps, worked out once it is
    // done or before the face's contacts change (null where a face went meanwhile;
    // Surface::DeferElementOverlaps).
    std::vector<Surface*> DeferredOverlaps;
    // The nodes kept until the holder goes (KeepUntilGone).
    std::vector<ModelObject*> KeptUntilGone;
    // 1 once a part of an object's geometry, a contact or a child could not be had for want of
    // memory: the tree lacks it. The reader clears it before a read and fails a read that set it.
    int32_t MemoryShort = 0;
    // The summary of a record of few faces, made again for a search for a face that parts it from
    // another: kept, so that its room is had once (the system's heap finds room slowly), and
    // stamped with the mark of the record it was made for, so that the searches of that record
    // against its neighbours one after another make it once (PartingScratchMarks counts the marks
    // given).
    PartingSummary PartingScratch;
    uint64_t PartingScratchMark = 0;
    uint64_t PartingScratchMarks = 0;
};

inline void NoteMemoryShort(ModelHolder* holder)
{
    if (holder) holder->MemoryShort = 1;
}

// Advances the holder's serial, skipping 0.
void NextNonZeroSerial(ModelHolder* holder);

// Advances the holder's layering serial, skipping 0 (nothing without a holder).
void NoteLayeringChanged(ModelHolder* holder);
