// ReadBudget: what one read of a model may spend on the work it does. A read builds what its file
// describes (faces with their corners, nodes) and reads connections of faces; then it relates
// them: objects whose bounds meet are searched for a contact, faces pass contacts on to the faces
// they are connected with and work out how far those cover them, a slice walks every corner of its
// object, a light shines on every face and smooth corner under it. A few bytes can ask for any of
// these by the million (a primitive's segments multiply its faces, objects in one place all meet,
// connections gather on one face), so each is charged where it is done, at the grain it is done,
// and allowed in proportion to what the read has built: the most that any honest model spends on
// it for each thing built, four times over and more. A file that asks for more is refused as it
// asks. The spending is also where a read looks at its progress, so that its user can stop it
// wherever its work is done.
#pragma once

#include <cstdint>

#include "foundation/loop_turns.h"
#include "foundation/result_code.h"
#include "model/picture_budget.h"

class MemoryStream;

enum class ReadCost : int32_t {
    // What a read builds, which the relations are allowed in proportion to.
    kFaces,        // faces built, a rebuild's again
    kCorners,      // corners of the faces built, a rebuild's again
    kNodes,        // nodes kept
    kConnections,  // connection records read
    // The relations between what is built.
    kContactPairs,   // contacts between records
    kContactSearch,  // the other record's corners listed, and the faces and vertices compared, by the
                     // search for the face that parts two records
    kFaceContacts,   // the entries of contact lists of faces, and the faces, connections and
                     // elements, walked to add entries to them
    kContactEntries, // entries added to the contact lists of faces, those passed on included: what
                     // the lists hold
    kCoverage,       // what the regions of faces and elements lying against each other are handed:
                     // their corners, and the edges each row of their outlines crosses, squared
    kSliceCuts,      // vertices a slice measures and corners it walks and copies, and the cut edges
                     // it chains, for every slice
    kLighting,       // faces and elements lit for each light that shines on them, and the corners
                     // of smooth sides shaded for each light
    kSmoothShading,  // faces around each corner of a smooth side, that its shading averages
    kSiblingBounds,  // cells of a grid of siblings' bounds that a search files or walks, and the
                     // bounds it compares
    kTreeWalks,      // nodes walked again as their tree joins another or changes units: relit,
                     // refreshed or rebuilt
    kCount
};

constexpr int32_t kFirstRelation = int32_t(ReadCost::kContactPairs);

// Any model may build this many faces, whatever its size: as many as the largest honest model has
// (a landscape of a million faces, a city of as many), which a small file of primitives may
// describe too.
constexpr int32_t kFacesOfAnyModel = 1048576;
// Every further face takes this many bytes of the file read so far: the fewest that a face of a
// polygon object takes (its index count and three indices).
constexpr int32_t kFileBytesPerFace = 8;

// The most of the cost that a read may spend once `bytesRead` bytes of its file are read and it has
// built `base` of what the cost is allowed in proportion to (nothing for what the read builds) and
// made `pairs` contacts between records (which the contact search grows with too), when it spends
// nothing more than its bytes pay for on any other relation.
int64_t Allowance(ReadCost cost, int64_t bytesRead, int64_t base = 0, int64_t pairs = 0);
// What the cost is allowed in proportion to (itself for what the read builds).
ReadCost BaseOf(ReadCost cost);

// The result of a read that asked for more than its budget allows.
constexpr ResultCode kResultPastBudget = kResultShortRead;

// A read's loops turn at most this many times for each unit it was charged (every cost spent, and
// every byte read; see TurnLimit): the most that honest models turn, with room to spare. A file
// whose read turns more has work that no cost pays for.
constexpr int64_t kTurnsPerCharge = 16;
// And this many more, whatever the read: what the reading of an empty model turns.
constexpr int64_t kTurnsOfAnyRead = 4096;

// A read looks at its progress once the work it spent, its loops' turns and its pictures' units
// since the last look come to this much. Under Wine a look costs some 20 ns while the progress
// window's clock says nothing is due, and honest reads take 25 to 40 microseconds for this much
// work: the looks cost them about a thousandth of their time, and a read looks hundreds of times
// between two redraws.
constexpr int64_t kWorkBetweenLooks = 8192;

class ReadBudget {
public:
    // Starts a read from the stream: nothing spent, allowances growing with its position, and
    // the model's pictures charged afresh.
    void Begin(const MemoryStream* stream);
    // Ends the read: spending is free again (edits, writing) and no longer passed, and what was
    // spent and the bytes read stay to be seen.
    void End();
    bool Reading() const { return stream_ != nullptr; }
    // Spends `amount` of the cost: false, spending nothing, when that would pass its allowance, or
    // together with the other relations pass what the read has built; the budget is passed from
    // then on, and every later spending fails. Always true outside a read. Once the work spent,
    // the loops' turns and the pictures' units since the last look at the progress come to
    // kWorkBetweenLooks, the spending looks at it first (LookAtProgress).
    bool Spend(ReadCost cost, int64_t amount);
    // Whether the read in progress asked for more than its budget allows, or was stopped.
    bool Passed() const { return passed_; }
    // Shows the bytes read in the progress window and takes what the user did meanwhile (the
    // window paces its redraws and message pumps by its own clock). A stop request stops the
    // read: the budget is passed and stopped from then on. False once the read is stopped.
    bool LookAtProgress();
    // Looks at the progress when the work, turns and pictures' units since the last look come to
    // kWorkBetweenLooks, as a spending does: for a loop whose turns may spend nothing. False once
    // the read is stopped.
    bool LookWhenDue() { return LookIsDue(0) ? LookAtProgress() : !stopped_; }
    // Whether the user stopped the read in progress at a look at its progress: the read's result
    // is then kResultStopped, whatever its loops made of the refused spending.
    bool Stopped() const { return stopped_; }
    int64_t Spent(ReadCost cost) const { return spent_[int32_t(cost)]; }
    // The bytes the last read (or the one in progress, when it ended) had read.
    int64_t BytesRead() const;
    // The most a read that spent what this one did may turn its loops (and a turn for each unit
    // its pictures spent).
    int64_t TurnLimit() const;
    // What the model's pictures spend, during the read and after it, until the next read begins.
    PictureBudget& Pictures() { return pictures_; }
    const PictureBudget& Pictures() const { return pictures_; }

private:
    // The part of its allowance beyond what the bytes read pay for that the relation takes with
    // `spent` of it spent, in units of which the whole is kWholeShare.
    int64_t Share(int32_t cost, int64_t spent, int64_t bytes) const;
    void ShareAgain(int64_t bytes);
    // The loops' turns and the pictures' units counted so far: what they grew by since the last
    // look counts with the work spent.
    int64_t UnspentWork() const { return TurnsCounted() + pictures_.Spent(); }
    // The work spent, the turns taken and the pictures' units spent since the last look have come
    // to kWorkBetweenLooks.
    bool LookIsDue(int64_t amount)
    {
        workSinceLook_ += amount;
        return workSinceLook_ + UnspentWork() - unspentAtLook_ >= kWorkBetweenLooks;
    }

    const MemoryStream* stream_ = nullptr;
    int64_t bytesRead_ = 0;
    int64_t spent_[int32_t(ReadCost::kCount)] = {};
    // Each relation's share of what the read has built and their sum, as of `sharedAt` bytes read
    // and the bases as they were then (the shares shrink as either grows).
    int64_t shares_[int32_t(ReadCost::kCount)] = {};
    int64_t shared_ = 0;
    int64_t sharedAt_ = 0;
    bool basesGrew_ = false;
    bool passed_ = false;
    PictureBudget pictures_;
    bool stopped_ = false;
    int64_t workSinceLook_ = 0;
    int64_t unspentAtLook_ = 0;
};

// Spends a cost of a loop as it goes, a batch at a time: the loop adds what each turn does and
// learns when the budget is passed, at the price of one spending a batch. Past the budget the loop
// has done at most one batch more than it paid for.
class BudgetMeter {
public:
    BudgetMeter(ReadBudget& budget, ReadCost cost) : budget_(budget), cost_(cost) {}
    ~BudgetMeter() { Settle(); }
    BudgetMeter(const BudgetMeter&) = delete;
    BudgetMeter& operator=(const BudgetMeter&) = delete;
    // Adds the work; false once the budget is passed.
    bool Add(int64_t amount)
    {
        owed_ += amount;
        return owed_ < kBatch ? !budget_.Passed() : Settle();
    }
    // Spends what was added since the last spending; false once the budget is passed.
    bool Settle();

private:
    static constexpr int64_t kBatch = 4096;
    ReadBudget& budget_;
    ReadCost cost_;
    int64_t owed_ = 0;
};
