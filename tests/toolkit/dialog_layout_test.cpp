// The width, line count and centring of dialogs on screens of several sizes.
#include "toolkit/dialog_layout.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Corners = std::array<int32_t, 5>;  // left, top, right, bottom, lines

Corners Place(int32_t screenWidth, int32_t screenHeight, int32_t width, int32_t height, int32_t textWidth)
{
    PortRect rect = {-1, -1, -1, -1};
    const int32_t lines = DialogRectOnScreen(screenWidth, screenHeight, &rect, width, height, textWidth);
    return {rect.left, rect.top, rect.right, rect.bottom, lines};
}

int32_t Lines(int32_t screenWidth, int32_t width, int32_t textWidth)
{
    return Place(screenWidth, 768, width, 110, textWidth)[4];
}

}  // namespace

TEST(DialogLayout, WidthIsCappedAndLinesFillNineTenthsOfTheTextArea)
{
    // The shortest alert text (250) in 250 + 69: lines of 225, so two.
    EXPECT_EQ(Place(1024, 768, 250 + DialogLayout::kTextInset, 110, 250), (Corners{353, 329, 672, 439, 2}));
    // On 1024 pixels the cap is 400, lines 298 wide: 600 pixels take three lines.
    EXPECT_EQ(Place(1024, 768, 600 + DialogLayout::kTextInset, 110, 600), (Corners{312, 329, 712, 439, 3}));
    EXPECT_EQ(Lines(1024, 1000, 298), 1);
    EXPECT_EQ(Lines(1024, 1000, 596), 2);
    EXPECT_EQ(Lines(1024, 1000, 597), 3);
    // On 480 pixels the cap is 320, lines 226 wide; odd sizes halve by shifting.
    EXPECT_EQ(Place(480, 361, 1000, 101, 452), (Corners{80, 130, 400, 231, 2}));
    EXPECT_EQ(Lines(480, 1000, 453), 3);
    EXPECT_EQ(Place(1023, 767, 319, 111, 250), (Corners{352, 328, 671, 439, 2}));
}

TEST(DialogLayout, NoTextOrNoLineWidthGivesOneLine)
{
    // Without text the given size is centred, even beyond the cap.
    EXPECT_EQ(Place(1024, 768, 700, 200, 0), (Corners{162, 284, 862, 484, 1}));
    EXPECT_EQ(Place(1024, 768, 700, 200, -5), (Corners{162, 284, 862, 484, 1}));
    // Up to the 69-pixel inset no line width is left; the count must still end.
    for (int32_t width : {69, 40, 0, -30}) EXPECT_EQ(Lines(1024, width, 100000), 1) << width;
    EXPECT_EQ(Lines(1024, 70, 100000), 100000);
}
