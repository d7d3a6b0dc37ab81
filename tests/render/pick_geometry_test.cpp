// Pick geometry: planes of three points, rays against polygon planes, openings and walls.
#include <gtest/gtest.h>

#include "render/pick_geometry.h"

namespace {

TEST(PlaneFromPoints, ScalesDownLargeValues)
{
    PickPlane p;
    PlaneFromPoints(0, 0, 0, IntToFixed(1), 0, 0, 0, IntToFixed(1), 0, &p);
    EXPECT_DOUBLE_EQ(p.a, 0);
    EXPECT_DOUBLE_EQ(p.b, 0);
    EXPECT_DOUBLE_EQ(p.c, 1);
    EXPECT_DOUBLE_EQ(p.d, 0);
}

}  // namespace
