// ReadBudget: what one read of a model may spend, against the bytes of its file read so far, on
// its parts and on the relations between them. Every object keeps its faces in memory and has
// them compared with those of each sibling its bounds meet; faces pass contacts on to the faces
// they are connected with; a slice walks every face of its object and a light every face under
// it. A few bytes can ask for any of these by the million (a primitive's segments multiply its
// faces, objects in one place all meet, connections gather on one face), so a small hostile file
// would otherwise ask for memory and time out of all proportion to its size. Each cost has a unit
// for every few bytes read, and a share of what any model has: honest models of every size come
// within them, and a file that asks for more is refused as it asks.
#pragma once

#include <cstdint>

#include "foundation/result_code.h"

class MemoryStream;

enum class ReadCost : int32_t {
    kFaces,          // faces built, a rebuild's again
    kNodes,          // nodes made
    kContactPairs,   // contacts between records
    kContactSearch,  // faces and vertices the search for a contact compares
    kFaceContacts,   // entries added to the contact lists of faces, those passed on included, and
                     // the faces and connections walked to add them
    kSliceCuts,      // faces and vertices a slice walks, and cut edges it chains, for every slice
    kLighting,       // faces and elements lit, once and again for each light that shines on them
    kSmoothShading,  // faces around each corner of a smooth side, that its shading averages
    kSiblingBounds,  // cells of a grid of siblings' bounds that a search files or walks, and the
                     // bounds it compares
    kTreeWalks,      // nodes walked again as their tree joins another or changes units: relit,
                     // refreshed or rebuilt
    kCount
};

// What a cost allows: `units` for every `bytes` bytes of the file read so far, and beyond that a
// share of what any model has, of which this cost may take up to `anyModel`. The costs share what
// any model has: past their parts of the bytes read, a small file may spend the whole of one
// cost's `anyModel`, or parts of several, never the whole of every one, so that a few bytes ask
// for no more work than one such cost at its most.
struct CostAllowance {
    int64_t anyModel;
    int32_t units;
    int32_t bytes;
};

// Any model may have this many faces, whatever its size: four objects of the most faces an
// object can have (kMaxObjectFaces), and a few more, when it spends nothing else beyond its bytes
// (building and lighting them spend more: three come in).
constexpr int32_t kFacesOfAnyModel = 131072;
// Every further face takes this many bytes of the file read so far: the fewest that a face of a
// polygon object takes (its index count and three indices), so that every polygon object, prism
// and pointed primitive comes within the budget whatever the size of the model.
constexpr int32_t kFileBytesPerFace = 8;

// The most of the cost that a read may spend once `bytesRead` bytes of its file are read, when it
// spends nothing more than its parts of those bytes on any other cost.
int64_t Allowance(ReadCost cost, int64_t bytesRead);

// The result of a read that asked for more than its budget allows.
constexpr ResultCode kResultPastBudget = kResultShortRead;

class ReadBudget {
public:
    // Starts a read from the stream: nothing spent, allowances growing with its position.
    void Begin(const MemoryStream* stream);
    // Ends the read: spending is free again (edits, writing) and no longer passed, and what was
    // spent stays to be seen.
    void End()
    {
        stream_ = nullptr;
        passed_ = false;
    }
    bool Reading() const { return stream_ != nullptr; }
    // Spends `amount` of the cost: false, spending nothing, when that would pass its allowance for
    // the bytes read so far, or together with the other costs pass what any model has; the budget
    // is passed from then on, and every later spending fails. Always true outside a read.
    bool Spend(ReadCost cost, int64_t amount);
    // Whether the read in progress asked for more than its budget allows.
    bool Passed() const { return passed_; }
    int64_t Spent(ReadCost cost) const { return spent_[int32_t(cost)]; }

private:
    // The part of what any model has that the cost takes with `spent` of it spent, once `bytes`
    // bytes are read, in units of which the whole is kWholeShare.
    static int64_t Share(ReadCost cost, int64_t spent, int64_t bytes);

    const MemoryStream* stream_ = nullptr;
    int64_t spent_[int32_t(ReadCost::kCount)] = {};
    // Each cost's share of what any model has and their sum, as of `sharedAt` bytes read (the
    // shares shrink as the bytes read grow).
    int64_t shares_[int32_t(ReadCost::kCount)] = {};
    int64_t shared_ = 0;
    int64_t sharedAt_ = 0;
    bool passed_ = false;
};
