// Filing boxes under the cells of a uniform grid and finding those a box meets.
#include "model/box_grid.h"

#include <algorithm>

namespace {

// The grid has no more cells than this many per box (and a few for a handful of boxes): the
// cell edge starts at the boxes' average extent and doubles until they fit.
constexpr int64_t kCellsPerBox = 8;
constexpr int64_t kSpareCells = 64;
// A growing grid tries up to this many of its latest boxes one by one before it files them.
constexpr int32_t kUnfiledBoxes = 32;

}  // namespace

bool GridBoxesMeet(const GridBox& a, const GridBox& b)
{
    for (int32_t axis = 0; axis < 3; ++axis) {
        if (a.maximum[axis] < b.minimum[axis] || b.maximum[axis] < a.minimum[axis]) return false;
    }
    return true;
}

void BoxGrid::FileBoxes(const std::vector<GridBox>& boxes)
{
    boxes_ = boxes;
    seenIn_.assign(boxes.size(), 0);
    query_ = 0;
    if (boxes.empty()) {
        cellStart_.assign(2, 0);
        cellBoxes_.clear();
        cells_[0] = cells_[1] = cells_[2] = 1;
        return;
    }
    int64_t low[3], high[3], extentSum = 0;
    for (int32_t axis = 0; axis < 3; ++axis) {
        low[axis] = boxes.front().minimum[axis];
        high[axis] = boxes.front().maximum[axis];
    }
    for (const GridBox& box : boxes) {
        for (int32_t axis = 0; axis < 3; ++axis) {
            low[axis] = std::min<int64_t>(low[axis], box.minimum[axis]);
            high[axis] = std::max<int64_t>(high[axis], box.maximum[axis]);
            extentSum += int64_t(box.maximum[axis]) - box.minimum[axis];
        }
    }
    const int64_t budget = kCellsPerBox * int64_t(boxes.size()) + kSpareCells;
    cellSize_ = std::max<int64_t>(1, extentSum / (3 * int64_t(boxes.size())));
    auto cellsOn = [&](int32_t axis) { return (high[axis] - low[axis]) / cellSize_ + 1; };
    while (cellsOn(0) * cellsOn(1) * cellsOn(2) > budget) cellSize_ *= 2;
    for (int32_t axis = 0; axis < 3; ++axis) {
        origin_[axis] = int32_t(low[axis]);
        cells_[axis] = int32_t(cellsOn(axis));
    }

    // Counted, then filed in box order, so that every cell lists its boxes in rising order.
    const int64_t cellCount = int64_t(cells_[0]) * cells_[1] * cells_[2];
    cellStart_.assign(size_t(cellCount) + 1, 0);
    auto forEachCell = [&](const GridBox& box, auto visit) {
        int32_t first[3], last[3];
        for (int32_t axis = 0; axis < 3; ++axis) CellRange(box, axis, &first[axis], &last[axis]);
        for (int32_t z = first[2]; z <= last[2]; ++z)
            for (int32_t y = first[1]; y <= last[1]; ++y)
                for (int32_t x = first[0]; x <= last[0]; ++x) visit(CellIndex(x, y, z));
    };
    for (const GridBox& box : boxes) forEachCell(box, [&](int64_t cell) { ++cellStart_[size_t(cell) + 1]; });
    for (size_t c = 1; c < cellStart_.size(); ++c) cellStart_[c] += cellStart_[c - 1];
    cellBoxes_.assign(size_t(cellStart_.back()), 0);
    std::vector<int32_t> next(cellStart_.begin(), cellStart_.end() - 1);
    for (size_t i = 0; i < boxes.size(); ++i) {
        forEachCell(boxes[i], [&](int64_t cell) { cellBoxes_[size_t(next[size_t(cell)]++)] = int32_t(i); });
    }
}

void BoxGrid::Meeting(const GridBox& box, std::vector<int32_t>* indices)
{
    indices->clear();
    if (boxes_.empty()) return;
    if (++query_ == 0) {
        std::fill(seenIn_.begin(), seenIn_.end(), 0);
        query_ = 1;
    }
    int32_t first[3], last[3];
    for (int32_t axis = 0; axis < 3; ++axis) CellRange(box, axis, &first[axis], &last[axis]);
    for (int32_t z = first[2]; z <= last[2]; ++z) {
        for (int32_t y = first[1]; y <= last[1]; ++y) {
            for (int32_t x = first[0]; x <= last[0]; ++x) {
                const int64_t cell = CellIndex(x, y, z);
                for (int32_t k = cellStart_[size_t(cell)]; k < cellStart_[size_t(cell) + 1]; ++k) {
                    const int32_t index = cellBoxes_[size_t(k)];
                    if (seenIn_[size_t(index)] == query_) continue;
                    seenIn_[size_t(index)] = query_;
                    if (GridBoxesMeet(box, boxes_[size_t(index)])) indices->push_back(index);
                }
            }
        }
    }
    std::sort(indices->begin(), indices->end());
}

void BoxGrid::CellRange(const GridBox& box, int32_t axis, int32_t* first, int32_t* last) const
{
    auto cellOf = [&](int64_t value) {
        return int32_t(std::clamp<int64_t>((value - origin_[axis]) / cellSize_, 0, cells_[axis] - 1));
    };
    // A box wholly outside the grid still gets an edge cell; the meeting test then refuses it.
    *first = cellOf(std::max<int64_t>(box.minimum[axis], origin_[axis]));
    *last = cellOf(std::max<int64_t>(box.maximum[axis], origin_[axis]));
}

int64_t BoxGrid::CellIndex(int32_t x, int32_t y, int32_t z) const
{
    return (int64_t(z) * cells_[1] + y) * cells_[0] + x;
}

void GrowingBoxGrid::Append(const GridBox& box)
{
    boxes_.push_back(box);
    if (Count() - filed_ < kUnfiledBoxes) return;
    runs_.push_back({filed_, Count() - filed_, BoxGrid()});
    filed_ = Count();
    // Runs are merged while the last is as large as the one before it: their sizes halve at
    // least from one run to the next.
    while (runs_.size() > 1 && runs_[runs_.size() - 2].count <= runs_.back().count) {
        runs_[runs_.size() - 2].count += runs_.back().count;
        runs_.pop_back();
    }
    Run& run = runs_.back();
    run.grid.FileBoxes(std::vector<GridBox>(boxes_.begin() + run.first, boxes_.begin() + run.first + run.count));
}

void GrowingBoxGrid::Meeting(const GridBox& box, std::vector<int32_t>* indices)
{
    indices->clear();
    for (Run& run : runs_) {
        run.grid.Meeting(box, &found_);
        for (const int32_t index : found_) indices->push_back(run.first + index);
    }
    for (int32_t index = filed_; index < Count(); ++index) {
        if (GridBoxesMeet(box, boxes_[size_t(index)])) indices->push_back(index);
    }
}
