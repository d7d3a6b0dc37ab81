// The reach of a part of the view: the box a search of the screen bins is made with finds just the
// boxes the region's own test finds to meet the region.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "raster/span_region.h"
#include "render/face_front_end.h"
#include "render/screen_bins.h"

TEST(RegionReach, APartOfTheViewReachesJustTheBoxesItsRegionMeets)
{
    using OwnedRegion = std::unique_ptr<SpanRegion, void (*)(SpanRegion*)>;
    const auto free = [](SpanRegion* region) { region->SpanRegionFree(); };
    OwnedRegion maker{new SpanRegion, free};
    maker->SpanRegionInit();
    OwnedRegion part{maker->SpanRegionFromRect(100, 50, 140, 80), free};
    ASSERT_TRUE(part);
    PixelRect reach = {0, 0, 0, 0};
    ASSERT_TRUE(RegionReach(part.get(), &reach));
    // Boxes of 3 x 3 pixels (right and bottom excluded) along every edge of the part, touching it,
    // just inside and just outside: found by the bins just where the region's test finds them.
    int32_t met = 0;
    for (int32_t x = 90; x <= 150; ++x) {
        for (int32_t y = 40; y <= 90; ++y) {
            const PixelRect box = {x, y, x + 3, y + 3};
            const bool meets = BoxMeetsRegion(box.left, box.top, box.right - 1, box.bottom - 1, part.get());
            ScreenBins bins;
            bins.File(640, 480, 1, [&](int32_t, PixelRect* filed) {
                *filed = box;
                return PlaceReach::kWithinBox;
            });
            std::vector<int32_t> found;
            bins.Find(reach, 1, &found);
            EXPECT_EQ(!found.empty(), meets) << x << "," << y;
            met += meets ? 1 : 0;
        }
    }
    EXPECT_GT(met, 0);
}
