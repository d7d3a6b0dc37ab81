// Filing boxes under the cells of a uniform grid and finding those a box overlaps.
#include "model/box_grid.h"

#include <algorithm>
#include <climits>

#include "foundation/loop_turns.h"

namespace {

// The grid has no more cells than this many per entry (and a few for a handful of entries): the
// cell edge starts at the entries' median extent, which a few large boxes cannot stretch, and
// doubles until they fit.
constexpr int64_t kCellsPerEntry = 8;
constexpr int64_t kSpareCells = 64;
// A box covering more cells than this is kept apart from them: filed under every cell it covers,
// a box as large as the whole grid would take as much room as all the others, and a search for
// it would walk every cell. Boxes of up to six cell edges or so on every side are filed.
constexpr int64_t kMostCellsPerBox = 512;
// Up to this many entries too large for the cells are compared with every box searched for; more
// are filed in a grid of larger cells. (Each floor of a building of many rooms is one; the site's
// thousand floors, compared with each of its million parts, took as long as the rest.)
constexpr size_t kApartOneByOne = 16;
// A growing grid tries up to this many of its latest boxes one by one before it files them.
constexpr int32_t kUnfiledBoxes = 32;

// The box's extent, the mean of its three sides.
int64_t Extent(const GridBox& box)
{
    int64_t sum = 0;
    for (int32_t axis = 0; axis < 3; ++axis) sum += int64_t(box.maximum[axis]) - box.minimum[axis];
    return sum / 3;
}

bool IsPoint(const GridBox& box)
{
    return box.minimum[0] == box.maximum[0] && box.minimum[1] == box.maximum[1] && box.minimum[2] == box.maximum[2];
}

bool Before(const GridBox& a, const GridBox& b)
{
    for (int32_t axis = 0; axis < 3; ++axis) {
        if (a.minimum[axis] != b.minimum[axis]) return a.minimum[axis] < b.minimum[axis];
        if (a.maximum[axis] != b.maximum[axis]) return a.maximum[axis] < b.maximum[axis];
    }
    return false;
}

bool Equal(const GridBox& a, const GridBox& b)
{
    return !Before(a, b) && !Before(b, a);
}

}  // namespace

bool GridBoxesOverlap(const GridBox& a, const GridBox& b)
{
    for (int32_t axis = 0; axis < 3; ++axis) {
        if (a.maximum[axis] <= b.minimum[axis] || b.maximum[axis] <= a.minimum[axis]) return false;
    }
    return true;
}

int64_t BoxGrid::FileBoxes(const std::vector<GridBox>& boxes)
{
    entryBoxes_.clear();
    entryStart_.assign(1, 0);
    members_.clear();
    apart_.clear();
    query_ = 0;
    // Each box is an entry of its own, but for points: equal points, which never overlap each
    // other, are one entry (sorted by place, then by index, equal points side by side).
    std::vector<int32_t> points;
    for (size_t i = 0; i < boxes.size(); ++i) {
        const GridBox& box = boxes[i];
        if (IsPoint(box)) {
            points.push_back(int32_t(i));
            continue;
        }
        entryBoxes_.push_back(box);
        members_.push_back(int32_t(i));
        entryStart_.push_back(int32_t(members_.size()));
    }
    std::sort(points.begin(), points.end(), [&](int32_t a, int32_t b) {
        return Before(boxes[size_t(a)], boxes[size_t(b)]) || (Equal(boxes[size_t(a)], boxes[size_t(b)]) && a < b);
    });
    for (size_t k = 0; k < points.size(); ++k) {
        const GridBox& box = boxes[size_t(points[k])];
        if (k == 0 || !Equal(box, boxes[size_t(points[k - 1])])) {
            entryBoxes_.push_back(box);
            entryStart_.push_back(entryStart_.back());
        }
        members_.push_back(points[k]);
        ++entryStart_.back();
    }
    const int64_t entries = int64_t(entryBoxes_.size());
    seenIn_.assign(size_t(entries), 0);
    int64_t steps = int64_t(boxes.size());
    if (entries == 0) {
        cellStart_.assign(2, 0);
        cellEntries_.clear();
        cells_[0] = cells_[1] = cells_[2] = 1;
        CountTurns(steps);
        return steps;
    }
    std::vector<int64_t> extents;
    extents.reserve(size_t(entries));
    for (const GridBox& box : entryBoxes_) extents.push_back(Extent(box));
    std::nth_element(extents.begin(), extents.begin() + entries / 2, extents.end());
    const int64_t medianExtent = extents[size_t(entries / 2)];
    // The grid spans the entries it files: laid out over all of them first, it leaves out those
    // that would cover too many of its cells, then spans the others alone with cells as small as
    // they allow (which may leave out a few more).
    std::vector<uint8_t> apart(size_t(entries), 0);
    for (int32_t pass = 0; pass < 2; ++pass) {
        LayOutCells(apart, medianExtent, entries);
        for (int32_t e = 0; e < int32_t(entries); ++e) {
            int32_t f[3], l[3];
            for (int32_t axis = 0; axis < 3; ++axis) CellRange(entryBoxes_[size_t(e)], axis, &f[axis], &l[axis]);
            if (CellCount(f, l) > kMostCellsPerBox) apart[size_t(e)] = 1;
        }
    }
    for (int32_t e = 0; e < int32_t(entries); ++e) {
        if (apart[size_t(e)]) apart_.push_back(e);
    }
    // Their grid's cells are laid out from their own extents: at least the half of them no larger
    // than the middle one are filed there, and only the largest are apart from it in turn.
    largeGrid_.reset();
    int64_t largeSteps = 0;  // which the large grid counts itself
    if (apart_.size() > kApartOneByOne) {
        std::vector<GridBox> large;
        large.reserve(apart_.size());
        for (const int32_t e : apart_) large.push_back(entryBoxes_[size_t(e)]);
        steps += int64_t(apart_.size());
        largeGrid_ = std::make_unique<BoxGrid>();
        largeSteps = largeGrid_->FileBoxes(large);
        // Its box k is this grid's entry apart_[k], a box of its own (a point is never apart).
        for (int32_t& member : largeGrid_->members_) {
            member = members_[size_t(entryStart_[size_t(apart_[size_t(member)])])];
        }
        CountTurns(int64_t(largeGrid_->members_.size()));
    }

    // Counted, then filed.
    const int64_t cellCount = int64_t(cells_[0]) * cells_[1] * cells_[2];
    cellStart_.assign(size_t(cellCount) + 1, 0);
    auto forEachCell = [&](int32_t e, auto visit) {
        int32_t f[3], l[3];
        for (int32_t axis = 0; axis < 3; ++axis) CellRange(entryBoxes_[size_t(e)], axis, &f[axis], &l[axis]);
        for (int32_t z = f[2]; z <= l[2]; ++z)
            for (int32_t y = f[1]; y <= l[1]; ++y)
                for (int32_t x = f[0]; x <= l[0]; ++x) visit(CellIndex(x, y, z));
    };
    for (int32_t e = 0; e < int32_t(entries); ++e) {
        if (!apart[size_t(e)]) forEachCell(e, [&](int64_t cell) { ++cellStart_[size_t(cell) + 1]; });
    }
    for (size_t c = 1; c < cellStart_.size(); ++c) cellStart_[c] += cellStart_[c - 1];
    cellEntries_.assign(size_t(cellStart_.back()), 0);
    std::vector<int32_t> next(cellStart_.begin(), cellStart_.end() - 1);
    for (int32_t e = 0; e < int32_t(entries); ++e) {
        if (!apart[size_t(e)]) forEachCell(e, [&](int64_t cell) { cellEntries_[size_t(next[size_t(cell)]++)] = e; });
    }
    // Each entry measured, sorted by extent, laid out and tried in two passes, and filed; the
    // cells counted and filled.
    steps += 8 * entries + cellCount + int64_t(cellEntries_.size());
    CountTurns(steps);
    return steps + largeSteps;
}

void BoxGrid::LayOutCells(const std::vector<uint8_t>& apart, int64_t extent, int64_t entries)
{
    int64_t low[3] = {INT32_MAX, INT32_MAX, INT32_MAX};
    int64_t high[3] = {INT32_MIN, INT32_MIN, INT32_MIN};
    for (size_t e = 0; e < entryBoxes_.size(); ++e) {
        if (apart[e]) continue;
        for (int32_t axis = 0; axis < 3; ++axis) {
            low[axis] = std::min<int64_t>(low[axis], entryBoxes_[e].minimum[axis]);
            high[axis] = std::max<int64_t>(high[axis], entryBoxes_[e].maximum[axis]);
        }
    }
    // Every entry left out: one cell, which files nothing.
    for (int32_t axis = 0; axis < 3 && low[axis] > high[axis]; ++axis) low[axis] = high[axis] = 0;
    const int64_t budget = kCellsPerEntry * entries + kSpareCells;
    cellSize_ = std::max<int64_t>(1, extent);
    auto cellsOn = [&](int32_t axis) { return (high[axis] - low[axis]) / cellSize_ + 1; };
    int32_t doublings = 0;
    for (; cellsOn(0) * cellsOn(1) * cellsOn(2) > budget; ++doublings) cellSize_ *= 2;
    CountTurns(doublings);
    for (int32_t axis = 0; axis < 3; ++axis) {
        origin_[axis] = int32_t(low[axis]);
        cells_[axis] = int32_t(cellsOn(axis));
    }
}

int64_t BoxGrid::Take(int32_t e, const GridBox& box, std::vector<int32_t>* indices)
{
    if (seenIn_[size_t(e)] == query_) return 0;
    seenIn_[size_t(e)] = query_;
    if (!GridBoxesOverlap(box, entryBoxes_[size_t(e)])) return 1;
    const int32_t begin = entryStart_[size_t(e)];
    const int32_t end = entryStart_[size_t(e) + 1];
    for (int32_t k = begin; k < end; ++k) indices->push_back(members_[size_t(k)]);
    return 1 + (end - begin);
}

int64_t BoxGrid::Overlapping(const GridBox& box, std::vector<int32_t>* indices)
{
    indices->clear();
    const int64_t steps = Gather(box, indices);
    std::sort(indices->begin(), indices->end());
    CountTurns(int64_t(indices->size()));
    return steps + int64_t(indices->size());
}

int64_t BoxGrid::Gather(const GridBox& box, std::vector<int32_t>* indices)
{
    if (entryBoxes_.empty()) return 0;
    if (++query_ == 0) {
        std::fill(seenIn_.begin(), seenIn_.end(), 0);
        query_ = 1;
    }
    int64_t steps = 0;
    int64_t largeSteps = 0;  // which the large grid counts itself
    int32_t first[3], last[3];
    for (int32_t axis = 0; axis < 3; ++axis) CellRange(box, axis, &first[axis], &last[axis]);
    const int64_t covered = CellCount(first, last);
    if (covered > int64_t(entryBoxes_.size())) {
        // Walking the cells would take longer than comparing every entry.
        for (int32_t e = 0; e < int32_t(entryBoxes_.size()); ++e) steps += Take(e, box, indices);
    } else {
        // The large grid reports this grid's indices of the boxes it holds.
        if (largeGrid_) {
            largeSteps = largeGrid_->Gather(box, indices);
        } else {
            for (const int32_t e : apart_) steps += Take(e, box, indices);
        }
        steps += covered;
        for (int32_t z = first[2]; z <= last[2]; ++z) {
            for (int32_t y = first[1]; y <= last[1]; ++y) {
                for (int32_t x = first[0]; x <= last[0]; ++x) {
                    const int64_t cell = CellIndex(x, y, z);
                    for (int32_t k = cellStart_[size_t(cell)]; k < cellStart_[size_t(cell) + 1]; ++k)
                        steps += Take(cellEntries_[size_t(k)], box, indices);
                }
            }
        }
    }
    CountTurns(steps);
    return steps + largeSteps;
}

void BoxGrid::CellRange(const GridBox& box, int32_t axis, int32_t* first, int32_t* last) const
{
    auto cellOf = [&](int64_t value) {
        return int32_t(std::clamp<int64_t>((value - origin_[axis]) / cellSize_, 0, cells_[axis] - 1));
    };
    // A box wholly outside the grid still gets an edge cell; the overlap test then refuses it.
    *first = cellOf(std::max<int64_t>(box.minimum[axis], origin_[axis]));
    *last = cellOf(std::max<int64_t>(box.maximum[axis], origin_[axis]));
}

int64_t BoxGrid::CellCount(const int32_t (&first)[3], const int32_t (&last)[3])
{
    return int64_t(last[0] - first[0] + 1) * (last[1] - first[1] + 1) * (last[2] - first[2] + 1);
}

int64_t BoxGrid::CellIndex(int32_t x, int32_t y, int32_t z) const
{
    return (int64_t(z) * cells_[1] + y) * cells_[0] + x;
}

int64_t GrowingBoxGrid::Append(const GridBox& box)
{
    boxes_.push_back(box);
    if (Count() - filed_ < kUnfiledBoxes) return 0;
    runs_.push_back({filed_, Count() - filed_, BoxGrid()});
    filed_ = Count();
    // Runs are merged while the last is as large as the one before it: their sizes halve at
    // least from one run to the next.
    while (runs_.size() > 1 && runs_[runs_.size() - 2].count <= runs_.back().count) {
        runs_[runs_.size() - 2].count += runs_.back().count;
        runs_.pop_back();
    }
    Run& run = runs_.back();
    CountTurns(run.count);
    return run.count + run.grid.FileBoxes(std::vector<GridBox>(boxes_.begin() + run.first,
                                                               boxes_.begin() + run.first + run.count));
}

int64_t GrowingBoxGrid::Overlapping(const GridBox& box, std::vector<int32_t>* indices)
{
    indices->clear();
    int64_t steps = 0;
    for (Run& run : runs_) {
        steps += run.grid.Overlapping(box, &found_);
        for (const int32_t index : found_) indices->push_back(run.first + index);
    }
    for (int32_t index = filed_; index < Count(); ++index) {
        ++steps;
        if (GridBoxesOverlap(box, boxes_[size_t(index)])) {
            indices->push_back(index);
            ++steps;
        }
    }
    CountTurns(int64_t(runs_.size()) + Count() - filed_);
    return steps + int64_t(runs_.size());
}
