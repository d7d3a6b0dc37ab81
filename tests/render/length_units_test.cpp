// The table of length units.
#include <gtest/gtest.h>

#include "render/length_units.h"

TEST(LengthUnits, MetresPerUnitAndTheCodesOfNone)
{
    EXPECT_DOUBLE_EQ(GetUnitToMetres(1), 0.0254);
    EXPECT_DOUBLE_EQ(GetUnitToMetres(4), 1609.344);
    EXPECT_DOUBLE_EQ(GetUnitToMetres(9), 0.002116667);
    EXPECT_DOUBLE_EQ(GetUnitToMetres(12), 3.084e16);
    for (int32_t code : {0, 7, 13, -1}) EXPECT_DOUBLE_EQ(GetUnitToMetres(code), 1.0) << code;
}
