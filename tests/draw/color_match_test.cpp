// The dithered matcher against a hand-made colour table, its cache, the true-colour path and
// the pixel pattern packers.
#include "draw/color_match.h"

#include <gtest/gtest.h>

#include "draw/raster_globals.h"
#include "foundation/dynamic_array.h"

namespace {

// A colour-match block over the given colour table with an empty cache.
class MatchBlock {
public:
    explicit MatchBlock(std::initializer_list<ColorTableEntry> entries)
    {
        block.matchCache = NewDynamicArray(kMatchCacheEntries, sizeof(uint32_t), 32);
        block.colorTable = NewDynamicArray(0, sizeof(ColorTableEntry), 16);
        for (uint32_t& entry : Cache()) entry = kEmptyMatch;
        for (const ColorTableEntry& e : entries) block.colorTable->Append(&e);
    }
    ~MatchBlock()
    {
        block.matchCache->Destroy();
        block.colorTable->Destroy();
    }
    struct CacheView {
        uint32_t* first;
        uint32_t* begin() const { return first; }
        uint32_t* end() const { return first + kMatchCacheEntries; }
    };
    CacheView Cache() const { return {block.matchCache->Elements<uint32_t>()}; }

    ColorMatchBlock block;
};

}  // namespace

TEST(ColorMatch, FourPicksCarryTheRemainingError)
{
    MatchBlock match({{0, 0, 0, 0}, {255, 255, 255, 1}, {255, 0, 0, 2}, {128, 128, 128, 3}});
    // Target 64: black and the grey are equally far (first wins), the error of 64 then asks
    // for 128, which the grey gives exactly, and so on.
    EXPECT_EQ(MatchColorDithered(match.block, {0x4000, 0x4000, 0x4000}), 0x00030003u);
    // Red is far from everything but red itself.
    EXPECT_EQ(MatchColorDithered(match.block, {0xFFFF, 0, 0}), 0x02020202u);
    EXPECT_EQ(MatchColorDithered(match.block, {0xFFFF, 0xFFFF, 0xFFFF}), 0x01010101u);
}

TEST(ColorMatch, ColoursOfOneQuantisationStepShareTheCache)
{
    MatchBlock match({{0, 0, 0, 0}, {128, 128, 128, 3}});
    const uint32_t first = MatchColorDithered(match.block, {0x4000, 0x4000, 0x4000});
    const int32_t slot = 4 * 289 + 4 * 17 + 4;
    EXPECT_EQ(match.block.matchCache->Elements<uint32_t>()[slot], first);
    // Change the table: a colour of the same step still answers from the cache ...
    match.block.colorTable->At<ColorTableEntry>(1)->pixel = 9;
    EXPECT_EQ(MatchColorDithered(match.block, {0x4300, 0x3800, 0x4700}), first);
    // ... one of the next step does not.
    EXPECT_EQ(MatchColorDithered(match.block, {0x4800, 0x4000, 0x4000}) >> 24, 9u);
}

TEST(ColorMatch, EmptyTableMatchesNothing)
{
    MatchBlock match({});
    EXPECT_EQ(MatchColorDithered(match.block, {0x4000, 0x4000, 0x4000}), 0u);
    EXPECT_EQ(match.block.matchCache->Elements<uint32_t>()[4 * 289 + 4 * 17 + 4], kEmptyMatch);
}

TEST(ColorMatch, TrueColourUsesThePublishedChannelTables)
{
    ColorMatchBlock none;
    EXPECT_EQ(MatchColorDithered(none, {0xFFFF, 0xFFFF, 0xFFFF}), 0u);
    uint32_t red[256], green[256], blue[256];
    for (uint32_t v = 0; v < 256; ++v) {
        red[v] = v << 16;
        green[v] = v << 8;
        blue[v] = v;
    }
    PublishedRaster.redTable = red;
    PublishedRaster.greenTable = green;
    PublishedRaster.blueTable = blue;
    EXPECT_EQ(MatchColorDithered(none, {0x12FF, 0x3400, 0x56AA}), 0x123456u);
    EXPECT_EQ(TrueColorPixel({0xFFFF, 0, 0x0100}), 0xFF0001u);
    PublishedRaster = RasterGlobals();
}

TEST(ColorMatch, DitherPatternPacksTwoRowsPerDepth)
{
    const uint32_t picks = 0x01020304;  // p1 = 1, p2 = 2, p3 = 3, p4 = 4
    EXPECT_EQ(PackDitherPattern(picks, 8), 0x02010304u);
    EXPECT_EQ(PackDitherPattern(picks, 4), 0x21213434u);
    EXPECT_EQ(PackDitherPattern(picks, 2), 0x9999CCCCu);
    EXPECT_EQ(PackDitherPattern(picks, 1), 0x5555AAAAu);
    EXPECT_EQ(PackDitherPattern(picks, 16), picks);
    EXPECT_EQ(PackDitherPattern(picks, 32), picks);
}

TEST(ColorMatch, FillPatternRepeatsOnePick)
{
    EXPECT_EQ(PackFillPattern(0x01020304, 8), 0x01010101u);
    EXPECT_EQ(PackFillPattern(0x1F020304, 4), 0xFFFFFFFFu);
    EXPECT_EQ(PackFillPattern(0x01020304, 4), 0x11111111u);
    EXPECT_EQ(PackFillPattern(0x02020304, 2), 0xAAAAAAAAu);
    // One bit per pixel takes the second pick.
    EXPECT_EQ(PackFillPattern(0x01020304, 1), 0u);
    EXPECT_EQ(PackFillPattern(0x00030000, 1), 0xFFFFFFFFu);
    EXPECT_EQ(PackFillPattern(0x01020304, 24), 0x01020304u);
}
