// The program palette, the colour-match blocks of screen devices, colour matching on offscreens
// of every depth and the remapping of the shade tables.
#include "draw/program_palette.h"

#include <gtest/gtest.h>

#include <vector>

#include "draw/color_cube.h"
#include "draw/shade_level_tables.h"
#include "tests/draw/draw_support.h"

namespace {

std::vector<PALETTEENTRY> PaletteEntries()
{
    std::vector<PALETTEENTRY> entries(GetPaletteEntries(ProgramPalette, 0, 0, nullptr));
    GetPaletteEntries(ProgramPalette, 0, UINT(entries.size()), entries.data());
    return entries;
}

const ColorTableEntry* ColourTable(Q_Offscreen* device)
{
    return device->MatchBlock().colorTable->Elements<ColorTableEntry>();
}

}  // namespace

TEST(ProgramPalette, StaticColoursAtTheEndsAndTheCubeBetween)
{
    TestScreen screen(8);
    ASSERT_NE(ProgramPalette, nullptr);
    const std::vector<PALETTEENTRY> e = PaletteEntries();
    ASSERT_EQ(e.size(), 256u);
    EXPECT_EQ(e[1].peRed, 128);
    EXPECT_EQ(e[9].peBlue, 240);
    EXPECT_EQ(e[9].peFlags, 0);
    EXPECT_EQ(e[255].peGreen, 255);
    EXPECT_EQ(e[255].peFlags, 0);
    // Entry 10 is white with the blue of 254; red is cube index 35.
    EXPECT_EQ(RGB(e[10].peRed, e[10].peGreen, e[10].peBlue), RGB(255, 255, 254));
    EXPECT_EQ(RGB(e[45].peRed, e[45].peGreen, e[45].peBlue), RGB(255, 0, 1));
    EXPECT_EQ(RGB(e[225].peRed, e[225].peGreen, e[225].peBlue), RGB(0, 0, 1));
    for (int32_t i = 10; i < 226; ++i) {
        EXPECT_EQ(e[i].peFlags, PC_NOCOLLAPSE) << i;
        EXPECT_TRUE(e[i].peBlue == 254 || e[i].peBlue % 2 == 1) << i;
    }
    for (int32_t i = 226; i < 246; ++i) {
        EXPECT_EQ(RGB(e[i].peRed, e[i].peGreen, e[i].peBlue), RGB(0, 0, 0)) << i;
        EXPECT_EQ(e[i].peFlags, PC_NOCOLLAPSE) << i;
    }
}

TEST(ProgramPalette, SixteenColourScreenTakesTheSystemColours)
{
    TestScreen screen(4);
    const std::vector<PALETTEENTRY> e = PaletteEntries();
    ASSERT_EQ(e.size(), 16u);
    EXPECT_EQ(RGB(e[1].peRed, e[1].peGreen, e[1].peBlue), RGB(128, 0, 0));
    EXPECT_EQ(RGB(e[15].peRed, e[15].peGreen, e[15].peBlue), RGB(255, 255, 255));
    ASSERT_NE(ColorCube, nullptr);
    EXPECT_EQ(ColorCube->ArrayCount(), 216);
}

TEST(DeviceColorTables, EightBitDeviceListsTheCubeByIndex)
{
    TestScreen screen(8);
    const ColorMatchBlock& block = screen.device->MatchBlock();
    ASSERT_NE(block.colorTable, nullptr);
    EXPECT_EQ(block.redTable, nullptr);
    ASSERT_EQ(block.colorTable->ArrayCount(), 216);
    const ColorTableEntry* table = ColourTable(screen.device);
    for (int32_t i = 0; i < 216; ++i) {
        RGBColor48 cube;
        ColorCubeEntry(&cube, i);
        const int32_t blue = cube.blue >> 8;
        EXPECT_EQ(table[i].red, cube.red >> 8) << i;
        EXPECT_EQ(table[i].green, cube.green >> 8) << i;
        EXPECT_EQ(table[i].blue, blue == 255 ? 254 : (blue | 1)) << i;
        EXPECT_EQ(table[i].pixel, 10 + i) << i;
    }
    ASSERT_EQ(block.matchCache->ArrayCount(), kMatchCacheEntries);
    for (int32_t i = 0; i < kMatchCacheEntries; ++i)
        ASSERT_EQ(block.matchCache->Elements<uint32_t>()[i], kEmptyMatch) << i;
    EXPECT_EQ(screen.device->LockCount(), 0);
}

TEST(DeviceColorTables, SixteenColourDeviceListsTheSystemColours)
{
    TestScreen screen(4);
    const ColorMatchBlock& block = screen.device->MatchBlock();
    ASSERT_NE(block.colorTable, nullptr);
    ASSERT_EQ(block.colorTable->ArrayCount(), 16);
    const ColorTableEntry* table = ColourTable(screen.device);
    EXPECT_EQ(table[4].blue, 128);
    EXPECT_EQ(table[4].red, 0);
    EXPECT_EQ(table[12].red, 255);
    EXPECT_EQ(table[12].green, 255);
    for (int32_t i = 0; i < 16; ++i) EXPECT_EQ(table[i].pixel, i);
}

TEST(ChannelTables, DescribeTheBitFieldsOfEachTrueColourDepth)
{
    struct Case {
        int32_t depth;
        uint32_t red255, green255, blue255, red8;
    };
    for (const Case& c : {Case{16, 0x7C007C00, 0x03E003E0, 0x001F001F, 0x04000400},
                          Case{24, 0x00FF0000, 0x0000FF00, 0x000000FF, 0x00080000},
                          Case{32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0x00080000}}) {
        TestScreen screen(c.depth);
        const ColorMatchBlock& block = screen.device->MatchBlock();
        ASSERT_NE(block.redTable, nullptr) << c.depth;
        EXPECT_EQ(block.matchCache, nullptr);
        EXPECT_EQ(block.colorTable, nullptr);
        const uint32_t* red = block.redTable->Elements<uint32_t>();
        const uint32_t* green = block.greenTable->Elements<uint32_t>();
        const uint32_t* blue = block.blueTable->Elements<uint32_t>();
        EXPECT_EQ(red[255], c.red255) << c.depth;
        EXPECT_EQ(green[255], c.green255) << c.depth;
        EXPECT_EQ(blue[255], c.blue255) << c.depth;
        EXPECT_EQ(red[8], c.red8) << c.depth;
        EXPECT_EQ(red[0] | green[0] | blue[0], 0u);
        EXPECT_EQ(BuildDeviceColorTables(screen.device), 1);
        EXPECT_EQ(block.redTable->LockCount(), 0);
    }
}

TEST(ChannelTables, IndexedDeviceHasNone)
{
    TestScreen screen(8);
    EXPECT_EQ(BuildChannelTables(screen.device), 0);
    EXPECT_EQ(screen.device->MatchBlock().redTable, nullptr);
}

TEST(ColorToPixel, EightBitPixelsTakeTheDitheredPicks)
{
    TestScreen screen(8);
    auto offscreen = MakeOffscreen(8, 8, 8);
    // Red 0x8000 lies between the cube's 153 (pixel 82) and 102 (pixel 118).
    const RGBColor48 colour = {0x8000, 0xFFFF, 0xFFFF};
    EXPECT_EQ(offscreen->MatchColorDithered(colour), 0x76527652u);
    EXPECT_EQ(offscreen->ColorToPixel(colour), 0x52767652u);
    EXPECT_EQ(offscreen->ColorToPixelFill(colour), 0x76767676u);
    EXPECT_EQ(offscreen->ColorToPixel({0xFFFF, 0, 0}), 0x2D2D2D2Du);  // cube red, pixel 45

    // Offscreens of fewer bits borrow the same block and pack the picks for their own depth.
    auto packed = MakeOffscreen(8, 8, 4);
    EXPECT_EQ(packed->ColorToPixel(colour), 0x26266262u);
    EXPECT_EQ(packed->ColorToPixelFill(colour), 0x66666666u);
    auto mono = MakeOffscreen(8, 8, 1);
    EXPECT_EQ(mono->ColorToPixel({0xFFFF, 0, 0}), 0xFFFFFFFFu);
    EXPECT_EQ(mono->ColorToPixel(colour), 0u);
}

TEST(ColorToPixel, TrueColourPixelsComeFromThePublishedChannelTables)
{
    const RGBColor48 colour = {0x1234, 0x5678, 0x9ABC};
    for (const auto& [depth, pixel] : {std::pair{16, 0x09530953u}, {24, 0x0012569Au}, {32, 0x0012569Au}}) {
        TestScreen screen(depth);
        auto offscreen = MakeOffscreen(8, 8, 0);
        EXPECT_EQ(offscreen->ColorToPixel(colour), 0u) << depth;  // not published
        IgnoreResult(offscreen->Lock());
        EXPECT_EQ(offscreen->ColorToPixel(colour), pixel) << depth;
        EXPECT_EQ(offscreen->ColorToPixelFill(colour), pixel) << depth;
        offscreen->Unlock();
    }
}

TEST(ColorCubeIndex, LockedIndexLeavesThePortUnlocked)
{
    TestScreen screen(32);
    auto offscreen = MakeOffscreen(8, 8, 0);
    EXPECT_EQ(offscreen->LockedColorCubeIndex({0xE5E5, 0xE5E5, 0xE5E5}), 43);
    EXPECT_EQ(offscreen->LockCount(), 0);
}

namespace {

// Source and screen shade sets whose 8-bit byte tables the test fills.
class ShadeSets {
public:
    ShadeSets() : source(kShadeLevelCount), screen(kShadeLevelCount)
    {
        for (int32_t level = 0; level < kShadeLevelCount; ++level)
            for (int32_t j = 0; j < 4; ++j) {
                source[level].ByteTables[kByteTables8Bit + j] = bytes[0][level][j];
                screen[level].ByteTables[kByteTables8Bit + j] = bytes[1][level][j];
            }
        ShadeLevelSourceSet = source.data();
        ShadeLevelScreenSet = screen.data();
    }
    ~ShadeSets()
    {
        ShadeLevelSourceSet = nullptr;
        ShadeLevelScreenSet = nullptr;
    }

    std::vector<ShadeLevelEntry> source;
    std::vector<ShadeLevelEntry> screen;
    uint8_t bytes[2][kShadeLevelCount][4][216] = {};
};

}  // namespace

TEST(ShadeRemap, CubeIndicesBecomeScreenPixels)
{
    TestScreen screen(8);
    ShadeSets sets;
    sets.bytes[0][0][0][0] = 35;
    sets.bytes[0][31][3][215] = 215;
    sets.bytes[0][5][2][7] = 250;  // beyond the colour table
    sets.bytes[1][5][2][7] = 99;
    RemapShadeLevelTables();
    EXPECT_EQ(sets.bytes[1][0][0][0], 45);
    EXPECT_EQ(sets.bytes[1][31][3][215], 225);
    EXPECT_EQ(sets.bytes[1][0][1][1], 10);  // cube index 0
    EXPECT_EQ(sets.bytes[1][5][2][7], 99);
}

TEST(ShadeRemap, OnlyWhereThePicksAreCubeIndices)
{
    ScreenCaps small = ScreenCapsOfDepth(8);
    small.sizePalette = 20;
    TestScreen screen(small);
    ShadeSets sets;
    sets.bytes[0][0][0][0] = 35;
    RemapShadeLevelTables();
    EXPECT_EQ(sets.bytes[1][0][0][0], 0);
    RefreshDevicePalette(screen.device);
    EXPECT_EQ(sets.bytes[1][0][0][0], 0);
}

TEST(ShadeRemap, RefreshRebuildsTheTablesAndRemaps)
{
    TestScreen screen(8);
    ShadeSets sets;
    sets.bytes[0][3][1][2] = 1;
    uint32_t* cache = screen.device->MatchBlock().matchCache->Elements<uint32_t>();
    cache[100] = 0x01020304;
    RefreshAllDevicePalettes();
    EXPECT_EQ(cache[100], kEmptyMatch);
    EXPECT_EQ(sets.bytes[1][3][1][2], 11);
}
