// The rasterizer sets on real offscreens: the set installed by publication draws into the DIB
// section, never beyond the offscreen's bounds into the padding of its rows, with the colours
// matched on the offscreen; shading through the shade tables built for the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "draw/raster_procs.h"
#include "raster/dither_tables.h"
#include "raster/raster_sets.h"
#include "raster/span_region.h"
#include "tests/draw/draw_support.h"
#include "tests/raster/region_support.h"
#include "textures/shade_level_builder.h"

namespace {

constexpr uint8_t kCanary = 0x5A;
const RGBColor48 kRed = {0xFFFF, 0, 0};
const RGBColor48 kBlue = {0, 0, 0xFFFF};

using List = Owned<DynamicArray>;

List Points(std::initializer_list<DevicePoint> points)
{
    List list(NewDynamicArray(0, sizeof(DevicePoint), 8));
    for (const DevicePoint& p : points) list->Append(&p);
    return list;
}

List Values(std::initializer_list<Fixed> values)
{
    List list(NewDynamicArray(0, sizeof(Fixed), 8));
    for (Fixed v : values) list->Append(&v);
    return list;
}

// Fills every byte of the offscreen's bitmap with the canary.
void FillCanary(Q_Offscreen* offscreen)
{
    GdiFlush();
    const PixelFormat& f = offscreen->Format();
    for (int32_t y = 0; y < f.height; ++y) std::memset(f.rowTable[y], kCanary, size_t(f.rowBytes));
}

// The bytes of each row past the pixels of the offscreen's bounds still hold the canary.
bool PaddingIntact(Q_Offscreen* offscreen)
{
    const PixelFormat& f = offscreen->Format();
    PortRect bounds;
    offscreen->GetBounds(&bounds);
    const int32_t firstPadding = (bounds.right * f.bitsPerPixel + 7) / 8;
    for (int32_t y = 0; y < f.height; ++y)
        for (int32_t b = firstPadding; b < f.rowBytes; ++b)
            if (f.rowTable[y][b] != kCanary) return false;
    return true;
}

bool Changed(Q_Offscreen* offscreen, int32_t x, int32_t y)
{
    const PixelFormat& f = offscreen->Format();
    const int32_t bytes = std::max(1, f.bitsPerPixel / 8);
    const uint8_t* p = f.rowTable[y] + x * f.bitsPerPixel / 8;
    for (int32_t i = 0; i < bytes; ++i)
        if (p[i] != kCanary) return true;
    return false;
}

class OffscreenRaster : public testing::TestWithParam<int32_t> {};

// The sets are installed as the programs install them, before any offscreen is made.
class RasterSetsInstalled : public testing::Environment {
public:
    void SetUp() override { InstallRasterSets(); }
    void TearDown() override { InstallRasterSetChoice(nullptr); }
};
testing::Environment* const kRasterSets = testing::AddGlobalTestEnvironment(new RasterSetsInstalled);

}  // namespace

TEST(RasterSetChoice, PlanesTimesBitsChoosesTheSet)
{
    EXPECT_EQ(RasterSetFor(4, 1), &RasterSetPlanar);
    EXPECT_EQ(RasterSetFor(1, 4), &RasterSet4);
    EXPECT_EQ(RasterSetFor(1, 8), &RasterSet8);
    EXPECT_EQ(RasterSetFor(2, 4), &RasterSet8);  // only the product counts beyond 4 bits
    EXPECT_EQ(RasterSetFor(1, 16), &RasterSet16);
    EXPECT_EQ(RasterSetFor(1, 24), &RasterSet24);
    EXPECT_EQ(RasterSetFor(1, 32), &RasterSet32);
    EXPECT_EQ(RasterSetFor(1, 1), nullptr);
    EXPECT_EQ(RasterSetFor(1, 2), nullptr);
    EXPECT_EQ(RasterSetFor(2, 1), nullptr);
    EXPECT_EQ(RasterSetPlanar.FillPolygon, &FillPolygonPlanar);
    EXPECT_EQ(RasterSet8.ShadePolygonClipped, &ShadePolygonClipped8);
    EXPECT_EQ(RasterSet32.FillPolygonClipped, &FillPolygonClipped32);
}

TEST(RasterSetChoice, PublicationInstallsTheSetOfTheOffscreensFormat)
{
    struct Case {
        int32_t screen;
        int32_t requested;
        const RasterProcSet* set;
    };
    for (const Case& c : {Case{4, 4, &RasterSet4}, Case{8, 8, &RasterSet8}, Case{16, 0, &RasterSet16},
                          Case{24, 0, &RasterSet24}, Case{32, 0, &RasterSet32}}) {
        TestScreen screen(c.screen);
        RasterProcs = {};
        auto offscreen = MakeOffscreen(8, 8, c.requested);
        EXPECT_EQ(offscreen->HasRasterizers(), 1) << c.screen;
        EXPECT_EQ(RasterProcs.FillPolygon, c.set->FillPolygon) << c.screen;
        EXPECT_EQ(RasterProcs.ShadePolygonClipped, c.set->ShadePolygonClipped) << c.screen;
    }
    // A 1-bit offscreen chooses nothing and leaves the installed set alone.
    TestScreen screen(8);
    RasterProcs = RasterSet16;
    auto mono = MakeOffscreen(8, 8, 1);
    EXPECT_EQ(mono->HasRasterizers(), 0);
    EXPECT_EQ(RasterProcs.FillPolygon, RasterSet16.FillPolygon);
}

TEST_P(OffscreenRaster, PublishedSetDrawsInsideTheBoundsOnly)
{
    const int32_t depth = GetParam();
    TestScreen screen(depth);
    BuildShadeLevelTables();
    ASSERT_NE(ShadeLevelScreenSet, nullptr);
    auto offscreen = MakeOffscreen(40, 20, depth);
    ASSERT_EQ(offscreen->Format().bitsPerPixel, depth);
    ASSERT_GT(offscreen->Format().width, 40);  // padded rows
    FillCanary(offscreen.get());
    IgnoreResult(offscreen->Lock());
    ASSERT_NE(RasterProcs.FillPolygon, nullptr);

    auto triangle = Points({{-10, -10}, {70, 5}, {20, 45}});
    EXPECT_EQ(RasterProcs.FillPolygon(offscreen.get(), triangle.get(), &kRed, &kBlue, 12, 0), 1);
    EXPECT_TRUE(Changed(offscreen.get(), 20, 10));
    EXPECT_TRUE(Changed(offscreen.get(), 39, 6));

    auto whole = rastertest::WholeRegion();
    rastertest::RegionPtr region(whole->SpanRegionFromRect(0, 0, 40, 20));
    ASSERT_TRUE(region);
    auto wide = Points({{-100, -50}, {300, 2}, {150, 400}});
    EXPECT_EQ(RasterProcs.FillPolygonClipped(offscreen.get(), wide.get(), &kBlue, &kRed, region.get(), 12, 1), 1);
    auto values = Values({IntToFixed(3), IntToFixed(40), IntToFixed(-2)});
    EXPECT_EQ(RasterProcs.ShadePolygonClipped(offscreen.get(), wide.get(), values.get(), 100, &kRed, region.get(), 8, 0),
              1);
    EXPECT_EQ(RasterProcs.ShadePolygon(offscreen.get(), wide.get(), values.get(), 100, &kRed, 8, 1), 1);
    EXPECT_EQ(RasterProcs.ShadePolygon(offscreen.get(), wide.get(), values.get(), 100, &kRed, 4, 0), 1);
    offscreen->Unlock();
    GdiFlush();
    EXPECT_TRUE(PaddingIntact(offscreen.get()));
    FreeShadeLevelTables();
}

INSTANTIATE_TEST_SUITE_P(EveryDirectFormat, OffscreenRaster, testing::Values(4, 8, 16, 24, 32),
                         [](const testing::TestParamInfo<int32_t>& info) {
                             return "Depth" + std::to_string(info.param);
                         });

TEST(OffscreenRaster, FlatFillTakesTheOffscreensColourWord)
{
    TestScreen screen(32);
    auto offscreen = MakeOffscreen(16, 8, 32);
    IgnoreResult(offscreen->Lock());
    auto square = Points({{2, 2}, {10, 2}, {10, 6}, {2, 6}});
    EXPECT_EQ(RasterProcs.FillPolygon(offscreen.get(), square.get(), &kRed, &kBlue, 8, 0), 1);
    const uint32_t red = offscreen->ColorToPixel(kRed);
    offscreen->Unlock();
    EXPECT_EQ(Pixel32(offscreen.get(), 2, 2), red & 0xFFFFFF);
    EXPECT_EQ(Pixel32(offscreen.get(), 9, 5), red & 0xFFFFFF);
    EXPECT_EQ(Pixel32(offscreen.get(), 10, 5), 0u);
    EXPECT_EQ(Pixel32(offscreen.get(), 9, 6), 0u);
}

TEST(OffscreenRaster, ShadingReadsTheScreenSetOfTheShadeTables)
{
    TestScreen screen(32);
    BuildShadeLevelTables();
    auto offscreen = MakeOffscreen(16, 8, 32);
    IgnoreResult(offscreen->Lock());
    auto square = Points({{0, 0}, {16, 0}, {16, 8}, {0, 8}});
    auto values = Values({IntToFixed(10), IntToFixed(10), IntToFixed(10), IntToFixed(10)});
    EXPECT_EQ(ShadePolygon32(offscreen.get(), square.get(), values.get(), 29, nullptr, 8, 0), 1);
    offscreen->Unlock();
    const uint32_t level10 = ShadeLevelScreenSet[10].Pixels32[29] & 0xFFFFFF;
    const uint32_t level11 = ShadeLevelScreenSet[11].Pixels32[29] & 0xFFFFFF;
    ASSERT_NE(level10, level11);
    int32_t upper = 0;
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 16; ++x) {
            const uint32_t pixel = Pixel32(offscreen.get(), x, y);
            ASSERT_TRUE(pixel == level10 || pixel == level11) << x << "," << y;
            upper += pixel == level11;
        }
    EXPECT_EQ(upper, 0);  // at exactly 10.0 no jitter reaches the next level
    FreeShadeLevelTables();
}

TEST(OffscreenRaster, RefusesMismatchedFormatsAndShortValueLists)
{
    TestScreen screen(32);
    BuildShadeLevelTables();
    auto offscreen = MakeOffscreen(16, 8, 32);
    IgnoreResult(offscreen->Lock());
    auto square = Points({{0, 0}, {16, 0}, {16, 8}, {0, 8}});
    auto values = Values({IntToFixed(10), IntToFixed(10)});
    EXPECT_EQ(ShadePolygon32(offscreen.get(), square.get(), values.get(), 29, nullptr, 8, 0), 0);
    EXPECT_EQ(FillPolygon8(offscreen.get(), square.get(), &kRed, &kRed, 8, 0), 0);  // 8-bit set, 32-bit pixels
    EXPECT_EQ(FillPolygon32(offscreen.get(), nullptr, &kRed, &kRed, 8, 0), 0);
    offscreen->Unlock();
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 16; ++x) ASSERT_EQ(Pixel32(offscreen.get(), x, y), 0u);
    FreeShadeLevelTables();
}

TEST(OffscreenRaster, LinesOfEverySetDrawOnTheirOwnFormat)
{
    TestScreen screen(32);
    auto offscreen = MakeOffscreen(16, 8, 32);
    IgnoreResult(offscreen->Lock());
    DrawLine32(offscreen.get(), 0, 3, 12, 3, &kBlue);
    DrawLine8(offscreen.get(), 0, 5, 12, 5, &kBlue);  // not this format: nothing
    auto region = rastertest::RectRegion(0, 0, 16, 8);
    DrawLineClipped32(offscreen.get(), 4, -20, 4, 20, &kRed, region.get());
    const uint32_t blue = offscreen->ColorToPixel(kBlue) & 0xFFFFFF;
    const uint32_t red = offscreen->ColorToPixel(kRed) & 0xFFFFFF;
    offscreen->Unlock();
    EXPECT_EQ(Pixel32(offscreen.get(), 0, 3), blue);
    EXPECT_EQ(Pixel32(offscreen.get(), 11, 3), blue);
    EXPECT_EQ(Pixel32(offscreen.get(), 12, 3), 0u);
    EXPECT_EQ(Pixel32(offscreen.get(), 3, 5), 0u);
    EXPECT_EQ(Pixel32(offscreen.get(), 4, 0), red);
    EXPECT_EQ(Pixel32(offscreen.get(), 4, 7), red);
}

TEST(DitherTables, PaletteProbeIsMadeOnce)
{
    TestScreen screen(8);
    InitDitherTables();
    Q_Offscreen* probe = PaletteProbe();
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(BoundsSize(probe), std::make_pair(1, 1));
    EXPECT_EQ(probe->PortDepthField(), 8);
    InitDitherTables();
    EXPECT_EQ(PaletteProbe(), probe);
    FreeDitherTables();
    EXPECT_EQ(PaletteProbe(), nullptr);
}
