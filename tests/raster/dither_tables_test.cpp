// The ordered-dither tables.
#include "raster/dither_tables.h"

#include <gtest/gtest.h>

#include <vector>

TEST(DitherTables, JitterRowsRepeatEachThresholdForTwoPixels)
{
    const std::vector<uint16_t> row0(DitherJitterTable[0].begin(), DitherJitterTable[0].end());
    EXPECT_EQ(row0, (std::vector<uint16_t>{0, 0, 0x8000, 0x8000, 0x2000, 0x2000, 0xA000, 0xA000, 0x0800, 0x0800,
                                           0x8800, 0x8800, 0x2800, 0x2800, 0xA800, 0xA800}));
    EXPECT_EQ(DitherJitterTable[7][0], 63 * 1024);
    for (int32_t r = 0; r < 8; ++r)
        for (int32_t c = 0; c < 8; ++c) EXPECT_EQ(DitherMatrixTable[r][c], DitherJitterTable[r][2 * c]);
}

TEST(DitherTables, DeltasStepFromPairToPairAndWrap)
{
    EXPECT_EQ(DitherDeltaTable[0][0], 0x8000);
    EXPECT_EQ(uint32_t(DitherDeltaTable[0][1]), uint32_t(-0x6000));
    for (int32_t r = 0; r < 8; ++r) {
        int32_t sum = 0;
        for (int32_t c = 0; c < 8; ++c) sum += DitherDeltaTable[r][c];
        EXPECT_EQ(sum, 0) << r;
        for (int32_t c = 0; c < 8; ++c) EXPECT_EQ(DitherDeltaTable[r][8 + c], DitherDeltaTable[r][c]);
        // From any pair, adding the deltas walks the row's jitter.
        int32_t jitter = DitherJitterTable[r][6];
        for (int32_t k = 3; k < 3 + 8; ++k) {
            jitter += DitherDeltaTable[r][k];
            EXPECT_EQ(jitter, DitherJitterTable[r][(2 * (k + 1)) & 15]);
        }
    }
}

TEST(DitherTables, MatrixWindowOfRowSevenContinuesWithRowZero)
{
    for (int32_t c = 0; c < 8; ++c) {
        EXPECT_EQ(DitherMatrixWindows[3][c], DitherMatrixTable[3][c]);
        EXPECT_EQ(DitherMatrixWindows[3][8 + c], DitherMatrixTable[4][c]);
        EXPECT_EQ(DitherMatrixWindows[7][8 + c], DitherMatrixTable[0][c]);
    }
}
