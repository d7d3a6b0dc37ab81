// The places of a list filed by the tiles of the view their boxes cover.
#include "render/screen_bins.h"

#include <algorithm>

#include "foundation/loop_turns.h"

void ScreenBins::Start(int32_t width, int32_t height, int32_t count)
{
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
    const int32_t across = count < kTiledFrom ? 1 : kTilesAcross;
    tileWidth_ = (width_ + across - 1) / across;
    tileHeight_ = (height_ + across - 1) / across;
    columns_ = (width_ + tileWidth_ - 1) / tileWidth_;
    rows_ = (height_ + tileHeight_ - 1) / tileHeight_;
    anywhere_.clear();
    wide_.clear();
    filed_.clear();
    starts_.assign(size_t(columns_) * rows_ + 1, 0);
    places_.clear();
    boxes_.assign(size_t(std::max(count, 0)), PixelRect{0, 0, 0, 0});
}

bool ScreenBins::TileSpan(const PixelRect& box, int32_t* first, int32_t* last, int32_t* top, int32_t* bottom) const
{
    const int32_t left = std::max(box.left, 0);
    const int32_t right = std::min(box.right, width_);
    const int32_t upper = std::max(box.top, 0);
    const int32_t lower = std::min(box.bottom, height_);
    if (left >= right || upper >= lower) return false;
    *first = left / tileWidth_;
    *last = (right - 1) / tileWidth_;
    *top = upper / tileHeight_;
    *bottom = (lower - 1) / tileHeight_;
    return true;
}

void ScreenBins::Add(int32_t place, const PixelRect& box)
{
    int32_t first = 0, last = 0, top = 0, bottom = 0;
    if (!TileSpan(box, &first, &last, &top, &bottom)) return;
    boxes_[size_t(place)] = box;
    if (int64_t(last - first + 1) * (bottom - top + 1) > kMostTiles) {
        wide_.push_back(place);
        return;
    }
    for (int32_t row = top; row <= bottom; ++row) {
        for (int32_t column = first; column <= last; ++column) filed_.push_back({row * columns_ + column, place});
    }
    CountTurns(int64_t(last - first + 1) * (bottom - top + 1));
}

int64_t ScreenBins::Finish()
{
    // A counting sort: the places of each tile stay in rising order.
    for (const auto& entry : filed_) ++starts_[size_t(entry.first) + 1];
    for (size_t tile = 1; tile < starts_.size(); ++tile) starts_[tile] += starts_[tile - 1];
    places_.resize(filed_.size());
    std::vector<int32_t> next(starts_.begin(), starts_.end() - 1);
    for (const auto& entry : filed_) places_[size_t(next[size_t(entry.first)]++)] = entry.second;
    const int64_t entries = int64_t(filed_.size());
    CountTurns(3 * entries + 2 * int64_t(starts_.size()));
    std::vector<std::pair<int32_t, int32_t>>().swap(filed_);
    return entries;
}

int64_t ScreenBins::Find(const PixelRect& box, int32_t limit, std::vector<int32_t>* places) const
{
    const auto meets = [&box](const PixelRect& filed) {
        return filed.left < box.right && box.left < filed.right && filed.top < box.bottom && box.top < filed.bottom;
    };
    places->clear();
    for (const int32_t place : anywhere_) {
        if (place < limit) places->push_back(place);
    }
    for (const int32_t place : wide_) {
        if (place < limit && meets(boxes_[size_t(place)])) places->push_back(place);
    }
    int64_t work = int64_t(anywhere_.size() + wide_.size());
    int32_t first = 0, last = 0, top = 0, bottom = 0;
    if (TileSpan(box, &first, &last, &top, &bottom)) {
        for (int32_t row = top; row <= bottom; ++row) {
            for (int32_t column = first; column <= last; ++column) {
                const size_t tile = size_t(row) * columns_ + column;
                const int32_t end = starts_[tile + 1];
                int32_t k = starts_[tile];
                for (; k < end && places_[size_t(k)] < limit; ++k) {
                    const int32_t place = places_[size_t(k)];
                    if (meets(boxes_[size_t(place)])) places->push_back(place);
                }
                work += 1 + k - starts_[tile];
            }
        }
    }
    // A place filed in several tiles is found once.
    std::sort(places->begin(), places->end());
    places->erase(std::unique(places->begin(), places->end()), places->end());
    work += int64_t(places->size());
    CountTurns(work);
    return work;
}
