// Points in rectangles, rectangles moved into bounds, and pop-ups placed beside an anchor.
#include "toolkit/rect_placement.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Corners = std::array<int32_t, 4>;
constexpr PortRect kBounds = {0, 0, 800, 600};

Corners Constrained(PortRect rect)
{
    ConstrainRectInside(&rect, kBounds);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

Corners Beside(PortRect rect, const PortRect& anchor)
{
    PlaceRectBeside(&rect, kBounds, anchor);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace

TEST(RectPlacement, PointsAndConstraints)
{
    const PortRect rect = {10, 20, 30, 40};
    EXPECT_TRUE(rect.Contains(10, 20) && rect.Contains(29, 39));
    EXPECT_FALSE(rect.Contains(30, 25) || rect.Contains(15, 40) || rect.Contains(9, 25) || rect.Contains(15, 19));

    EXPECT_EQ(Constrained({-50, -20, 50, 80}), (Corners{0, 0, 100, 100}));
    EXPECT_EQ(Constrained({750, 550, 850, 650}), (Corners{700, 500, 800, 600}));
    // Larger than the bounds: the bottom and right edges win.
    EXPECT_EQ(Constrained({-100, -100, 900, 700}), (Corners{-200, -200, 800, 600}));
}

TEST(RectPlacement, BesideTakesTheFirstSideWithRoom)
{
    // Right of the anchor, from one pixel past it; a space only as wide as the rectangle is no room.
    EXPECT_EQ(Beside({0, 0, 200, 100}, {100, 100, 150, 120}), (Corners{151, 0, 351, 100}));
    EXPECT_EQ(Beside({0, 0, 200, 100}, {300, 0, 599, 50}), (Corners{0, 0, 200, 100}));
    // An anchor at the right edge: to its left, ending a pixel before it.
    EXPECT_EQ(Beside({700, 300, 900, 400}, {700, 300, 800, 320}), (Corners{499, 300, 699, 400}));
    // Both sides too narrow: below, then above, then anywhere inside the bounds.
    EXPECT_EQ(Beside({300, 0, 700, 100}, {100, 200, 500, 220}), (Corners{300, 221, 700, 321}));
    EXPECT_EQ(Beside({300, 550, 700, 650}, {100, 500, 500, 520}), (Corners{300, 399, 700, 499}));
    EXPECT_EQ(Beside({-10, 550, 790, 1000}, {0, 100, 800, 500}), (Corners{0, 150, 800, 600}));
}
