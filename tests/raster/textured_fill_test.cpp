// The affine textured fill: a screen-aligned square maps its texture texel for pixel in every
// pixel format (power-of-two and other sizes, the dither tables by row and pixel parity), spans
// clamped to the destination, the filler chosen by the options and the format, the flips, the
// 64-bit span gradients, and faces that draw nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "raster/textured_fill.h"
#include "raster_surface.h"

using namespace raster;
using rastertest::CheckerTexture;
using rastertest::FakeShadeTables;
using rastertest::FormatInfo;
using rastertest::FormatOf;
using rastertest::Surface;

namespace {

// The pixel that texel t draws at (x, y) through the level entry.
template <class F>
uint32_t Expected(const ShadeLevelEntry& e, uint8_t t, int32_t x, int32_t y)
{
    const int32_t cell = (y & 1) * 2 + (x & 1);
    if constexpr (std::is_same_v<F, Packed4>) return e.ByteTables[kByteTables4Bit + cell][t] & 0xF;
    if constexpr (std::is_same_v<F, Indexed8>) return e.ByteTables[kByteTables8Bit + cell][t];
    if constexpr (std::is_same_v<F, Direct16>) return e.Pixels16[t];
    if constexpr (std::is_same_v<F, Direct24>) return e.Pixels24[t] & 0xFFFFFF;
    if constexpr (std::is_same_v<F, Direct32>) return e.Pixels32[t];
    const uint32_t entry = (y & 1 ? e.PlanarPatternA : e.PlanarPatternB)[t];
    uint32_t c = 0;
    for (int32_t p = 0; p < 4; ++p) c |= ((entry >> (24 - 8 * p + 7 - (x & 7))) & 1) << p;
    return c;
}

TextureSource SourceOf(const ShadeLevelEntry* tables)
{
    TextureSource source{};
    source.tables = tables;
    return source;
}

struct Quad {
    std::vector<FixedPoint> positions;
    std::vector<TextureCoord> coords;
};

// The w x h rectangle at (x0, y0), clockwise on the screen, each pixel centre on a texel centre.
Quad AlignedSquare(int32_t x0, int32_t y0, int32_t w, int32_t h)
{
    const Fixed left = IntToFixed(x0), top = IntToFixed(y0), right = IntToFixed(x0 + w), bottom = IntToFixed(y0 + h);
    const Fixed u0 = -kFixedHalf, v0 = -kFixedHalf, u1 = IntToFixed(w) - kFixedHalf, v1 = IntToFixed(h) - kFixedHalf;
    return {{{left, top}, {right, top}, {right, bottom}, {left, bottom}}, {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}}};
}

// Draws the texture over the whole square and checks every pixel of the surface.
template <class F>
void CheckAlignedSquare(int32_t textureWidth, int32_t textureHeight, int32_t x0, int32_t y0)
{
    FakeShadeTables shades;
    const ShadeLevelEntry& level = shades.Levels()[3];
    CheckerTexture texture(textureWidth, textureHeight);
    Surface<F> s(96, 80);
    TextureSource source = SourceOf(&level);
    TextureSetup setup;
    ASSERT_TRUE(SetupTexturedSource(&setup, &source, texture.rows.data(), textureWidth, textureHeight, FormatOf(s)));
    Quad q = AlignedSquare(x0, y0, textureWidth, textureHeight);
    EXPECT_EQ(FillTexturedPolygonAffine(&setup, q.coords.data(), q.positions.data(), 4), 1);
    EXPECT_TRUE(s.GuardsIntact());
    int32_t wrong = 0;
    for (int32_t y = 0; y < s.Height(); ++y) {
        for (int32_t x = 0; x < s.Width(); ++x) {
            const bool inside = x >= x0 && x < x0 + textureWidth && y >= y0 && y < y0 + textureHeight;
            const uint32_t want = inside ? Expected<F>(level, CheckerTexture::Texel(x - x0, y - y0), x, y) : 0;
            if (s.Pixel(x, y) != want && ++wrong <= 3)
                ADD_FAILURE() << FormatInfo<F>::kName << " pixel (" << x << ", " << y << ") is " << s.Pixel(x, y)
                              << ", not " << want;
        }
    }
    EXPECT_EQ(wrong, 0) << FormatInfo<F>::kName;
}

template <class F>
void CheckAllSquares()
{
    CheckAlignedSquare<F>(64, 64, 13, 7);  // masks
    CheckAlignedSquare<F>(48, 40, 8, 30);  // repeated addition
    CheckAlignedSquare<F>(8, 16, 0, 0);
}

}  // namespace

TEST(TexturedFill, AScreenAlignedSquareMapsItsTextureExactlyInEveryFormat)
{
    CheckAllSquares<Packed4>();
    CheckAllSquares<Planar4>();
    CheckAllSquares<Indexed8>();
    CheckAllSquares<Direct16>();
    CheckAllSquares<Direct24>();
    CheckAllSquares<Direct32>();
}

TEST(TexturedFill, SpansAreClampedToTheDestination)
{
    FakeShadeTables shades;
    CheckerTexture texture(32, 32);
    Surface<Packed4> s(40, 30);
    TextureSource source = SourceOf(shades.Levels());
    TextureSetup setup;
    ASSERT_TRUE(SetupTexturedSource(&setup, &source, texture.rows.data(), 32, 32, FormatOf(s)));
    // A square reaching past every side: what lies inside still shows its own texel.
    Quad q = AlignedSquare(-11, -5, 64, 64);
    for (TextureCoord& c : q.coords) {
        c.u = c.u / 2 - kFixedHalf / 2;  // 64 pixels over 32 texels: each texel two pixels wide
        c.v = c.v / 2 - kFixedHalf / 2;
    }
    EXPECT_EQ(FillTexturedPolygonAffine(&setup, q.coords.data(), q.positions.data(), 4), 1);
    EXPECT_TRUE(s.GuardsIntact());
    for (int32_t y = 0; y < s.Height(); ++y)
        for (int32_t x = 0; x < s.Width(); ++x)
            ASSERT_EQ(s.Pixel(x, y), Expected<Packed4>(shades.Levels()[0], CheckerTexture::Texel((x + 11) / 2, (y + 5) / 2), x, y))
                << x << ", " << y;
}

TEST(TexturedFill, FacesThatDrawNothing)
{
    FakeShadeTables shades;
    CheckerTexture texture(16, 16);
    Surface<Indexed8> s(32, 32);
    TextureSource source = SourceOf(shades.Levels());
    TextureSetup setup;
    ASSERT_TRUE(SetupTexturedSource(&setup, &source, texture.rows.data(), 16, 16, FormatOf(s)));
    // Counter-clockwise on the screen: every span has a negative count.
    Quad q = AlignedSquare(4, 4, 16, 16);
    std::vector<FixedPoint> reversed(q.positions.rbegin(), q.positions.rend());
    std::vector<TextureCoord> reversedCoords(q.coords.rbegin(), q.coords.rend());
    EXPECT_EQ(FillTexturedPolygonAffine(&setup, reversedCoords.data(), reversed.data(), 4), 1);
    EXPECT_EQ(s.Coverage(), Surface<Indexed8>(32, 32).Coverage());
    // Every vertex rounds to one row.
    const std::vector<FixedPoint> flat = {{IntToFixed(2), 0x50000}, {IntToFixed(20), 0x54000}, {IntToFixed(9), 0x57FFF}};
    EXPECT_EQ(FillTexturedPolygonAffine(&setup, q.coords.data(), flat.data(), 3), 0);
    EXPECT_EQ(FillTexturedPolygonAffine(&setup, q.coords.data(), q.positions.data(), 2), 0);
    EXPECT_EQ(s.Coverage(), Surface<Indexed8>(32, 32).Coverage());
    // 1- and 2-bit destinations are not drawn.
    PixelFormat f = FormatOf(s);
    int32_t mode = 0, column = 0;
    for (int32_t bits : {1, 2, 12}) {
        f.bitsPerPixel = bits;
        EXPECT_FALSE(TextureDestinationFormat(f, &mode, &column)) << bits;
        EXPECT_FALSE(SetupTexturedSource(&setup, &source, texture.rows.data(), 16, 16, f));
        EXPECT_EQ(setup.filler, nullptr);
    }
    f.bitsPerPixel = 1;
    f.planes = 4;
    EXPECT_TRUE(TextureDestinationFormat(f, &mode, &column));
    EXPECT_EQ(mode, kTexDepthPlanar);
    EXPECT_EQ(column, kTexColumnPlanar);
    f.bitsPerPixel = 4;
    f.planes = 1;
    EXPECT_TRUE(TextureDestinationFormat(f, &mode, &column));
    EXPECT_EQ(column, kTexColumnPacked);
}

TEST(TexturedFill, TheFillerFollowsTheOptionsAndTheTextureSizeAndFlipsApplyOnce)
{
    TextureSource source{};
    EXPECT_EQ(TextureOptionRow(source, 64, 32), kTexRowPowerOfTwo);  // masks for 64 x 32, not 64 x 48
    EXPECT_EQ(TextureOptionRow(source, 64, 48), 0);
    source.mirrorV = source.transparent = 1;
    EXPECT_EQ(TextureOptionRow(source, 64, 48), kTexRowMirrorV | kTexRowTransparent);
    source.mirrorU = 1;
    FakeShadeTables shades;
    CheckerTexture texture(64, 32);
    Surface<Direct32> s(8, 8);
    source.tables = shades.Levels();
    TextureSetup setup;
    ASSERT_TRUE(SetupTexturedSource(&setup, &source, texture.rows.data(), 64, 32, FormatOf(s)));
    EXPECT_EQ(setup.filler, TexSpanTable[15 * kTexColumns + kTexColumn32]);
    // With flip-u, u = 0 samples column width - 1; flip-v likewise.
    source.flipU = source.flipV = 1;
    std::vector<TextureCoord> coords = {{0, 0}, {IntToFixed(3), IntToFixed(5)}};
    ApplyTextureFlips(source, 16, 8, coords.data(), 2);
    EXPECT_EQ(coords[0].u, IntToFixed(15));
    EXPECT_EQ(coords[1].u, IntToFixed(12));
    EXPECT_EQ(coords[1].v, IntToFixed(2));
}

TEST(ComputeSpanGradients, WideTallSegmentsKeepTheirGradientIn64Bits)
{
    // 2000 rows widening from 100 to 16100 pixels, u from 400 to 64400 texels across: the
    // mapping is 4 texels a pixel everywhere, though the bottom difference passes 2^31.
    const int32_t h = 2000;
    const SpanGradients g = ComputeSpanGradients(h, 0, -IntToFixed(4), IntToFixed(100), IntToFixed(4), 0,
                                                 -IntToFixed(16), IntToFixed(400), IntToFixed(16), 0, 0, 0, 0, false);
    EXPECT_NEAR(SpanGradients::Gradient(g.du0, 0, g.uShift), IntToFixed(4), 2);
    EXPECT_NEAR(SpanGradients::Gradient(g.du0, int64_t(g.ddu) * h, g.uShift), IntToFixed(4), 2);
    EXPECT_EQ(SpanGradients::Gradient(g.dv0, 0, g.vShift), 0);
    // A triangle takes its gradient from the wider end, with no change per row.
    const SpanGradients t = ComputeSpanGradients(10, 0, 0, 0, IntToFixed(3), 0, 0, 0, IntToFixed(6), 0, 0, 0, 0, true);
    EXPECT_EQ(t.du0, IntToFixed(2));
    EXPECT_EQ(t.ddu, 0);
    EXPECT_EQ(t.uShift, 0);
    // Differences beyond 2^47 at the wide end still divide exactly: 16384 texels a pixel, and a
    // steeper mapping saturates.
    const int32_t rows = 200000;
    const SpanGradients wide = ComputeSpanGradients(rows, 0, 0, 0, IntToFixed(1), 0, 0, 0, IntToFixed(16384), 0, 0, 0,
                                                    -IntToFixed(3), true);
    EXPECT_EQ(wide.du0, IntToFixed(16384));
    EXPECT_EQ(wide.dv0, -IntToFixed(3));
    const SpanGradients steep = ComputeSpanGradients(rows, 0, 0, 0, kFixedHalf, 0, 0, 0, IntToFixed(32767) + 0xFFFF, 0,
                                                     0, 0, 0, true);
    EXPECT_EQ(steep.du0, INT32_MAX);
    EXPECT_EQ(MaxAbs(-7, 5), 7);
}
