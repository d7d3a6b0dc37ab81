// Points in rectangles, rectangles moved into bounds, and pop-ups placed beside an anchor.
#include "toolkit/rect_placement.h"

#include <gtest/gtest.h>

namespace {

constexpr PortRect kBounds = {0, 0, 800, 600};

PortRect Constrained(PortRect rect, const PortRect& bounds = kBounds)
{
    ConstrainRectInside(&rect, bounds);
    return rect;
}

PortRect Beside(PortRect rect, const PortRect& anchor)
{
    PlaceRectBeside(&rect, kBounds, anchor);
    return rect;
}

void ExpectRect(const PortRect& rect, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    EXPECT_EQ(rect.left, left);
    EXPECT_EQ(rect.top, top);
    EXPECT_EQ(rect.right, right);
    EXPECT_EQ(rect.bottom, bottom);
}

}  // namespace

TEST(RectPlacement, PointInRectIncludesLeftAndTopOnly)
{
    const PortRect rect = {10, 20, 30, 40};
    EXPECT_EQ(PtInRectXY(10, 20, rect), 1);
    EXPECT_EQ(PtInRectXY(29, 39, rect), 1);
    EXPECT_EQ(PtInRectXY(30, 25, rect), 0);
    EXPECT_EQ(PtInRectXY(15, 40, rect), 0);
    EXPECT_EQ(PtInRectXY(9, 25, rect), 0);
    EXPECT_EQ(PtInRectXY(10, 20, PortRect{10, 20, 10, 20}), 0);
}

TEST(RectPlacement, ConstrainMovesKeepingTheSize)
{
    ExpectRect(Constrained({-50, -20, 50, 80}), 0, 0, 100, 100);
    ExpectRect(Constrained({750, 550, 850, 650}), 700, 500, 800, 600);
    ExpectRect(Constrained({10, 10, 110, 110}), 10, 10, 110, 110);
    // Larger than the bounds: the bottom and right edges win.
    ExpectRect(Constrained({-100, -100, 900, 700}), -200, -200, 800, 600);
}

TEST(RectPlacement, BesideTakesTheFirstSideWithRoom)
{
    const PortRect popup = {0, 0, 200, 100};
    // Right of the anchor, from one pixel past its right edge.
    ExpectRect(Beside(popup, {100, 100, 150, 120}), 151, 0, 351, 100);
    // A space exactly as wide as the rectangle is not room enough.
    ExpectRect(Beside(popup, {300, 0, 599, 50}), 0, 0, 200, 100);
    // An anchor at the right edge: to its left, ending a pixel before it.
    ExpectRect(Beside({700, 300, 900, 400}, {700, 300, 800, 320}), 499, 300, 699, 400);
    // Sides too narrow (the space must exceed the width): below, then above.
    ExpectRect(Beside({300, 0, 700, 100}, {100, 200, 500, 220}), 300, 221, 700, 321);
    ExpectRect(Beside({300, 550, 700, 650}, {100, 500, 500, 520}), 300, 399, 700, 499);
    // No side has room: anywhere inside the bounds.
    ExpectRect(Beside({-10, 550, 790, 1000}, {0, 100, 800, 500}), 0, 150, 800, 600);
}
