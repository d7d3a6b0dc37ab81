// Span fills and line pixels of every pixel format: exact bytes at the word edges, keep masks that
// leave neighbouring pixels alone, the half-tone pixel rules, and the line DDA.
#include <gtest/gtest.h>

#include <vector>

#include "raster/raster_polygon.h"
#include "raster_surface.h"

using namespace raster;
using rastertest::Random;
using rastertest::Surface;

namespace {

std::vector<uint8_t> Bytes(const uint8_t* p, size_t n) { return std::vector<uint8_t>(p, p + n); }

}  // namespace

TEST(PixelSpan, DevicePointsGoThroughTheOriginsAndShadedSpansStartAfterTheirSkip)
{
    Surface<Indexed8> s(32, 8);
    s.Target().originX = 5;
    s.Target().originY = 2;
    const PixelSpan plain = SpanOn(s.Target(), 3, -4, 9);
    EXPECT_EQ(plain.row, s.Target().rows[5]);
    EXPECT_EQ(plain.column, 1);
    EXPECT_EQ(plain.y, 3);  // the device row decides the parity and the dither rows
    EXPECT_EQ(plain.count, 9);
    // Falling from 20.0 to 10.0 over 3 pixels: the step truncates towards zero, and a span whose
    // first 2 pixels are cut off starts 2 steps in.
    const PixelSpan shaded = ShadedSpanOn(s.Target(), -1, 0, 1, 3, 2, IntToFixed(20), IntToFixed(10));
    EXPECT_EQ(shaded.row, s.Target().rows[1]);
    EXPECT_EQ(int32_t(shaded.step), -0x35555);
    EXPECT_EQ(shaded.intensity, uint32_t(IntToFixed(20) - 2 * 0x35555));
    EXPECT_EQ(shaded.Parity(), 1);
}

TEST(FillSpan8, EdgeWordsGoThroughTheKeepMasks)
{
    Surface<Indexed8> s(16, 2, 0x11);
    const uint32_t pattern[2] = {0xAABBCCDD, 0x01020304};
    FillSpan8<false>(SpanOn(s.Target(), 0, 3, 1), pattern);  // one pixel at index 3: the top byte only
    EXPECT_EQ(Bytes(s.Base(), 8), (std::vector<uint8_t>{0x11, 0x11, 0x11, 0xAA, 0x11, 0x11, 0x11, 0x11}));
    FillSpan8<false>(SpanOn(s.Target(), 1, 5, 6), pattern);  // pixels 5 to 10 of row 1 from the odd-row word
    EXPECT_EQ(Bytes(s.Target().rows[1] + 4, 8),
              (std::vector<uint8_t>{0x11, 0x03, 0x02, 0x01, 0x04, 0x03, 0x02, 0x11}));
}

TEST(FillSpan8, HalftoneWritesEvenPixelsOnEvenRowsAndOddPixelsOnOddRows)
{
    Surface<Indexed8> s(8, 2, 0x11);
    const uint32_t pattern[2] = {0x44444444, 0x55555555};
    FillSpan8<true>(SpanOn(s.Target(), 0, 0, 8), pattern);
    FillSpan8<true>(SpanOn(s.Target(), 1, 0, 8), pattern);
    EXPECT_EQ(Bytes(s.Target().rows[0], 8), (std::vector<uint8_t>{0x44, 0x11, 0x44, 0x11, 0x44, 0x11, 0x44, 0x11}));
    EXPECT_EQ(Bytes(s.Target().rows[1], 8), (std::vector<uint8_t>{0x11, 0x55, 0x11, 0x55, 0x11, 0x55, 0x11, 0x55}));
}

TEST(FillSpan16, OnePixelAtIndexOneIsTheHighHalf)
{
    Surface<Direct16> s(8, 1, 0x00);
    const uint32_t pattern[2] = {0xBBBBAAAA, 0};
    FillSpan16<false>(SpanOn(s.Target(), 0, 1, 1), pattern);
    EXPECT_EQ(Bytes(s.Base(), 8), (std::vector<uint8_t>{0, 0, 0xBB, 0xBB, 0, 0, 0, 0}));
    FillSpan16<false>(SpanOn(s.Target(), 0, 3, 2), pattern);  // high half of one word, low half of the next
    EXPECT_EQ(Bytes(s.Base() + 4, 12), (std::vector<uint8_t>{0, 0, 0xBB, 0xBB, 0xAA, 0xAA, 0, 0, 0, 0, 0, 0}));
}

TEST(FillSpan4, OnePixelAtIndexSevenAndAWholeWord)
{
    Surface<Packed4> s(16, 1, 0x00);
    const uint32_t pattern[2] = {0x87654321, 0};
    FillSpan4<false>(SpanOn(s.Target(), 0, 7, 1), pattern);  // the low nibble of the top byte
    EXPECT_EQ(Bytes(s.Base(), 4), (std::vector<uint8_t>{0, 0, 0, 0x07}));
    FillSpan4<false>(SpanOn(s.Target(), 0, 8, 8), pattern);
    EXPECT_EQ(Bytes(s.Base() + 4, 4), (std::vector<uint8_t>{0x21, 0x43, 0x65, 0x87}));
}

TEST(FillSpanPlanar, PixelsZeroToSevenAreTheLowestByteOfEveryPlane)
{
    Surface<Planar4> s(32, 1, 0x00);
    const raster::Planar4::Flat flat = Planar4::MakeFlat(0x99999999);  // colour 9 everywhere: planes 0 and 3
    const int32_t planeBytes = s.Target().rowBytes;
    FillSpanPlanar<false>(SpanOn(s.Target(), 0, 0, 8), flat.pattern);
    for (int32_t k = 0; k < 4; ++k) {
        const uint32_t word = Load32(s.Base() + k * planeBytes);
        EXPECT_EQ(word, (k == 0 || k == 3) ? 0x000000FFu : 0u) << "plane " << k;
    }
    EXPECT_EQ(s.Pixel(7, 0), 9u);
    EXPECT_EQ(s.Pixel(8, 0), 0u);
}

TEST(FillSpanDirect, HalftoneSpanAtAnOddAddressOnAnEvenRowSkipsItsFirstPixel)
{
    Surface<Direct24> s(8, 1, 0x00);
    const uint32_t pixel = 0x00332211;
    Direct24::FillSpan<true>(SpanOn(s.Target(), 0, 1, 4), {pixel});
    EXPECT_EQ(s.Pixel(1, 0), 0u);
    EXPECT_EQ(s.Pixel(2, 0), 0x332211u);
    EXPECT_EQ(s.Pixel(3, 0), 0u);
    EXPECT_EQ(s.Pixel(4, 0), 0x332211u);
    EXPECT_EQ(s.Pixel(5, 0), 0u);
}

// Every format: random spans over random pixels, short and long, change exactly the pixels of the span (only the
// half-tone pixels when half-toned), each to the pattern's value for its position.
template <class F>
class SpanKeepMasks : public ::testing::Test {};
using AllFormats = ::testing::Types<Packed4, Planar4, Indexed8, Direct16, Direct24, Direct32>;
TYPED_TEST_SUITE(SpanKeepMasks, AllFormats);

template <class F>
uint32_t PatternPixel(const typename F::Flat& flat, int32_t x, int32_t parity)
{
    if constexpr (std::is_same_v<F, Indexed8>) return (flat.pattern[parity] >> (8 * (x & 3))) & 0xFF;
    if constexpr (std::is_same_v<F, Packed4>) return (flat.pattern[parity] >> Layout4::PixelShift(x & 7)) & 0xF;
    if constexpr (std::is_same_v<F, Planar4>) {
        uint32_t c = 0;
        for (int32_t k = 0; k < 4; ++k) c |= ((flat.pattern[2 * k + parity] >> LayoutPlanar::PixelShift(x & 31)) & 1) << k;
        return c;
    }
    if constexpr (std::is_same_v<F, Direct16>) return (flat.pattern[parity] >> (16 * (x & 1))) & 0xFFFF;
    if constexpr (std::is_same_v<F, Direct24>) return flat.pixel & 0xFFFFFF;
    if constexpr (std::is_same_v<F, Direct32>) return flat.pixel;
}

// Whether the half-tone fill writes pixel x on a row of this parity: 4-bit and 4-plane formats
// write the odd pixels on even rows, the others the even pixels.
template <class F>
bool HalftoneWrites(int32_t x, int32_t parity)
{
    const bool inverted = std::is_same_v<F, Packed4> || std::is_same_v<F, Planar4>;
    return ((x & 1) == parity) != inverted;
}

TYPED_TEST(SpanKeepMasks, OnlyTheSpanChanges)
{
    using F = TypeParam;
    constexpr int32_t kWidth = 320, kHeight = 4;  // long enough for whole 16-byte stores in every format
    Random random{12345};
    for (int32_t trial = 0; trial < 300; ++trial) {
        Surface<F> s(kWidth, kHeight);
        for (size_t i = 0; i < s.Bytes(); ++i) s.Base()[i] = uint8_t(random.Next());
        Surface<F> before(kWidth, kHeight);
        std::memcpy(before.Base(), s.Base(), s.Bytes());

        const int32_t y = random.Below(kHeight);
        const int32_t x = random.Below(kWidth);
        const int32_t count = 1 + random.Below(kWidth - x);
        const bool halftone = random.Below(2) == 1;
        const typename F::Flat flat = F::MakeFlat(random.Next() * 2654435761u);
        if (halftone)
            F::template FillSpan<true>(SpanOn(s.Target(), y, x, count), flat);
        else
            F::template FillSpan<false>(SpanOn(s.Target(), y, x, count), flat);

        for (int32_t py = 0; py < kHeight; ++py)
            for (int32_t px = 0; px < kWidth; ++px) {
                const bool inSpan = py == y && px >= x && px < x + count && (!halftone || HalftoneWrites<F>(px, y & 1));
                const uint32_t expected = inSpan ? PatternPixel<F>(flat, px, y & 1) : before.Pixel(px, py);
                ASSERT_EQ(s.Pixel(px, py), expected)
                    << "trial " << trial << " pixel " << px << "," << py << " span " << x << "+" << count;
            }
        ASSERT_TRUE(s.GuardsIntact());
    }
}

TEST(LinePixels, EightBitLinesAreOneIndexNeverDithered)
{
    Surface<Indexed8> s(16, 8);
    DrawLineOn<Indexed8>(s.Target(), 0, 5, 10, 5, Indexed8::MakeLine(0x12345678));
    for (int32_t x = 0; x < 16; ++x) EXPECT_EQ(s.Pixel(x, 5), x < 10 ? 0x34u : 0u) << x;
}

TEST(LinePixels, FourBitLinesAlternateTheirTwoWords)
{
    Surface<Packed4> s(16, 4);
    DrawLineOn<Packed4>(s.Target(), 0, 1, 4, 1, Packed4::MakeLine(0x5A3C0000));
    // A holds the low nibbles of the upper bytes (C, A), B the high nibbles (3, 5).
    EXPECT_EQ(s.Pixel(0, 1), 0xCu);
    EXPECT_EQ(s.Pixel(1, 1), 0x3u);
    EXPECT_EQ(s.Pixel(2, 1), 0xAu);
    EXPECT_EQ(s.Pixel(3, 1), 0x5u);
    EXPECT_EQ(s.Pixel(4, 1), 0u);

    Surface<Planar4> p(16, 4);
    DrawLineOn<Planar4>(p.Target(), 0, 1, 4, 1, Planar4::MakeLine(0x5A3C0000));
    const uint32_t expected[4] = {Packed4::MakeLine(0x5A3C0000).word[0], Packed4::MakeLine(0x5A3C0000).word[1]};
    EXPECT_EQ(p.Pixel(0, 1), (expected[0] >> 12) & 0xF);  // colour of nibble 3 of A's half
    EXPECT_NE(p.Pixel(0, 1), 0u);
    EXPECT_EQ(p.Pixel(4, 1), 0u);
}

TEST(LinePixels, SixteenBitLinesTakeTheHalfOfTheirIndex)
{
    Surface<Direct16> s(8, 2);
    DrawLineOn<Direct16>(s.Target(), 0, 0, 4, 0, Direct16::MakeLine(0xBBBBAAAA));
    EXPECT_EQ(s.Pixel(0, 0), 0xAAAAu);
    EXPECT_EQ(s.Pixel(1, 0), 0xBBBBu);
    EXPECT_EQ(s.Pixel(2, 0), 0xAAAAu);
    EXPECT_EQ(s.Pixel(4, 0), 0u);
}

TEST(LineDDA, MajorAxisRowsAndColumnsEndBeforeTheLastPoint)
{
    auto pixels = [](Fixed x0, Fixed y0, Fixed x1, Fixed y1) {
        std::vector<std::pair<int32_t, int32_t>> out;
        LineDDA(x0, y0, x1, y1, [&](int32_t x, int32_t y, int32_t) { out.push_back({x, y}); });
        return out;
    };
    using P = std::vector<std::pair<int32_t, int32_t>>;
    EXPECT_EQ(pixels(0, 0, IntToFixed(5), IntToFixed(5)), (P{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}));
    EXPECT_EQ(pixels(IntToFixed(2), IntToFixed(3), IntToFixed(2), 0), (P{{2, 0}, {2, 1}, {2, 2}}));
    EXPECT_EQ(pixels(IntToFixed(4), IntToFixed(1), IntToFixed(1), IntToFixed(1)), (P{{3, 1}, {2, 1}, {1, 1}}));
    EXPECT_EQ(pixels(IntToFixed(0), IntToFixed(0), IntToFixed(1), IntToFixed(3)), (P{{0, 0}, {0, 1}, {0, 2}}));
    EXPECT_TRUE(pixels(IntToFixed(3), IntToFixed(3), IntToFixed(3), IntToFixed(3)).empty());
    EXPECT_TRUE(pixels(0x30000, 0x30000, 0x34000, 0x30000).empty());  // shorter than a pixel
}

TYPED_TEST(SpanKeepMasks, LinesFarOutsideStayInsideTheDestination)
{
    using F = TypeParam;
    Surface<F> s(64, 32);
    s.Target().destination = {8, 4, 40, 20};
    const typename F::Line line = F::MakeLine(0xFFFFFFFF);
    const DevicePoint ends[][2] = {{{-1000, -1000}, {1000, 1000}}, {{-50000, 10}, {50000, 12}},
                                   {{20, -70000}, {21, 70000}},   {{0, 0}, {63, 31}},
                                   {{39, 3}, {39, 25}},           {{100, 100}, {200, 50}}};
    for (const auto& e : ends) DrawLineOn<F>(s.Target(), e[0].x, e[0].y, e[1].x, e[1].y, line);
    for (int32_t y = 0; y < 32; ++y) {
        for (int32_t x = 0; x < 64; ++x) {
            if (x < 8 || x >= 40 || y < 4 || y >= 20) {
                ASSERT_EQ(s.Pixel(x, y), 0u) << x << "," << y;
            }
        }
    }
    EXPECT_NE(s.Pixel(39, 10), 0u);
    EXPECT_TRUE(s.GuardsIntact());
}
