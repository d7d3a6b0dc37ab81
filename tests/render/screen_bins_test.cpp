// Screen bins: a search finds every place whose box meets the searched box (and those reaching
// anywhere), in rising order, each once, below the limit, and no place of a tile the box misses;
// a box covering many tiles is walked by every search, one outside the view by none.
#include <gtest/gtest.h>

#include <vector>

#include "render/screen_bins.h"

namespace {

struct Place {
    PlaceReach reach;
    PixelRect box;
};

ScreenBins FiledOf(const std::vector<Place>& places)
{
    ScreenBins bins;
    bins.File(640, 480, int32_t(places.size()), [&](int32_t k, PixelRect* box) {
        *box = places[size_t(k)].box;
        return places[size_t(k)].reach;
    });
    return bins;
}

std::vector<int32_t> Found(const ScreenBins& bins, const PixelRect& box, int32_t limit)
{
    std::vector<int32_t> places;
    bins.Find(box, limit, &places);
    return places;
}

}  // namespace

TEST(ScreenBins, FindsThePlacesThatMayDrawInABoxInTheirOrder)
{
    // A view of 640 x 480: tiles of 7 x 5 pixels.
    const std::vector<Place> places = {
        {PlaceReach::kWithinBox, {0, 0, 10, 10}},          // 0: in the top left corner
        {PlaceReach::kWithinBox, {300, 200, 340, 230}},    // 1: in the middle
        {PlaceReach::kNowhere, {0, 0, 640, 480}},          // 2: draws nothing
        {PlaceReach::kAnywhere, {0, 0, 0, 0}},             // 3: may draw anywhere
        {PlaceReach::kWithinBox, {0, 0, 640, 480}},        // 4: too many tiles: walked by every search
        {PlaceReach::kWithinBox, {700, 10, 720, 20}},      // 5: outside the view
        {PlaceReach::kWithinBox, {100, 100, 160, 110}},    // 6: across many tiles
        {PlaceReach::kWithinBox, {320, 210, 321, 211}},    // 7: within place 1's box
    };
    const ScreenBins bins = FiledOf(places);
    EXPECT_EQ(Found(bins, {0, 0, 5, 5}, 8), (std::vector<int32_t>{0, 3, 4}));
    EXPECT_EQ(Found(bins, {150, 105, 152, 107}, 8), (std::vector<int32_t>{3, 4, 6}));
    EXPECT_EQ(Found(bins, {319, 209, 322, 212}, 8), (std::vector<int32_t>{1, 3, 4, 7}));
    // A box over several tiles holding the same place finds it once.
    EXPECT_EQ(Found(bins, {0, 0, 640, 480}, 8), (std::vector<int32_t>{0, 1, 3, 4, 6, 7}));
    // Below the limit only, and a box outside the view finds those reaching anywhere.
    EXPECT_EQ(Found(bins, {0, 0, 640, 480}, 4), (std::vector<int32_t>{0, 1, 3}));
    EXPECT_EQ(Found(bins, {800, 600, 900, 700}, 8), (std::vector<int32_t>{3, 4}));
    // Filed again, the bins hold the new places alone.
    const ScreenBins again = FiledOf({{PlaceReach::kWithinBox, {600, 400, 610, 410}}});
    EXPECT_EQ(Found(again, {0, 0, 640, 480}, 1), (std::vector<int32_t>{0}));
    EXPECT_TRUE(Found(again, {0, 0, 100, 100}, 1).empty());
}
