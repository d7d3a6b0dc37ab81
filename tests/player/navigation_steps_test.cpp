// The navigation pane's arithmetic: cells, the step a pointer's cell gives, the help lines and
// the layout of the view and its bars for a fixed aspect ratio.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "player/navigation_steps.h"
#include "tests/draw/port_rect_corners.h"

namespace {

using Box = std::array<int32_t, 4>;

TEST(NavigationStepsTest, CellsAreASixthAndASeventhOfTheCentreTruncatedTowardZero)
{
    EXPECT_EQ(CellsForCentre(200, 150).width, 33);
    EXPECT_EQ(CellsForCentre(200, 150).height, -21);
    // A centre under 6 pixels across or 7 down still gives cells of one pixel.
    EXPECT_EQ(CellsForCentre(5, 6).width, 1);
    EXPECT_EQ(CellsForCentre(5, 6).height, -1);
    EXPECT_EQ(CellsForCentre(12, 14).height, -2);
    // The centre cell of width 10 spans offsets -9..9; rows count upward.
    EXPECT_EQ(CellOf(-9, 10), 0);
    EXPECT_EQ(CellOf(9, 10), 0);
    EXPECT_EQ(CellOf(-10, 10), -1);
    EXPECT_EQ(CellOf(-25, -10), 2);
}

TEST(NavigationStepsTest, StepsDoubleWithEachCellUpToTheSixthAndFillTheirOwnDeltas)
{
    const int32_t fast[] = {0, 4, 8, 16, 32, 64, 128, 128};
    const int32_t slow[] = {0, 1, 2, 4, 8, 16, 32, 32};
    for (int32_t n = 0; n < 8; ++n) {
        EXPECT_EQ(FastStep(n), fast[n]) << n;
        EXPECT_EQ(SlowStep(-n), -slow[n]) << n;
    }
    EXPECT_EQ(FastStep(-100000), -128);

    // Walk: forward by the row, a pointer to the right turns right (the heading falls).
    const NavigationDeltas walk = StepDeltas(2, 3, 0);
    EXPECT_EQ((std::array<int32_t, 6>{walk.forward, walk.sideways, walk.vertical, walk.heading, walk.pitch, walk.roll}),
              (std::array<int32_t, 6>{16, 0, 0, -2, 0, 0}));
    const NavigationDeltas look = StepDeltas(-3, 1, kStepLook);
    EXPECT_EQ((std::array<int32_t, 6>{look.forward, look.sideways, look.vertical, look.heading, look.pitch, look.roll}),
              (std::array<int32_t, 6>{0, 0, 0, 0, 1, -4}));
    // Sliding wins over looking.
    const NavigationDeltas slide = StepDeltas(4, -2, kStepSlide | kStepLook);
    EXPECT_EQ(
        (std::array<int32_t, 6>{slide.forward, slide.sideways, slide.vertical, slide.heading, slide.pitch, slide.roll}),
        (std::array<int32_t, 6>{0, 32, -8, 0, 0, 0}));
}

TEST(NavigationStepsTest, HelpLinesByCellAndModifier)
{
    // Rows here count downward: a negative row is above the centre.
    EXPECT_EQ(HelpIndex(-3, -1), 0);
    EXPECT_EQ(HelpIndex(0, -5), 1);
    EXPECT_EQ(HelpIndex(0, 0), kHelpCentre);
    EXPECT_EQ(HelpIndex(1, 0), 12);
    EXPECT_EQ(HelpIndex(9, 9), 22);
    EXPECT_EQ(std::string(NavigationHelpText(0, 0)), "Press the mouse button to move forward and turn to the left.");
    EXPECT_EQ(std::string(NavigationHelpText(21, 0)), "Press the mouse button to move backward.");
    EXPECT_EQ(std::string(NavigationHelpText(2, kStepLook)), "Press the mouse button to roll to the right and look up.");
    EXPECT_EQ(std::string(NavigationHelpText(20, kStepSlide | kStepLook)),
              "Press the mouse button to slide down and to the left.");
    EXPECT_EQ(std::string(NavigationHelpText(kHelpCentre, kStepSlide)),
              "The Cross Hair is used as a reference point for navigation.");
    for (int32_t index : {-1, 3, 13, 30}) EXPECT_EQ(std::string(NavigationHelpText(index, 0)), "") << index;
}

TEST(NavigationStepsTest, AFixedRatioPutsBarsAtTheSidesOrAboveAndBelow)
{
    // No ratio (or a term that fixes none): the whole port, no bars.
    for (const Box& ratio : {Box{0, 0}, Box{-4, 3}, Box{1001, 1}}) {
        const NavigationLayout layout = LayOutNavigation({0, 0, 401, 300}, 200, 150, ratio[0], ratio[1]);
        EXPECT_EQ(CornersOf(layout.view), (Box{0, 0, 401, 300}));
        EXPECT_EQ(CornersOf(layout.firstBar), (Box{0, 0, 0, 0}));
        EXPECT_EQ(layout.viewportWidth, 201);
    }
    // Wider than 4:3: the view is (4 x 400 + 1) / 3 = 533 wide around x 320.
    const NavigationLayout wide = LayOutNavigation({0, 0, 640, 400}, 320, 200, 4, 3);
    EXPECT_EQ(CornersOf(wide.view), (Box{54, 0, 587, 400}));
    EXPECT_EQ(CornersOf(wide.firstBar), (Box{0, 0, 54, 400}));
    EXPECT_EQ(CornersOf(wide.secondBar), (Box{587, 0, 640, 400}));
    EXPECT_EQ(wide.viewportWidth, 267);
    const NavigationLayout tall = LayOutNavigation({0, 0, 300, 401}, 150, 200, 2, 1);
    EXPECT_EQ(CornersOf(tall.view), (Box{0, 125, 300, 275}));
    EXPECT_EQ(CornersOf(tall.secondBar), (Box{0, 275, 300, 401}));
    EXPECT_EQ(tall.viewportHeight, 75);
    // The port's own ratio: bars of height 0 at the top and bottom.
    const NavigationLayout same = LayOutNavigation({0, 0, 400, 301}, 200, 150, 400, 301);
    EXPECT_EQ(CornersOf(same.firstBar), (Box{0, 0, 400, 0}));
    EXPECT_EQ(CornersOf(same.secondBar), (Box{0, 301, 400, 301}));
    // Never a view under a pixel, nor a viewport of 0.
    const NavigationLayout thin = LayOutNavigation({0, 0, 1, 1000}, 0, 500, 1000, 1);
    EXPECT_EQ(thin.view.bottom - thin.view.top, 1);
    EXPECT_EQ(thin.viewportHeight, 1);
    EXPECT_EQ(LayOutNavigation({0, 0, 0, 0}, 0, 0, 0, 0).viewportWidth, 1);
}

}  // namespace
