// Screen bins: a search finds every place whose box meets the searched box (and those reaching
// anywhere), in rising order, each once, below the limit, and no other: not one filed in the
// same tiles whose box misses, nor one whose box covers too many tiles to file but misses. A long
// list is filed by tiles, a short one in a single tile; both find the same.
#include <gtest/gtest.h>

#include <memory>
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
    // A view of 640 x 480: tiles of 7 x 5 pixels for a long list.
    std::vector<Place> places = {
        {PlaceReach::kWithinBox, {0, 0, 10, 10}},          // 0: in the top left corner
        {PlaceReach::kWithinBox, {300, 200, 340, 230}},    // 1: in the middle
        {PlaceReach::kNowhere, {0, 0, 640, 480}},          // 2: draws nothing
        {PlaceReach::kAnywhere, {0, 0, 0, 0}},             // 3: may draw anywhere
        {PlaceReach::kWithinBox, {0, 0, 640, 480}},        // 4: too many tiles: looked at by every search
        {PlaceReach::kWithinBox, {700, 10, 720, 20}},      // 5: outside the view
        {PlaceReach::kWithinBox, {100, 100, 160, 110}},    // 6: across many tiles
        {PlaceReach::kWithinBox, {320, 210, 321, 211}},    // 7: within place 1's box
        {PlaceReach::kWithinBox, {0, 300, 640, 330}},      // 8: a band of too many tiles
    };
    const ScreenBins shortList = FiledOf(places);
    places.resize(ScreenBins::kTiledFrom, {PlaceReach::kNowhere, {0, 0, 0, 0}});
    const ScreenBins longList = FiledOf(places);
    for (const ScreenBins* bins : {&longList, &shortList}) {
        EXPECT_EQ(Found(*bins, {0, 0, 5, 5}, 9), (std::vector<int32_t>{0, 3, 4}));
        EXPECT_EQ(Found(*bins, {150, 105, 152, 107}, 9), (std::vector<int32_t>{3, 4, 6}));
        EXPECT_EQ(Found(*bins, {319, 209, 322, 212}, 9), (std::vector<int32_t>{1, 3, 4, 7}));
        // In the tile of place 7 (columns 315 to 321, rows 210 to 214) but beside its box.
        EXPECT_EQ(Found(*bins, {315, 212, 318, 214}, 9), (std::vector<int32_t>{1, 3, 4}));
        // Boxes that only touch do not meet: right and bottom are excluded.
        EXPECT_EQ(Found(*bins, {10, 10, 12, 12}, 9), (std::vector<int32_t>{3, 4}));
        EXPECT_EQ(Found(*bins, {5, 320, 7, 340}, 9), (std::vector<int32_t>{3, 4, 8}));
        // A box over several tiles holding the same place finds it once.
        EXPECT_EQ(Found(*bins, {0, 0, 640, 480}, 9), (std::vector<int32_t>{0, 1, 3, 4, 6, 7, 8}));
        // Below the limit only, and a box outside the view finds those reaching anywhere.
        EXPECT_EQ(Found(*bins, {0, 0, 640, 480}, 4), (std::vector<int32_t>{0, 1, 3}));
        EXPECT_EQ(Found(*bins, {800, 600, 900, 700}, 9), (std::vector<int32_t>{3}));
    }
    // Filed again, the bins hold the new places alone.
    const ScreenBins again = FiledOf({{PlaceReach::kWithinBox, {600, 400, 610, 410}}});
    EXPECT_EQ(Found(again, {0, 0, 640, 480}, 1), (std::vector<int32_t>{0}));
    EXPECT_TRUE(Found(again, {0, 0, 100, 100}, 1).empty());
}
