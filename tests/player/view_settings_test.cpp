// The rectangles of a model's view and of a new view window, and the Walk menu's lenses and
// speeds with the items their values check.
#include <gtest/gtest.h>

#include <array>

#include "player/view_rectangles.h"
#include "player/walk_menu_settings.h"
#include "tests/draw/port_rect_corners.h"

namespace {

using Box = std::array<int32_t, 4>;

TEST(ViewRectanglesTest, ModelViewCentredOnLargeScreensAndInsetOnSmallOnes)
{
    EXPECT_EQ(CornersOf(ModelViewRect({0, 0, 640, 480})), (Box{69, 92, 570, 405}));
    EXPECT_EQ(CornersOf(ModelViewRect({0, 0, 400, 300})), (Box{5, 23, 394, 294}));
    // Odd spares: the left and top take the smaller half.
    EXPECT_EQ(CornersOf(ModelViewRect({0, 0, 1025, 769})), (Box{261, 236, 762, 549}));
    // Exactly the box: insets only.
    EXPECT_EQ(CornersOf(ModelViewRect({0, 0, 512, 342})), (Box{5, 23, 506, 336}));
}

TEST(ViewRectanglesTest, ViewWindowIsTheMiddleThirds)
{
    EXPECT_EQ(CornersOf(ViewWindowRect({0, 0, 800, 600})), (Box{134, 100, 666, 500}));
    EXPECT_EQ(CornersOf(ViewWindowRect({0, 0, 640, 480})), (Box{107, 80, 533, 400}));
}

TEST(WalkMenuSettingsTest, EachLensAndSpeedChecksItsOwnItemOnly)
{
    for (int32_t item : {kWalkWideAngle, kWalkStandard, kWalkTelephoto}) {
        EXPECT_TRUE(IsLensItem(item));
        EXPECT_EQ(LensItemChecked(LensOfItem(item)), item);
    }
    EXPECT_EQ(LensOfItem(kWalkWideAngle), 15);
    EXPECT_EQ(LensOfItem(kWalkStandard), 35);
    EXPECT_EQ(LensOfItem(kWalkTelephoto), 135);
    for (int16_t other : {0, 14, 36, 134, -35}) EXPECT_EQ(LensItemChecked(other), 0) << other;

    for (int32_t item : {kWalkNormalSpeed, kWalkFast, kWalkFaster, kWalkFastest}) {
        EXPECT_TRUE(IsSpeedItem(item));
        const SpeedPreset speed = SpeedOfItem(item);
        EXPECT_EQ(SpeedItemChecked(speed.wordA, speed.wordC), item);
    }
    const SpeedPreset faster = SpeedOfItem(kWalkFaster);
    EXPECT_EQ(faster.wordA, 11u);
    EXPECT_EQ(faster.wordC, 4u);
    // Word A alone decides the normal and fastest speeds; an 11 with another C checks none.
    EXPECT_EQ(SpeedItemChecked(3, 0), kWalkNormalSpeed);
    EXPECT_EQ(SpeedItemChecked(10, 7), kWalkFastest);
    EXPECT_EQ(SpeedItemChecked(11, 5), 0);
    EXPECT_EQ(SpeedItemChecked(4, 7), 0);

    EXPECT_FALSE(IsLensItem(kWalkLevel));
    EXPECT_FALSE(IsLensItem(kWalkNormalSpeed));
    EXPECT_FALSE(IsSpeedItem(kWalkStop));
}

}  // namespace
