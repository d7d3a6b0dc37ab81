// ScreenBins: the places of a list (the records of a draw list, the faces of a record) filed by the
// tiles of the view that their screen boxes cover, so that a drawing into a part of the view (what
// shows through a see-through face) walks only the places whose boxes meet that part, and its walk
// grows with what may show there rather than with the whole list.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

// A box of device pixels, right and bottom exclusive.
struct PixelRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// Where a place of a list may draw: nowhere (it draws nothing in this frame), anywhere in the view,
// or within its box.
enum class PlaceReach : int32_t { kNowhere, kAnywhere, kWithinBox };

class ScreenBins {
public:
    // Files the places 0 .. count - 1 of a view of width x height pixels, `reachOf(place, &box)`
    // telling where each may draw; a box covering more than kMostTiles tiles is kept apart, looked
    // at by every search, one outside the view not filed at all. The work it took: places looked at
    // and entries filed.
    template <class ReachOf>
    int64_t File(int32_t width, int32_t height, int32_t count, ReachOf reachOf)
    {
        Start(width, height, count);
        for (int32_t place = 0; place < count; ++place) {
            PixelRect box = {0, 0, 0, 0};
            const PlaceReach reach = reachOf(place, &box);
            if (reach == PlaceReach::kAnywhere) {
                anywhere_.push_back(place);
            } else if (reach == PlaceReach::kWithinBox) {
                Add(place, box);
            }
        }
        return int64_t(count) + Finish();
    }
    // The places below `limit` that may draw within the box, in rising order, into `places`: those
    // reaching anywhere, and those whose boxes meet it (their tiles' other entries are passed
    // over). The work it took: tiles and entries looked at.
    int64_t Find(const PixelRect& box, int32_t limit, std::vector<int32_t>* places) const;
    // A box covering more tiles than this is looked at by every search.
    static constexpr int32_t kMostTiles = 64;
    // Tiles a side of the view: some 20 pixels wide in a view of 1920 x 1200, fine enough that the
    // far records crowding along a horizon seen through a small pane are shared out among them.
    static constexpr int32_t kTilesAcross = 96;
    // A list of fewer places is filed in one tile: a search looks at the box of each.
    static constexpr int32_t kTiledFrom = 256;

private:
    void Start(int32_t width, int32_t height, int32_t count);
    void Add(int32_t place, const PixelRect& box);
    // Sorts the entries into their tiles; the entries filed.
    int64_t Finish();
    // The tiles the box covers, clipped to the view; false when it lies outside.
    bool TileSpan(const PixelRect& box, int32_t* first, int32_t* last, int32_t* top, int32_t* bottom) const;

    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t tileWidth_ = 1;
    int32_t tileHeight_ = 1;
    int32_t columns_ = 0;
    int32_t rows_ = 0;
    std::vector<int32_t> anywhere_;
    // The places whose boxes cover too many tiles to file, looked at by every search.
    std::vector<int32_t> wide_;
    // Entries as they are filed (tile, place), then each tile's places from starts_[tile].
    std::vector<std::pair<int32_t, int32_t>> filed_;
    std::vector<int32_t> starts_;
    std::vector<int32_t> places_;
    // The box of each place filed within its box (in tiles or kept apart).
    std::vector<PixelRect> boxes_;
};
