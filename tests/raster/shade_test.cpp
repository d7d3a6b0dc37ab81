// Shaded spans and polygons in every pixel format against a per-pixel reference built from the
// dither tables and the shade tables; intensity clamping, the ramp guards, half-tone shading and
// the frame rules of the shaded routines.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "raster/raster_polygon.h"
#include "raster_surface.h"
#include "region_support.h"

using namespace raster;
using rastertest::FakeShadeTables;
using rastertest::RectRegion;
using rastertest::Random;
using rastertest::Surface;

namespace {

template <class F>
constexpr bool kIndexedFormat = std::is_same_v<F, Packed4> || std::is_same_v<F, Planar4> || std::is_same_v<F, Indexed8>;

// What the reference needs to know of pixel x on row y of the surface.
template <class F>
struct PixelPlace {
    uintptr_t position;  // the jitter and half-tone position
    bool odd;            // reads the odd-pixel table (indexed formats)
};

template <class F>
PixelPlace<F> PlaceOf(const RasterTarget& t, int32_t x, int32_t y)
{
    const uintptr_t row = reinterpret_cast<uintptr_t>(t.rows[y]);
    if constexpr (std::is_same_v<F, Indexed8>) return {row + x, ((row + x) & 1) != 0};
    if constexpr (std::is_same_v<F, Packed4>) return {2 * row + x, (x & 1) != 0};
    if constexpr (std::is_same_v<F, Planar4>) return {uintptr_t(x & 31), (x & 1) != 0};
    if constexpr (std::is_same_v<F, Direct16>) return {(row + 2 * x) / 2, false};
    if constexpr (std::is_same_v<F, Direct24>) return {row + 3 * x, false};
    if constexpr (std::is_same_v<F, Direct32>) return {(row + 4 * x) / 4, false};
}

// The jitter a pixel adds: the half-tone spans and the indexed formats read the jitter table's
// row (y >> 1) & 7; the plain direct-colour spans read matrix row y & 7, then row y + 1.
template <class F>
uint32_t JitterOf(uint32_t position, int32_t y, bool halftone)
{
    const uint32_t k = position & 15;
    if (kIndexedFormat<F> || halftone) return DitherJitterTable[(y >> 1) & 7][k];
    return k < 8 ? DitherMatrixTable[y & 7][k] : DitherMatrixTable[(y + 1) & 7][k - 8];
}

// The pixel value that level `level` of ramp byte b gives this pixel.
template <class F>
uint32_t ShadeValue(int32_t level, int32_t b, int32_t y, bool odd, bool halftone)
{
    level = std::clamp(level, 0, kShadeLevelCount - 1);
    b = std::clamp(b, 0, kColorCubeSize - 1);
    const int32_t table = halftone || (y & 1) ? (odd ? 0 : 1) : (odd ? 2 : 3);
    if constexpr (std::is_same_v<F, Indexed8>) return FakeShadeTables::Pick8(level, table, b);
    if constexpr (std::is_same_v<F, Packed4> || std::is_same_v<F, Planar4>) return FakeShadeTables::Pick4(level, table, b);
    if constexpr (std::is_same_v<F, Direct16>) return FakeShadeTables::Pixel16(level, b);
    if constexpr (std::is_same_v<F, Direct24>) return FakeShadeTables::Pixel24(level, b) & 0xFFFFFF;
    if constexpr (std::is_same_v<F, Direct32>) return FakeShadeTables::Pixel32(level, b);
}

template <class F>
uint32_t ReferencePixel(const RasterTarget& t, int32_t x, int32_t y, uint32_t v, int32_t b, bool halftone)
{
    const PixelPlace<F> place = PlaceOf<F>(t, x, y);
    const int32_t level = int32_t(v + JitterOf<F>(uint32_t(place.position), y, halftone)) >> 16;
    return ShadeValue<F>(level, b, y, place.odd, halftone);
}

// Whether a half-tone shaded span writes this pixel: its position parity (its index parity in the
// packed formats) equals the row's parity.
template <class F>
bool ShadedHalftoneWrites(const RasterTarget& t, int32_t x, int32_t y)
{
    const uintptr_t parity = kIndexedFormat<F> && !std::is_same_v<F, Indexed8> ? uintptr_t(x) : PlaceOf<F>(t, x, y).position;
    return int32_t(parity & 1) == (y & 1);
}

template <class F>
class ShadeFormats : public ::testing::Test {};
using AllFormats = ::testing::Types<Packed4, Planar4, Indexed8, Direct16, Direct24, Direct32>;
TYPED_TEST_SUITE(ShadeFormats, AllFormats);

}  // namespace

TYPED_TEST(ShadeFormats, SpansMatchTheDitherAndRampReference)
{
    using F = TypeParam;
    FakeShadeTables tables;
    Random random{777};
    constexpr int32_t kWidth = 80, kHeight = 16;
    for (int32_t trial = 0; trial < 400; ++trial) {
        Surface<F> s(kWidth, kHeight);
        for (size_t i = 0; i < s.Bytes(); ++i) s.Base()[i] = uint8_t(random.Next());
        Surface<F> before(kWidth, kHeight);
        std::memcpy(before.Base(), s.Base(), s.Bytes());

        const int32_t y = random.Below(kHeight);
        const int32_t x = random.Below(kWidth);
        const int32_t count = 1 + random.Below(kWidth - x);
        const int32_t skip = random.Below(5);
        const int32_t length = count + skip + random.Below(4);
        const Fixed left = Fixed(random.Next() % 0x200000);
        const Fixed right = Fixed(random.Next() % 0x200000);
        const int32_t rampByte = random.Below(216);
        const bool halftone = random.Below(3) == 0;
        typename F::Ramps ramps;
        F::BuildRamps(ramps, tables.Levels(), rampByte);
        const PixelSpan span = ShadedSpanOn(s.Target(), y, x, count, length, skip, left, right);
        if (halftone)
            F::template ShadeSpan<true>(span, ramps);
        else
            F::template ShadeSpan<false>(span, ramps);

        const uint32_t step = uint32_t(FixDiv(right - left, IntToFixed(length)));
        for (int32_t py = 0; py < kHeight; ++py)
            for (int32_t px = 0; px < kWidth; ++px) {
                const bool inSpan = py == y && px >= x && px < x + count &&
                                    (!halftone || ShadedHalftoneWrites<F>(s.Target(), px, py));
                const uint32_t v = uint32_t(left) + uint32_t(skip + px - x) * step;
                const uint32_t expected =
                    inSpan ? ReferencePixel<F>(s.Target(), px, py, v, rampByte, halftone) : before.Pixel(px, py);
                ASSERT_EQ(s.Pixel(px, py), expected) << "trial " << trial << " pixel " << px << "," << py;
            }
        ASSERT_TRUE(s.GuardsIntact());
    }
}

TYPED_TEST(ShadeFormats, ConstantIntensityPolygonMatchesTheReferenceEverywhere)
{
    using F = TypeParam;
    FakeShadeTables tables;
    auto region = RectRegion(0, 0, 64, 40);
    const DevicePoint points[4] = {{3, 2}, {60, 9}, {40, 37}, {5, 30}};
    for (const Fixed intensity : {0, 0x0C4CCC, IntToFixed(31), 0x1F8000}) {
        for (int32_t pattern : {0, 1}) {
            Surface<F> s(64, 40);
            Fixed values[4] = {intensity, intensity, intensity, intensity};
            ASSERT_EQ(ShadePolygonClippedOn<F>(s.Target(), points, values, 4, tables.Levels(), 17, 0, region.get(),
                                               kOptionFill, pattern),
                      1);
            Surface<F> flat(64, 40);
            FillPolygonClippedOn<F>(flat.Target(), points, 4, 0xFFFFFFFF, 0, region.get(), kOptionFill, 0);
            const Fixed clamped = ClampPointIntensity(intensity);
            int32_t drawn = 0;
            for (int32_t y = 0; y < 40; ++y)
                for (int32_t x = 0; x < 64; ++x) {
                    const bool covered = flat.Pixel(x, y) != 0 &&
                                         (pattern == 0 || ShadedHalftoneWrites<F>(s.Target(), x, y));
                    const uint32_t expected =
                        covered ? ReferencePixel<F>(s.Target(), x, y, uint32_t(clamped), 17, pattern != 0) : 0;
                    ASSERT_EQ(s.Pixel(x, y), expected) << x << "," << y << " intensity " << intensity;
                    drawn += covered;
                }
            EXPECT_GT(drawn, 300);
        }
    }
}

TEST(ShadePolygon, IntensityFollowsTheEdgesDownTheFace)
{
    FakeShadeTables tables;
    auto region = RectRegion(0, 0, 64, 64);
    const DevicePoint points[4] = {{4, 0}, {60, 0}, {60, 62}, {4, 62}};
    Fixed values[4] = {0, 0, IntToFixed(31), IntToFixed(31)};
    Surface<Direct32> s(64, 64);
    ASSERT_EQ(ShadePolygonClippedOn<Direct32>(s.Target(), points, values, 4, tables.Levels(), 3, 0, region.get(),
                                              kOptionFill, 0),
              1);
    for (int32_t y = 0; y < 62; ++y) {
        const double v = 31.0 * (y + 0.5) / 62;
        for (int32_t x = 4; x < 60; ++x) {
            const int32_t level = int32_t((s.Pixel(x, y) >> 16) & 0xFF);
            EXPECT_GE(level, int32_t(std::floor(v)) - 0) << x << "," << y;
            EXPECT_LE(level, std::min(31, int32_t(std::floor(v)) + 1)) << x << "," << y;
        }
    }
}

TEST(ShadePolygon, PointValuesAreClampedInPlace)
{
    FakeShadeTables tables;
    auto region = RectRegion(0, 0, 64, 40);
    const DevicePoint points[3] = {{5, 5}, {50, 10}, {20, 35}};
    Fixed values[3] = {IntToFixed(-5), IntToFixed(40), IntToFixed(3)};
    Surface<Direct16> s(64, 40);
    ShadePolygonClippedOn<Direct16>(s.Target(), points, values, 3, tables.Levels(), 0, 0, region.get(), kOptionFill, 0);
    EXPECT_EQ(values[0], 0);
    EXPECT_EQ(values[1], IntToFixed(31));
    EXPECT_EQ(values[2], IntToFixed(3));

    // All values at 40.0 shade the whole face with level 31.
    Fixed bright[3] = {IntToFixed(40), IntToFixed(40), IntToFixed(40)};
    Surface<Direct16> t(64, 40);
    ShadePolygonClippedOn<Direct16>(t.Target(), points, bright, 3, tables.Levels(), 9, 0, region.get(), kOptionFill, 0);
    int32_t drawn = 0;
    for (int32_t y = 0; y < 40; ++y) {
        for (int32_t x = 0; x < 64; ++x) {
            if (t.Pixel(x, y) == 0) continue;
            ASSERT_EQ(t.Pixel(x, y), FakeShadeTables::Pixel16(31, 9));
            ++drawn;
        }
    }
    EXPECT_GT(drawn, 400);
}

TEST(ShadeSpanDirect, TopIntensityWithTheLargestJitterReadsTheUpperGuard)
{
    FakeShadeTables tables;
    Direct16::Ramps ramps;
    Direct16::BuildRamps(ramps, tables.Levels(), 4);
    // Row 7's window holds the largest jitter (63/64 of a level): 31.5 plus it reaches level 32.
    Surface<Direct16> s(16, 8);
    ShadeSpanDirect<2>(ShadedSpanOn(s.Target(), 7, 0, 16, 16, 0, 0x1F8000, 0x1F8000), ramps.ramp.Levels());
    for (int32_t x = 0; x < 16; ++x) EXPECT_EQ(s.Pixel(x, 7), FakeShadeTables::Pixel16(31, 4)) << x;
    // Just above 10.0 every jitter below one level keeps the pixels at level 10.
    ShadeSpanDirect<2>(ShadedSpanOn(s.Target(), 7, 0, 16, 16, 0, 0x0A0001, 0x0A0001), ramps.ramp.Levels());
    for (int32_t x = 0; x < 16; ++x) EXPECT_EQ(s.Pixel(x, 7), FakeShadeTables::Pixel16(10, 4)) << x;
}

TEST(ShadeSpan8, NeighbouringPixelsShareAJitterButNotATable)
{
    FakeShadeTables tables;
    Indexed8::Ramps ramps;
    Indexed8::BuildRamps(ramps, tables.Levels(), 30);
    Surface<Indexed8> s(16, 2);
    ShadeSpan8(ShadedSpanOn(s.Target(), 0, 0, 16, 16, 0, IntToFixed(12), IntToFixed(12)), ramps);
    // At exactly 12.0 a jitter below one level keeps every pixel at level 12; even addresses read
    // table 3 on even rows, odd addresses table 2.
    for (int32_t x = 0; x < 16; x += 2) {
        EXPECT_EQ(s.Pixel(x, 0), FakeShadeTables::Pick8(12, 3, 30));
        EXPECT_EQ(s.Pixel(x + 1, 0), FakeShadeTables::Pick8(12, 2, 30));
    }
    // Just below 13.0 the pair at addresses 2k and 2k + 1 moves up a level together.
    ShadeSpan8(ShadedSpanOn(s.Target(), 1, 0, 16, 16, 0, IntToFixed(13) - 0x800, IntToFixed(13) - 0x800), ramps);
    for (int32_t x = 0; x < 16; x += 2) {
        const int32_t level = DitherJitterTable[0][x] >= 0x800 ? 13 : 12;
        EXPECT_EQ(s.Pixel(x, 1), FakeShadeTables::Pick8(level, 1, 30)) << x;
        EXPECT_EQ(s.Pixel(x + 1, 1), FakeShadeTables::Pick8(level, 0, 30)) << x;
    }
}

TEST(ShadePolygon, FrameOnlyWithoutFillAndNoFrameAfterAFill)
{
    FakeShadeTables tables;
    auto region = RectRegion(0, 0, 64, 40);
    const DevicePoint points[3] = {{5, 5}, {50, 10}, {20, 35}};
    constexpr uint32_t kFrame = 0x00ABCDEF;
    Fixed values[3] = {IntToFixed(4), IntToFixed(4), IntToFixed(4)};
    Surface<Direct32> outline(64, 40);
    EXPECT_EQ(ShadePolygonClippedOn<Direct32>(outline.Target(), points, values, 3, tables.Levels(), 1, kFrame,
                                              region.get(), kOptionFrame, 0),
              1);
    EXPECT_EQ(outline.Pixel(5, 5), kFrame);
    EXPECT_EQ(outline.Pixel(25, 15), 0u);

    Surface<Direct32> filled(64, 40);
    EXPECT_EQ(ShadePolygonClippedOn<Direct32>(filled.Target(), points, values, 3, tables.Levels(), 1, kFrame,
                                              region.get(), kOptionFill | kOptionFrame, 0),
              1);
    for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 0; x < 64; ++x) ASSERT_NE(filled.Pixel(x, y), kFrame);
    EXPECT_NE(filled.Pixel(25, 15), 0u);

    Surface<Direct32> none(64, 40);
    EXPECT_EQ(ShadePolygonClippedOn<Direct32>(none.Target(), points, values, 3, tables.Levels(), 1, kFrame,
                                              region.get(), 0, 0),
              0);
    EXPECT_EQ(ShadePolygonClippedOn<Direct32>(none.Target(), points, values, 3, nullptr, 1, kFrame, region.get(),
                                              kOptionFill, 0),
              1);  // without shade tables nothing can be drawn
    for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 0; x < 64; ++x) ASSERT_EQ(none.Pixel(x, y), 0u);
}

TEST(ShadePolygon, UnclippedRoutineClipsToItsBoundsAndSaysWhenItDrew)
{
    FakeShadeTables tables;
    const DevicePoint points[3] = {{-20, 5}, {90, 10}, {20, 60}};
    Fixed values[3] = {IntToFixed(4), IntToFixed(20), IntToFixed(30)};
    Surface<Indexed8> s(64, 40);
    EXPECT_EQ(ShadePolygonOn<Indexed8>(s.Target(), {0, 0, 64, 40}, points, values, 3, tables.Levels(), 2, 0,
                                       kOptionFill, 0),
              1);
    EXPECT_NE(s.Pixel(30, 20), 0u);
    EXPECT_NE(s.Pixel(0, 12), 0u);
    EXPECT_TRUE(s.GuardsIntact());
    EXPECT_EQ(ShadePolygonOn<Indexed8>(s.Target(), {0, 0, 64, 40}, points, values, 3, tables.Levels(), 2, 0, 0, 0), 0);
    const DevicePoint flat[3] = {{5, 9}, {20, 9}, {40, 9}};
    EXPECT_EQ(ShadePolygonOn<Indexed8>(s.Target(), {0, 0, 64, 40}, flat, values, 3, tables.Levels(), 2, 0,
                                       kOptionFill, 0),
              0);
}

TEST(ShadePolygon, RampBytesBeyondTheTablesReadTheLastEntry)
{
    FakeShadeTables tables;
    auto region = RectRegion(0, 0, 32, 32);
    const DevicePoint points[3] = {{2, 2}, {30, 4}, {10, 30}};
    Fixed values[3] = {IntToFixed(6), IntToFixed(6), IntToFixed(6)};
    Surface<Direct32> s(32, 32);
    ShadePolygonClippedOn<Direct32>(s.Target(), points, values, 3, tables.Levels(), 300, 0, region.get(),
                                    kOptionFill, 0);
    EXPECT_EQ(s.Pixel(10, 10) & 0xFFFF, 215u);
}
