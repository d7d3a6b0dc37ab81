// The occlusion mask: convex polygons marked row by row with a pixel of margin, and the test of
// a box against the marks.
#include "render/occlusion_mask.h"

#include <algorithm>
#include <cmath>

#include "foundation/loop_turns.h"

namespace {

constexpr int32_t kWordBits = OcclusionMask::kWordBits;
// A pixel counts as covered when the square reaching this many pixels beyond it on every side
// lies inside the polygon: the fillers differ by less than a pixel in where an edge falls.
constexpr int32_t kMargin = 1;

// Bits [from, to) of one 64-bit word, 0 <= from < to <= 64.
uint64_t WordBits(int32_t from, int32_t to)
{
    const uint64_t upper = to == kWordBits ? ~uint64_t(0) : (uint64_t(1) << to) - 1;
    return upper & ~((uint64_t(1) << from) - 1);
}

// True when the polygon turns one way at every corner and goes up and down only once: convex
// and wound round once.
bool IsConvex(const DevicePoint* p, int32_t n)
{
    int32_t turn = 0;
    int32_t reversals = 0;
    int32_t lastDirection = 0;
    for (int32_t i = 0; i < n; ++i) {
        const DevicePoint& a = p[i];
        const DevicePoint& b = p[(i + 1) % n];
        const DevicePoint& c = p[(i + 2) % n];
        const int64_t cross = (int64_t(b.x) - a.x) * (int64_t(c.y) - b.y) - (int64_t(b.y) - a.y) * (int64_t(c.x) - b.x);
        const int32_t sign = cross > 0 ? 1 : cross < 0 ? -1 : 0;
        if (sign != 0) {
            if (turn != 0 && sign != turn) return false;
            turn = sign;
        }
        const int32_t direction = b.y > a.y ? 1 : b.y < a.y ? -1 : 0;
        if (direction != 0) {
            if (lastDirection != 0 && direction != lastDirection) ++reversals;
            lastDirection = direction;
        }
    }
    // The walk closes: the first direction met counts against the last one.
    for (int32_t i = 0; i < n; ++i) {
        const int32_t direction = p[(i + 1) % n].y > p[i].y ? 1 : p[(i + 1) % n].y < p[i].y ? -1 : 0;
        if (direction != 0) {
            if (direction != lastDirection) ++reversals;
            break;
        }
    }
    CountTurns(2 * int64_t(n));
    return turn != 0 && reversals <= 2;
}

}  // namespace

void OcclusionMask::Reset(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    left_ = left;
    top_ = top;
    width_ = std::max(right - left, 0);
    height_ = std::max(bottom - top, 0);
    wordsPerRow_ = (width_ + kWordBits - 1) / kWordBits;
    const size_t words = size_t(wordsPerRow_) * size_t(height_);
    if (keepsMarks_ && bits_.size() == words && marks_.size() < words) {
        // Every bit set was marked anew by some polygon: clearing the words marked clears them all,
        // which is the quicker where they are fewer than the mask's words (a walk resets the mask
        // for every list it makes, and most lists mark little of a large view).
        for (const Mark& mark : marks_) bits_[mark.word] = 0;
        CountTurns(int64_t(marks_.size()));
    } else {
        bits_.assign(words, 0);
        CountTurns(int64_t(words));
    }
    marks_.clear();
    ++resets_;
    lineLeft_.resize(size_t(height_) + 2 * kMargin + 1);
    lineRight_.resize(lineLeft_.size());
}

void OcclusionMask::MarkRow(int32_t y, int32_t from, int32_t to)
{
    const size_t rowStart = size_t(y) * size_t(wordsPerRow_);
    CountTurns(WordsAcross(from, to));
    for (int32_t word = from / kWordBits; word * kWordBits < to; ++word) {
        const int32_t first = std::max(from - word * kWordBits, 0);
        const int32_t last = std::min(to - word * kWordBits, kWordBits);
        uint64_t& bits = bits_[rowStart + size_t(word)];
        const uint64_t fresh = WordBits(first, last) & ~bits;
        if (fresh == 0) continue;
        bits |= fresh;
        if (keepsMarks_) marks_.push_back({rowStart + size_t(word), fresh});
    }
}

void OcclusionMask::Uncover(size_t from, size_t to)
{
    for (size_t i = from; i < to && i < marks_.size(); ++i) bits_[marks_[i].word] &= ~marks_[i].bits;
    CountTurns(int64_t(to - from));
}

CoveredPixels OcclusionMask::Pixels() const
{
    CoveredPixels pixels;
    pixels.bits = bits_.data();
    pixels.wordsPerRow = wordsPerRow_;
    pixels.left = left_;
    pixels.top = top_;
    pixels.width = width_;
    pixels.height = height_;
    return pixels;
}

void OcclusionMask::CoverPolygon(const DevicePoint* points, int32_t count)
{
    if (count < 3 || height_ == 0 || width_ == 0) return;
    int32_t yMin = points[0].y;
    int32_t yMax = points[0].y;
    for (int32_t i = 1; i < count; ++i) {
        yMin = std::min(yMin, points[i].y);
        yMax = std::max(yMax, points[i].y);
    }
    CountTurns(count);
    // Row y needs the lines y - kMargin and y + 1 + kMargin inside the polygon's rows; a polygon
    // too thin for any row (the far faces of a large scene) is done before its shape is looked at.
    const int32_t firstRow = int32_t(std::max<int64_t>(int64_t(yMin) + kMargin, top_));
    const int32_t lastRow = int32_t(std::min<int64_t>(int64_t(yMax) - 1 - kMargin, top_ + height_ - 1));
    if (firstRow > lastRow || !IsConvex(points, count)) return;
    const int32_t firstLine = firstRow - kMargin;
    const int32_t lastLine = lastRow + 1 + kMargin;
    std::fill_n(lineLeft_.begin(), lastLine - firstLine + 1, HUGE_VAL);
    std::fill_n(lineRight_.begin(), lastLine - firstLine + 1, -HUGE_VAL);
    // Each edge widens the extents of the lines it crosses.
    for (int32_t i = 0; i < count; ++i) {
        const DevicePoint& a = points[i];
        const DevicePoint& b = points[i + 1 == count ? 0 : i + 1];
        const int32_t from = std::max(std::min(a.y, b.y), firstLine);
        const int32_t to = std::min(std::max(a.y, b.y), lastLine);
        CountTurns(std::max(to - from + 1, 0));
        for (int32_t line = from; line <= to; ++line) {
            double& l = lineLeft_[size_t(line - firstLine)];
            double& r = lineRight_[size_t(line - firstLine)];
            if (a.y == b.y) {
                l = std::min({l, double(a.x), double(b.x)});
                r = std::max({r, double(a.x), double(b.x)});
            } else {
                const double x = a.x + (double(line) - a.y) * (double(b.x) - a.x) / (double(b.y) - a.y);
                l = std::min(l, x);
                r = std::max(r, x);
            }
        }
    }
    CountTurns(int64_t(count) + lastRow - firstRow + 1);
    for (int32_t y = firstRow; y <= lastRow; ++y) {
        // The left boundary of a convex polygon is convex and the right one concave, so over the
        // band of lines their innermost values lie at its ends.
        const size_t above = size_t(y - kMargin - firstLine);
        const size_t below = size_t(y + 1 + kMargin - firstLine);
        // Kept near the frame, where whole numbers hold them.
        const double l = std::max({lineLeft_[above], lineLeft_[below], double(left_) - 1});
        const double r = std::min({lineRight_[above], lineRight_[below], double(left_) + width_ + 1});
        if (!(l <= r)) continue;
        const int32_t from = std::max(int32_t(std::ceil(l)) + kMargin, left_);
        const int32_t to = std::min(int32_t(std::floor(r)) - kMargin, left_ + width_);
        if (from < to) MarkRow(y - top_, from - left_, to - left_);
    }
}

bool OcclusionMask::Covers(int32_t left, int32_t top, int32_t right, int32_t bottom) const
{
    const int32_t from = std::max(left, left_) - left_;
    const int32_t to = std::min(right, left_ + width_) - left_;
    const int32_t firstRow = std::max(top, top_) - top_;
    const int32_t endRow = std::min(bottom, top_ + height_) - top_;
    if (from >= to || firstRow >= endRow) return true;
    // The bits wanted of each row's first and last words (of its one word, both ends); the words
    // between are wanted whole.
    const int32_t firstWord = from / kWordBits;
    const int32_t lastWord = (to - 1) / kWordBits;
    const uint64_t firstWant = WordBits(from - firstWord * kWordBits, std::min(to - firstWord * kWordBits, kWordBits));
    const uint64_t lastWant = WordBits(0, to - lastWord * kWordBits);
    const int64_t rowWords = WordsAcross(from, to);
    for (int32_t y = firstRow; y < endRow; ++y) {
        const uint64_t* row = bits_.data() + size_t(y) * size_t(wordsPerRow_);
        for (int32_t word = firstWord; word <= lastWord; ++word) {
            const uint64_t want = word == firstWord ? firstWant : word == lastWord ? lastWant : ~uint64_t(0);
            if ((row[word] & want) != want) {
                // The words read, counted as the test leaves.
                CountTurns(int64_t(y - firstRow) * rowWords + (word - firstWord) + 1);
                return false;
            }
        }
    }
    CountTurns(int64_t(endRow - firstRow) * rowWords);
    return true;
}

int64_t OcclusionMask::CoverCost(const DevicePoint* points, int32_t count) const
{
    if (count < 1) return 1;
    int32_t box[4] = {points[0].x, points[0].y, points[0].x, points[0].y};
    for (int32_t i = 1; i < count; ++i) {
        box[0] = std::min(box[0], points[i].x);
        box[1] = std::min(box[1], points[i].y);
        box[2] = std::max(box[2], points[i].x);
        box[3] = std::max(box[3], points[i].y);
    }
    CountTurns(count);
    // Its corners are read three times and each of its rows crossed by its two sides and then
    // marked word by word.
    return 3 * int64_t(count) + 2 * RowsWithin(box[1], box[3] + 1) + TestCost(box[0], box[1], box[2] + 1, box[3] + 1);
}
