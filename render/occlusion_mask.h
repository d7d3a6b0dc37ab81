// The pixels of a frame that opaque faces are sure to paint over: one bit per pixel, set row by
// row from convex device polygons shrunk by a pixel of margin on every side, so that whatever
// rule a filler uses for the pixels along an edge, every pixel marked is one it writes. The
// renderer walks a sorted draw list from near to far with it and leaves out the records whose
// screen box lies wholly under faces drawn after them; the words each polygon marks anew are
// kept, so that the drawing that follows, far to near, can take back each record's own marks
// before it draws the record and leave out of its spans the pixels still marked.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "raster/covered_pixels.h"
#include "raster/device_point_list.h"

class OcclusionMask {
public:
    // The pixels a word of the mask holds.
    static constexpr int32_t kWordBits = 64;

    // `keepsMarks`: whether the words each polygon marks anew are kept (MarksMade, Uncover); a
    // mask keeping none is cleared whole by Reset.
    explicit OcclusionMask(bool keepsMarks = true) : keepsMarks_(keepsMarks) {}

    // Clears the mask for a frame of device pixels [left, right) x [top, bottom). The storage
    // is kept from frame to frame and grows only with the frame; clearing it again for a frame of
    // the same size clears only the words marked since (which marking them paid for) where they
    // are fewer than its words, else every word at once.
    void Reset(int32_t left, int32_t top, int32_t right, int32_t bottom);

    // Marks the pixels that the polygon covers with a pixel to spare all round. Polygons that
    // are not convex, or wind round more than once, mark nothing.
    void CoverPolygon(const DevicePoint* points, int32_t count);

    // True when every pixel of [left, right) x [top, bottom) that lies in the frame is marked.
    bool Covers(int32_t left, int32_t top, int32_t right, int32_t bottom) const;

    // What a step costs at most, for the frame's budget to be asked beforehand: the words that
    // Covers reads for the box (each row's at least one), and the corners and, for every row of the
    // polygon's box within the frame, the words of its width that CoverPolygon walks and marks.
    int64_t TestCost(int32_t left, int32_t top, int32_t right, int32_t bottom) const
    {
        const int64_t from = std::max(left, left_) - left_;
        const int64_t to = std::min<int64_t>(right, int64_t(left_) + width_) - left_;
        const int64_t rows = RowsWithin(top, bottom);
        if (from >= to || rows == 0) return 1;
        return rows * WordsAcross(from, to);
    }
    int64_t CoverCost(const DevicePoint* points, int32_t count) const;

    // How many words the polygons covered since the last Reset have marked anew: a place to
    // take the marks back from.
    size_t MarksMade() const { return marks_.size(); }
    // Clears the bits that polygons marked anew between the two places (as MarksMade gave them).
    void Uncover(size_t from, size_t to);
    // The marked pixels as the fills read them.
    CoveredPixels Pixels() const;
    // How many times the mask has been reset: a drawing that takes marks back checks that no other
    // walk has reset it meanwhile.
    uint32_t Resets() const { return resets_; }

private:
    void MarkRow(int32_t y, int32_t from, int32_t to);
    // The words a row's pixels [from, to) lie in, from < to.
    static int64_t WordsAcross(int64_t from, int64_t to) { return (to - 1) / kWordBits - from / kWordBits + 1; }
    // The rows of [top, bottom) that lie in the frame.
    int64_t RowsWithin(int32_t top, int32_t bottom) const
    {
        return std::max<int64_t>(std::min<int64_t>(bottom, int64_t(top_) + height_) - std::max(top, top_), 0);
    }

    // A word and the bits a polygon set in it anew.
    struct Mark {
        size_t word;
        uint64_t bits;
    };

    bool keepsMarks_ = true;
    int32_t left_ = 0;
    int32_t top_ = 0;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t wordsPerRow_ = 0;
    std::vector<uint64_t> bits_;
    std::vector<Mark> marks_;
    uint32_t resets_ = 0;
    // The polygon's extent along each whole line y = top + i: the leftmost and rightmost x.
    std::vector<double> lineLeft_;
    std::vector<double> lineRight_;
};
