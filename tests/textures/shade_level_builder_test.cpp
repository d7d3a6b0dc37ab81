// The shade level tables built for screens of every depth, and the texture manager that builds
// them at start-up.
#include "textures/shade_level_builder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "draw/color_cube.h"
#include "tests/draw/draw_support.h"
#include "textures/shade_picks.h"
#include "textures/texture_manager.h"

namespace {

// Builds the tables for the scope, frees them at its end.
class BuiltTables {
public:
    BuiltTables() { BuildShadeLevelTables(); }
    ~BuiltTables() { FreeShadeLevelTables(); }
    BuiltTables(const BuiltTables&) = delete;
    BuiltTables& operator=(const BuiltTables&) = delete;
};

bool AllZero(const uint8_t* table)
{
    for (int32_t i = 0; i < kColorCubeSize; ++i)
        if (table[i] != 0) return false;
    return true;
}

template <class T>
bool AllZero(const T* table)
{
    for (int32_t i = 0; i < kColorCubeSize; ++i)
        if (table[i] != 0) return false;
    return true;
}

}  // namespace

TEST(ShadeLevelTables, EightBitPaletteScreenDithersOverTheCube)
{
    TestScreen screen(8);
    BuiltTables tables;
    ASSERT_NE(ShadeLevelSourceSet, nullptr);
    ASSERT_NE(ShadeLevelScreenSet, nullptr);
    DynamicArray* colorTable = screen.device->MatchBlock().colorTable;
    ASSERT_NE(colorTable, nullptr);
    const auto* entries = static_cast<const ColorTableEntry*>(colorTable->ArrayData());
    for (int32_t j = 0; j < 4; ++j) {
        const uint8_t* brightest = ShadeLevelSourceSet[0].ByteTables[kByteTables8Bit + j];
        const uint8_t* black = ShadeLevelSourceSet[31].ByteTables[kByteTables8Bit + j];
        for (int32_t i = 0; i < kColorCubeSize; ++i) {
            EXPECT_EQ(brightest[i], i);  // a cube colour is its own four picks
            EXPECT_EQ(black[i], kColorCubeSize - 1);
            // The screen set shows the same colours through the screen's colour table.
            EXPECT_EQ(ShadeLevelScreenSet[0].ByteTables[kByteTables8Bit + j][i], uint8_t(entries[i].pixel));
        }
        EXPECT_TRUE(AllZero(ShadeLevelScreenSet[5].ByteTables[kByteTables4Bit + j]));
    }
    EXPECT_TRUE(AllZero(ShadeLevelScreenSet[5].Pixels32));
    EXPECT_TRUE(AllZero(ShadeLevelScreenSet[5].Pixels16));
}

TEST(ShadeLevelTables, SixteenBitScreenFillsOnlyItsPixelTable)
{
    TestScreen screen(16);
    BuiltTables tables;
    ASSERT_NE(ShadeLevelScreenSet, nullptr);
    IgnoreResult(screen.device->Lock());
    const uint32_t white = screen.device->ColorToPixelFill({0xFFFF, 0xFFFF, 0xFFFF});
    screen.device->Unlock();
    for (const ShadeLevelEntry* set : {ShadeLevelScreenSet, ShadeLevelSourceSet}) {
        EXPECT_EQ(set[0].Pixels16[0], uint16_t(white));
        EXPECT_NE(set[0].Pixels16[0], 0);
        EXPECT_TRUE(AllZero(set[31].Pixels16));  // level 31 is black
        for (int32_t t = 0; t < 16; ++t) EXPECT_TRUE(AllZero(set[3].ByteTables[t]));
        EXPECT_TRUE(AllZero(set[3].Pixels32));
        EXPECT_TRUE(AllZero(set[3].Pixels24));
    }
}

TEST(ShadeLevelTables, LevelsDarkenTheCubeColourByThirtyFirsts)
{
    TestScreen screen(32);
    BuiltTables tables;
    ASSERT_NE(ShadeLevelScreenSet, nullptr);
    // Cube entry 29 is (0xFFFF, 0x3333, 0); at level 16 it becomes (31710, 6342, 0).
    RGBColor48 cube;
    ColorCubeEntry(&cube, 29);
    ASSERT_EQ(cube.green, 0x3333);
    IgnoreResult(screen.device->Lock());
    const uint32_t expected = screen.device->ColorToPixelFill({31710, 6342, 0});
    screen.device->Unlock();
    EXPECT_EQ(ShadeLevelScreenSet[16].Pixels32[29], expected);
    EXPECT_EQ(ShadeLevelSourceSet[16].Pixels32[29], expected);
    EXPECT_NE(ShadeLevelScreenSet[15].Pixels32[29], expected);
}

TEST(ShadeLevelTables, FourBitScreenReplicatesNibblesAndMakesPlanePatterns)
{
    TestScreen screen(4);
    BuiltTables tables;
    ASSERT_NE(ShadeLevelScreenSet, nullptr);
    for (int32_t level : {0, 12, 31}) {
        const ShadeLevelEntry& source = ShadeLevelSourceSet[level];
        const ShadeLevelEntry& shown = ShadeLevelScreenSet[level];
        for (int32_t i = 0; i < kColorCubeSize; ++i) {
            for (int32_t j = 0; j < 4; ++j) {
                const uint8_t pick = shown.ByteTables[kByteTables4Bit + j][i];
                EXPECT_EQ(pick >> 4, pick & 0xF);
                EXPECT_EQ(source.ByteTables[kByteTables4Bit + j][i], pick);
            }
            EXPECT_EQ(shown.PlanarPatternA[i], PlanarPattern(source.ByteTables[kByteTables4Bit][i],
                                                             source.ByteTables[kByteTables4Bit + 1][i]));
            EXPECT_EQ(shown.PlanarPatternB[i], PlanarPattern(source.ByteTables[kByteTables4Bit + 2][i],
                                                             source.ByteTables[kByteTables4Bit + 3][i]));
        }
        EXPECT_TRUE(AllZero(source.PlanarPatternA));  // only the screen set gets plane patterns
    }
}

TEST(ShadeLevelTables, BuiltOnceFreedOnce)
{
    TestScreen screen(32);
    BuildShadeLevelTables();
    ShadeLevelEntry* first = ShadeLevelScreenSet;
    ASSERT_NE(first, nullptr);
    BuildShadeLevelTables();
    EXPECT_EQ(ShadeLevelScreenSet, first);
    FreeShadeLevelTables();
    EXPECT_EQ(ShadeLevelScreenSet, nullptr);
    EXPECT_EQ(ShadeLevelSourceSet, nullptr);
    FreeShadeLevelTables();
}

TEST(TextureManager, BuildsTheShadeTablesWhenTheRenderOffscreenExists)
{
    TestScreen screen(32);
    auto* idle = new TextureManager{};
    InitTextureManager(idle);
    EXPECT_EQ(CurrentTextureManager(), idle);
    EXPECT_EQ(idle->started, 1);
    EXPECT_NE(idle->holderList, nullptr);
    EXPECT_EQ(idle->screenSet, nullptr);
    FreeTextureManager();
    EXPECT_EQ(CurrentTextureManager(), nullptr);

    Q_Offscreen* render = new Q_Offscreen;
    ASSERT_EQ(render->QOffscreenInit({0, 0, 32, 32}, 0, nullptr), kResultOk);
    IgnoreResult(render->Activate());
    auto* manager = new TextureManager{};
    InitTextureManager(manager);
    EXPECT_NE(manager->screenSet, nullptr);
    EXPECT_EQ(manager->screenSet, ShadeLevelScreenSet);
    EXPECT_EQ(manager->sourceSet, ShadeLevelSourceSet);
    FreeTextureManager();
    EXPECT_EQ(ShadeLevelScreenSet, nullptr);
    IgnoreResult(render->Deactivate());
    render->DisposeOffscreen();
}
