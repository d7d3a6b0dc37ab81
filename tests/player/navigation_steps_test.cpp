// The navigation pane's arithmetic: cells, the step a pointer's cell gives, the help lines and
// the layout of the view and its bars for a fixed aspect ratio.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>

#include "player/navigation_steps.h"

namespace {

using Box = std::array<int32_t, 4>;

Box BoxOf(const PortRect& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

TEST(NavigationCellsTest, SixCellsAcrossAndSevenUpWithAtLeastOnePixel)
{
    const NavigationCells usual = CellsForCentre(200, 150);
    EXPECT_EQ(usual.width, 33);
    EXPECT_EQ(usual.height, -21);
    // A centre under 6 pixels across or 7 down still gives cells of one pixel.
    for (int32_t centre : {0, 1, 5}) {
        const NavigationCells small = CellsForCentre(centre, centre);
        EXPECT_EQ(small.width, 1) << centre;
        EXPECT_EQ(small.height, -1) << centre;
    }
    EXPECT_EQ(CellsForCentre(6, 7).width, 1);
    EXPECT_EQ(CellsForCentre(6, 7).height, -1);
    EXPECT_EQ(CellsForCentre(11, 13).width, 1);
    EXPECT_EQ(CellsForCentre(12, 14).width, 2);
    EXPECT_EQ(CellsForCentre(12, 14).height, -2);
}

TEST(NavigationCellsTest, CellsTruncateTowardZeroSoTheCentreCellIsTwiceAsWideLessOne)
{
    // Cell width 10: offsets -9..9 (19 pixels) are the centre cell.
    for (int32_t offset = -9; offset <= 9; ++offset) EXPECT_EQ(CellOf(offset, 10), 0) << offset;
    EXPECT_EQ(CellOf(10, 10), 1);
    EXPECT_EQ(CellOf(-10, 10), -1);
    EXPECT_EQ(CellOf(-25, 10), -2);
    // Rows count upward: a pointer above the centre gives a positive row.
    EXPECT_EQ(CellOf(-25, -10), 2);
    EXPECT_EQ(CellOf(25, -10), -2);
    EXPECT_EQ(CellOf(-9, -10), 0);
}

TEST(NavigationStepTest, FastAndSlowStepsDoubleWithEachCellUpToTheSixth)
{
    const int32_t fast[] = {0, 4, 8, 16, 32, 64, 128, 128, 128};
    const int32_t slow[] = {0, 1, 2, 4, 8, 16, 32, 32, 32};
    for (int32_t n = 0; n <= 8; ++n) {
        EXPECT_EQ(FastStep(n), fast[n]) << n;
        EXPECT_EQ(SlowStep(n), slow[n]) << n;
        EXPECT_EQ(FastStep(-n), -fast[n]) << n;
        EXPECT_EQ(SlowStep(-n), -slow[n]) << n;
    }
    EXPECT_EQ(FastStep(100000), 128);
    EXPECT_EQ(SlowStep(-100000), -32);
    EXPECT_EQ(FastStep(INT32_MIN + 1), -128);
}

TEST(NavigationStepTest, WalkLookAndSlideFillTheirOwnDeltas)
{
    // Walk: the row moves forward (up) or back, the column turns toward the pointer.
    NavigationDeltas walk = StepDeltas(2, 3, 0);
    EXPECT_EQ(walk.forward, 16);
    EXPECT_EQ(walk.heading, -2);
    EXPECT_EQ(walk.sideways | walk.vertical | walk.pitch | walk.roll, 0);
    walk = StepDeltas(-1, -7, 1);  // the button bit changes nothing
    EXPECT_EQ(walk.forward, -128);
    EXPECT_EQ(walk.heading, 1);

    const NavigationDeltas look = StepDeltas(-3, 1, kStepLook);
    EXPECT_EQ(look.roll, -4);
    EXPECT_EQ(look.pitch, 1);
    EXPECT_EQ(look.forward | look.sideways | look.vertical | look.heading, 0);

    // Sliding wins over looking.
    const NavigationDeltas slide = StepDeltas(4, -2, kStepSlide | kStepLook);
    EXPECT_EQ(slide.sideways, 32);
    EXPECT_EQ(slide.vertical, -8);
    EXPECT_EQ(slide.forward | slide.heading | slide.pitch | slide.roll, 0);

    for (int32_t modifiers : {0, kStepLook, kStepSlide}) {
        const NavigationDeltas centre = StepDeltas(0, 0, modifiers);
        EXPECT_EQ(centre.forward | centre.sideways | centre.vertical | centre.heading | centre.pitch | centre.roll, 0);
    }
}

TEST(NavigationHelpTest, IndexOfEachCellAndItsTextUnderEachModifier)
{
    // Rows here count downward: a negative row is above the centre.
    EXPECT_EQ(HelpIndex(-3, -1), 0);
    EXPECT_EQ(HelpIndex(0, -5), 1);
    EXPECT_EQ(HelpIndex(7, -1), 2);
    EXPECT_EQ(HelpIndex(-1, 0), 10);
    EXPECT_EQ(HelpIndex(0, 0), kHelpCentre);
    EXPECT_EQ(HelpIndex(1, 0), 12);
    EXPECT_EQ(HelpIndex(-1, 2), 20);
    EXPECT_EQ(HelpIndex(0, 1), 21);
    EXPECT_EQ(HelpIndex(9, 9), 22);

    EXPECT_EQ(std::string(NavigationHelpText(0, 0)), "Press the mouse button to move forward and turn to the left.");
    EXPECT_EQ(std::string(NavigationHelpText(21, 0)), "Press the mouse button to move backward.");
    EXPECT_EQ(std::string(NavigationHelpText(12, 0)), "Press the mouse button to turn to the right.");
    EXPECT_EQ(std::string(NavigationHelpText(2, kStepLook)), "Press the mouse button to roll to the right and look up.");
    EXPECT_EQ(std::string(NavigationHelpText(21, kStepLook)), "Press the mouse button to look down.");
    EXPECT_EQ(std::string(NavigationHelpText(1, kStepSlide)), "Press the mouse button to move up.");
    EXPECT_EQ(std::string(NavigationHelpText(20, kStepSlide | kStepLook)),
              "Press the mouse button to slide down and to the left.");
    EXPECT_EQ(std::string(NavigationHelpText(10, kStepSlide)), "Press the mouse button to slide to the left.");
    for (int32_t modifiers : {0, kStepLook, kStepSlide})
        EXPECT_EQ(std::string(NavigationHelpText(kHelpCentre, modifiers)),
                  "The Cross Hair is used as a reference point for navigation.");
    for (int32_t index : {-1, 3, 9, 13, 23, 30})
        EXPECT_EQ(std::string(NavigationHelpText(index, 0)), "") << index;
}

TEST(NavigationLayoutTest, WithoutARatioTheViewIsThePortAndTheBarsAreEmpty)
{
    for (const auto& ratio : {std::pair<int32_t, int32_t>{0, 0}, {4, 0}, {0, 3}, {-4, 3}, {1001, 1}, {1, 1001}}) {
        const NavigationLayout layout = LayOutNavigation({0, 0, 401, 300}, 200, 150, ratio.first, ratio.second);
        EXPECT_EQ(BoxOf(layout.view), (Box{0, 0, 401, 300}));
        EXPECT_EQ(BoxOf(layout.firstBar), (Box{0, 0, 0, 0}));
        EXPECT_EQ(BoxOf(layout.secondBar), (Box{0, 0, 0, 0}));
        EXPECT_EQ(layout.viewportWidth, 201);
        EXPECT_EQ(layout.viewportHeight, 150);
    }
}

TEST(NavigationLayoutTest, AWiderPortGetsBarsAtTheSidesRoundedToTheNearestPixel)
{
    // 640 x 400 at 4:3: the view is (4 x 400 + 1) / 3 = 533 wide around x 320.
    const NavigationLayout layout = LayOutNavigation({0, 0, 640, 400}, 320, 200, 4, 3);
    EXPECT_EQ(BoxOf(layout.view), (Box{54, 0, 587, 400}));
    EXPECT_EQ(BoxOf(layout.firstBar), (Box{0, 0, 54, 400}));
    EXPECT_EQ(BoxOf(layout.secondBar), (Box{587, 0, 640, 400}));
    EXPECT_EQ(layout.viewportWidth, 267);
    EXPECT_EQ(layout.viewportHeight, 200);
    EXPECT_EQ(LayOutNavigation({0, 0, 1000, 1000}, 500, 500, 1000, 1000).view.right, 1000);
}

TEST(NavigationLayoutTest, ATallerOrEqualPortGetsBarsAboveAndBelow)
{
    const NavigationLayout tall = LayOutNavigation({0, 0, 300, 401}, 150, 200, 2, 1);
    EXPECT_EQ(BoxOf(tall.view), (Box{0, 125, 300, 275}));
    EXPECT_EQ(BoxOf(tall.firstBar), (Box{0, 0, 300, 125}));
    EXPECT_EQ(BoxOf(tall.secondBar), (Box{0, 275, 300, 401}));
    EXPECT_EQ(tall.viewportWidth, 150);
    EXPECT_EQ(tall.viewportHeight, 75);

    // The port's own ratio: bars of height 0 at the top and bottom.
    const NavigationLayout same = LayOutNavigation({0, 0, 400, 301}, 200, 150, 400, 301);
    EXPECT_EQ(BoxOf(same.view), (Box{0, 0, 400, 301}));
    EXPECT_EQ(BoxOf(same.firstBar), (Box{0, 0, 400, 0}));
    EXPECT_EQ(BoxOf(same.secondBar), (Box{0, 301, 400, 301}));
}

TEST(NavigationLayoutTest, TheViewIsNeverLessThanAPixelNorTheViewportZero)
{
    const NavigationLayout thin = LayOutNavigation({0, 0, 1, 1000}, 0, 500, 1000, 1);
    EXPECT_EQ(thin.view.bottom - thin.view.top, 1);
    EXPECT_EQ(thin.viewportHeight, 1);
    const NavigationLayout flat = LayOutNavigation({0, 0, 1000, 1}, 500, 0, 1, 1000);
    EXPECT_EQ(flat.view.right - flat.view.left, 1);
    EXPECT_EQ(flat.viewportWidth, 1);
    const NavigationLayout empty = LayOutNavigation({0, 0, 0, 0}, 0, 0, 0, 0);
    EXPECT_EQ(empty.viewportWidth, 1);
    EXPECT_EQ(empty.viewportHeight, 1);
}

}  // namespace
