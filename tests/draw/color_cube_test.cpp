// The colour cube: level boundaries, entries and the four-pick cube dither.
#include "draw/color_cube.h"

#include <gtest/gtest.h>

#include "foundation/dynamic_array.h"

namespace {

RGBColor48 Bytes(int r, int g, int b)
{
    return {uint16_t(r << 8), uint16_t(g << 8), uint16_t(b << 8)};
}

}  // namespace

TEST(ColorCube, IndexFollowsTheLevelBoundaries)
{
    EXPECT_EQ(ColorCubeIndex({0xFFFF, 0xFFFF, 0xFFFF}), 0);
    EXPECT_EQ(ColorCubeIndex({0, 0, 0}), 215);
    EXPECT_EQ(ColorCubeIndex(Bytes(229, 229, 229)), 43);
    EXPECT_EQ(ColorCubeIndex(Bytes(230, 230, 230)), 0);
    // Each boundary byte (the midpoint of two levels) belongs to the darker level.
    const int levelOf[][2] = {{255, 0}, {230, 0}, {229, 1}, {179, 1}, {178, 2}, {128, 2},
                              {127, 3}, {77, 3},  {76, 4},  {26, 4},  {25, 5},  {0, 5}};
    for (const auto& [byte, level] : levelOf) {
        EXPECT_EQ(ColorCubeIndex(Bytes(byte, 255, 255)), 36 * level) << byte;
        EXPECT_EQ(ColorCubeIndex(Bytes(255, byte, 255)), 6 * level) << byte;
        EXPECT_EQ(ColorCubeIndex(Bytes(255, 255, byte)), level) << byte;
    }
    // Only the high byte counts.
    EXPECT_EQ(ColorCubeIndex({0xB2FF, 0x4C00, 0x19FF}), 72 + 24 + 5);
}

TEST(ColorCube, EntriesRunRedOutermost)
{
    BuildColorCube();
    ASSERT_NE(ColorCube, nullptr);
    EXPECT_EQ(ColorCube->ArrayCount(), kColorCubeSize);
    RGBColor48 c = {1, 2, 3};
    ColorCubeEntry(&c, 43);
    EXPECT_EQ(c.red, 0xCCCC);
    EXPECT_EQ(c.green, 0xCCCC);
    EXPECT_EQ(c.blue, 0xCCCC);
    ColorCubeEntry(&c, 35);
    EXPECT_EQ(c.red, 0xFFFF);
    EXPECT_EQ(c.green, 0);
    EXPECT_EQ(c.blue, 0);
    ColorCubeEntry(&c, 216);  // outside: unchanged
    EXPECT_EQ(c.red, 0xFFFF);
    ColorCubeEntry(&c, 1);
    EXPECT_EQ(c.blue, 0xCCCC);
    DestroyColorCube();
    EXPECT_EQ(ColorCube, nullptr);
}

TEST(ColorCube, DitherQuadCarriesTheErrorIntoEachPick)
{
    uint8_t picks[4];
    // Red 0x8000 lies between 0x9999 (level 2) and 0x6666 (level 3): the error alternates.
    ColorToDitherQuad({0x8000, 0xFFFF, 0xFFFF}, picks);
    EXPECT_EQ(picks[0], 72);
    EXPECT_EQ(picks[1], 108);
    EXPECT_EQ(picks[2], 72);
    EXPECT_EQ(picks[3], 108);
    // A cube colour picks itself four times.
    ColorToDitherQuad({0x3333, 0x9999, 0}, picks);
    for (uint8_t pick : picks) EXPECT_EQ(pick, 4 * 36 + 2 * 6 + 5);
}
