// BoxGrid: boxes filed under the cells of a uniform grid that they cover, so that the boxes a
// box may meet are found among its neighbours rather than by trying every pair; GrowingBoxGrid:
// the same for boxes that come one at a time.
#pragma once

#include <cstdint>
#include <vector>

// A closed box of whole world units: minimum[a] <= maximum[a] on every axis a.
struct GridBox {
    int32_t minimum[3];
    int32_t maximum[3];
};

// Whether the closed boxes share a point.
bool GridBoxesMeet(const GridBox& a, const GridBox& b);

class BoxGrid {
public:
    // Files the boxes; their indices are what Meeting reports.
    void FileBoxes(const std::vector<GridBox>& boxes);
    // The indices of the filed boxes that meet the box, in rising order.
    void Meeting(const GridBox& box, std::vector<int32_t>* indices);

private:
    // The range of cells the box covers on the axis, clamped to the grid.
    void CellRange(const GridBox& box, int32_t axis, int32_t* first, int32_t* last) const;
    int64_t CellIndex(int32_t x, int32_t y, int32_t z) const;

    std::vector<GridBox> boxes_;
    int32_t origin_[3] = {0, 0, 0};
    int32_t cells_[3] = {1, 1, 1};
    int64_t cellSize_ = 1;
    // The boxes of cell c are cellBoxes_[cellStart_[c]] to cellBoxes_[cellStart_[c + 1] - 1],
    // in rising order.
    std::vector<int32_t> cellStart_;
    std::vector<int32_t> cellBoxes_;
    // The query each box was last reported in, so that a box in several cells is reported once.
    std::vector<uint32_t> seenIn_;
    uint32_t query_ = 0;
};

// Boxes appended one at a time: the latest few are tried one by one, the others are filed in
// BoxGrids of runs of consecutive boxes, a run merged with the one before it once it is as large,
// so that there are few runs and each box is filed again only as often as the count doubles.
class GrowingBoxGrid {
public:
    void Append(const GridBox& box);
    int32_t Count() const { return int32_t(boxes_.size()); }
    // The indices of the appended boxes that meet the box, in rising order.
    void Meeting(const GridBox& box, std::vector<int32_t>* indices);

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
