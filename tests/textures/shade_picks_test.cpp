// The per-colour steps of the shade table build.
#include "textures/shade_picks.h"

#include <gtest/gtest.h>

#include <array>

namespace {

std::array<uint8_t, 4> Arranged(std::array<uint8_t, 4> picks)
{
    ArrangeDitherPicks(picks.data());
    return picks;
}

}  // namespace

TEST(ShadePicks, EqualPicksEndOnADiagonal)
{
    EXPECT_EQ(Arranged({5, 7, 5, 9}), (std::array<uint8_t, 4>{5, 7, 9, 5}));
    EXPECT_EQ(Arranged({5, 5, 7, 9}), (std::array<uint8_t, 4>{5, 9, 7, 5}));
    EXPECT_EQ(Arranged({1, 2, 3, 2}), (std::array<uint8_t, 4>{1, 2, 2, 3}));  // p4 = p2
    EXPECT_EQ(Arranged({1, 2, 3, 3}), (std::array<uint8_t, 4>{1, 3, 3, 2}));  // p4 = p3
    EXPECT_EQ(Arranged({1, 2, 3, 4}), (std::array<uint8_t, 4>{1, 2, 3, 4}));
}

TEST(ShadePicks, PicksFillTheirByte)
{
    EXPECT_EQ(ReplicatePick(1, 1), 0xFF);
    EXPECT_EQ(ReplicatePick(0, 1), 0x00);
    EXPECT_EQ(ReplicatePick(2, 2), 0xAA);
    EXPECT_EQ(ReplicatePick(0x9, 4), 0x99);
    EXPECT_EQ(ReplicatePick(0x9C, 8), 0x9C);
}

TEST(ShadePicks, PlanePatternsPutPlaneZeroInTheTopByte)
{
    EXPECT_EQ(PlanarPattern(0x1, 0x0), 0xAA000000u);
    EXPECT_EQ(PlanarPattern(0x0, 0x8), 0x00000055u);
    EXPECT_EQ(PlanarPattern(0xF, 0xF), 0xFFFFFFFFu);
    EXPECT_EQ(PlanarPattern(0x5, 0x6), 0xAA55FF00u);
}
