// BoxGrid: boxes filed under the cells of a uniform grid that they cover, so that the boxes a
// box overlaps are found among its neighbours rather than by trying every pair; GrowingBoxGrid:
// the same for boxes that come one at a time. Each search answers the steps it took, for a caller
// that counts them.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// A closed box of whole world units: minimum[a] <= maximum[a] on every axis a.
struct GridBox {
    int32_t minimum[3];
    int32_t maximum[3];
};

// Whether the boxes overlap with room to spare: on every axis each begins below where the other
// ends. A box of no extent (a point) overlaps only the boxes that hold it strictly inside, and never
// another point.
bool GridBoxesOverlap(const GridBox& a, const GridBox& b);

class BoxGrid {
public:
    // Files the boxes; their indices are what Overlapping reports. Answers the steps taken: the
    // boxes placed, and the cells they were filed under.
    int64_t FileBoxes(const std::vector<GridBox>& boxes);
    // The indices of the filed boxes that overlap the box, in rising order. Answers the steps
    // taken: the cells walked, the boxes compared and the indices reported.
    int64_t Overlapping(const GridBox& box, std::vector<int32_t>* indices);

private:
    // Sets the cells to span the entries not kept apart, their edge starting at the extent and
    // doubling until there are no more than a few per entry.
    void LayOutCells(const std::vector<uint8_t>& apart, int64_t extent, int64_t entries);
    // The range of cells the box covers on the axis, clamped to the grid.
    void CellRange(const GridBox& box, int32_t axis, int32_t* first, int32_t* last) const;
    // The number of cells the box covers (first and last from CellRange).
    static int64_t CellCount(const int32_t (&first)[3], const int32_t (&last)[3]);
    int64_t CellIndex(int32_t x, int32_t y, int32_t z) const;
    // Adds the indices of the filed boxes that overlap the box, in no order; answers the steps
    // taken.
    int64_t Gather(const GridBox& box, std::vector<int32_t>* indices);
    // Compares entry e with the box once per search, reporting its boxes when they overlap;
    // answers the steps taken.
    int64_t Take(int32_t e, const GridBox& box, std::vector<int32_t>* indices);

    // Equal points are filed once, as one entry (the objects without faces all lie at one point,
    // and would otherwise crowd one cell): entry e has the box entryBoxes_[e] and stands for the
    // boxes members_[entryStart_[e]] to members_[entryStart_[e + 1] - 1], in rising order; every
    // other box is an entry of its own.
    std::vector<GridBox> entryBoxes_;
    std::vector<int32_t> entryStart_;
    std::vector<int32_t> members_;
    // The entries that would cover more cells than a box may: kept apart from the cells, and
    // compared with every box searched for; or, when there are more than a few, filed in a grid
    // of their own, of larger cells, which reports them by their indices here.
    std::vector<int32_t> apart_;
    std::unique_ptr<BoxGrid> largeGrid_;
    int32_t origin_[3] = {0, 0, 0};
    int32_t cells_[3] = {1, 1, 1};
    int64_t cellSize_ = 1;
    // The entries of cell c are cellEntries_[cellStart_[c]] to cellEntries_[cellStart_[c + 1] - 1].
    std::vector<int32_t> cellStart_;
    std::vector<int32_t> cellEntries_;
    // The search each entry was last compared in, so that an entry in several cells is compared once.
    std::vector<uint32_t> seenIn_;
    uint32_t query_ = 0;
};

// Boxes appended one at a time: the latest few are tried one by one, the others are filed in
// BoxGrids of runs of consecutive boxes, a run merged with the one before it once it is as large,
// so that there are few runs and each box is filed again only as often as the count doubles.
class GrowingBoxGrid {
public:
    // Answers the steps taken (those of filing a run, when one is filed).
    int64_t Append(const GridBox& box);
    int32_t Count() const { return int32_t(boxes_.size()); }
    // The indices of the appended boxes that overlap the box, in rising order; answers the steps
    // taken.
    int64_t Overlapping(const GridBox& box, std::vector<int32_t>* indices);

private:
    // Boxes first to first + count - 1, filed in their own grid.
    struct Run {
        int32_t first;
        int32_t count;
        BoxGrid grid;
    };
    std::vector<GridBox> boxes_;
    std::vector<Run> runs_;
    // The boxes after the last run, not yet filed.
    int32_t filed_ = 0;
    std::vector<int32_t> found_;
};
