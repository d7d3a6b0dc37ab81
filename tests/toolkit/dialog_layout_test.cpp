// The width, line count and centring of dialogs on screens of several sizes.
#include "toolkit/dialog_layout.h"

#include <gtest/gtest.h>

namespace {

struct Placed {
    PortRect rect;
    int32_t lines;
};

Placed Place(int32_t screenWidth, int32_t screenHeight, int32_t width, int32_t height, int32_t textWidth)
{
    Placed placed = {{-1, -1, -1, -1}, 0};
    placed.lines = DialogRectOnScreen(screenWidth, screenHeight, &placed.rect, width, height, textWidth);
    return placed;
}

void ExpectRect(const PortRect& rect, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    EXPECT_EQ(rect.left, left);
    EXPECT_EQ(rect.top, top);
    EXPECT_EQ(rect.right, right);
    EXPECT_EQ(rect.bottom, bottom);
}

}  // namespace

TEST(DialogLayout, ShortestAlertTextTakesTwoLinesOfTheMinimumWidth)
{
    // An alert's text is measured as at least 250 pixels; 90 % of it fits on a line.
    const Placed alert = Place(1024, 768, 250 + DialogLayout::kTextInset, 110, 250);
    EXPECT_EQ(alert.lines, 2);
    ExpectRect(alert.rect, 353, 329, 672, 439);
}

TEST(DialogLayout, WideScreenCapsAtFourHundredWithLinesOf298)
{
    const Placed alert = Place(1024, 768, 600 + DialogLayout::kTextInset, 110, 600);
    EXPECT_EQ(alert.lines, 3);
    ExpectRect(alert.rect, 312, 329, 712, 439);
    EXPECT_EQ(Place(1024, 768, 1000, 110, 596).lines, 2);
    EXPECT_EQ(Place(1024, 768, 1000, 110, 597).lines, 3);
    EXPECT_EQ(Place(1024, 768, 1000, 110, 298).lines, 1);
    EXPECT_EQ(Place(1024, 768, 1000, 110, 299).lines, 2);
}

TEST(DialogLayout, NarrowScreenCapsAtTwoThirds)
{
    // 480 / 3 x 2 = 320; lines of (320 - 69) - 25 = 226.
    const Placed dialog = Place(480, 360, 1000, 101, 452);
    EXPECT_EQ(dialog.lines, 2);
    ExpectRect(dialog.rect, 80, 130, 400, 231);
    EXPECT_EQ(Place(480, 360, 1000, 101, 453).lines, 3);
    // Odd sizes halve by shifting: 1023 x 767 centres a 319 x 111 dialog at (352, 328).
    ExpectRect(Place(1023, 767, 319, 111, 250).rect, 352, 328, 671, 439);
}

TEST(DialogLayout, NoTextCentresTheGivenSizeUncapped)
{
    for (int32_t textWidth : {0, -5}) {
        const Placed dialog = Place(1024, 768, 700, 200, textWidth);
        EXPECT_EQ(dialog.lines, 1);
        ExpectRect(dialog.rect, 162, 284, 862, 484);
    }
}

TEST(DialogLayout, DialogTooNarrowForTextKeepsOneLine)
{
    // Widths up to the 69-pixel inset leave no line width at all; the count must still end.
    for (int32_t width : {69, 70, 40, 0, -30}) {
        const Placed dialog = Place(1024, 768, width, 110, 100000);
        EXPECT_EQ(dialog.lines, width == 70 ? 100000 : 1) << width;
        EXPECT_EQ(dialog.rect.right - dialog.rect.left, width) << width;
    }
}
