// The textured image path on real offscreens: a polygon of whole pixels maps its texture texel
// for pixel, is clipped to the offscreen's destination rectangle and to a region's clip shape,
// flips, and draws nothing (0) where it cannot; the face set-up reads the texture's pixel map.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "draw/mem_pix_map.h"
#include "raster/textured_fill.h"
#include "tests/draw/draw_support.h"
#include "tests/raster/raster_surface.h"
#include "tests/raster/region_support.h"

namespace {

constexpr uint8_t kCanary = 0x5A;
constexpr int32_t kWidth = 40;
constexpr int32_t kHeight = 30;

using List = Owned<DynamicArray>;

template <class T>
List ListOf(std::initializer_list<T> items)
{
    List list(NewDynamicArray(0, sizeof(T), 8));
    for (const T& item : items) list->Append(&item);
    return list;
}

uint8_t Texel(int32_t x, int32_t y) { return uint8_t(1 + x + 8 * y); }

// An 8 x 8 pixel map of distinct cube indices.
struct PixMapDeleter {
    void operator()(MemPixMap* map) const { map->DisposePixMap(); }
};
std::unique_ptr<RowCountingPixMap, PixMapDeleter> MakeTexture()
{
    std::unique_ptr<RowCountingPixMap, PixMapDeleter> map(new RowCountingPixMap);
    EXPECT_EQ(map->MemPixMapInit({0, 0, 8, 8}, 8), kResultOk);
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 8; ++x) map->GetRowTable()[y][x] = Texel(x, y);
    map->taken = 0;
    return map;
}

class ImageFixture : public testing::Test {
protected:
    ImageFixture() : screen(32), offscreen(MakeOffscreen(kWidth, kHeight, 32)), texture(MakeTexture())
    {
        const PixelFormat& f = offscreen->Format();
        for (int32_t y = 0; y < f.height; ++y) std::memset(f.rowTable[y], kCanary, size_t(f.rowBytes));
        source.tables = shades.Levels();
        source.pixels = texture.get();
    }

    uint32_t Pixel(int32_t x, int32_t y) const { return reinterpret_cast<const uint32_t*>(offscreen->Format().rowTable[y])[x]; }
    bool Untouched(int32_t x, int32_t y) const { return Pixel(x, y) == kCanary * 0x01010101u; }
    uint32_t TexelPixel(int32_t u, int32_t v) const { return shades.Levels()[0].Pixels32[Texel(u, v)]; }

    // The 8 x 8 square at (4, 6), every pixel on a texel.
    int32_t DrawSquare(const SpanRegion* region = nullptr)
    {
        auto points = ListOf<DevicePoint>({{4, 6}, {12, 6}, {12, 14}, {4, 14}});
        const Fixed a = -kFixedHalf, b = IntToFixed(8) - kFixedHalf;
        auto coords = ListOf<TextureCoord>({{a, a}, {b, a}, {b, b}, {a, b}});
        return DrawTexturedImage(&source, offscreen.get(), points.get(), coords.get(), region);
    }

    TestScreen screen;
    Owned<Q_Offscreen> offscreen;
    std::unique_ptr<RowCountingPixMap, PixMapDeleter> texture;
    rastertest::FakeShadeTables shades;
    TextureSource source{};
};

}  // namespace

TEST_F(ImageFixture, ASquareMapsItsTextureTexelForPixel)
{
    EXPECT_EQ(DrawSquare(), 1);
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            const bool inside = x >= 4 && x < 12 && y >= 6 && y < 14;
            if (inside) {
                ASSERT_EQ(Pixel(x, y), TexelPixel(x - 4, y - 6)) << x << ", " << y;
            } else {
                ASSERT_TRUE(Untouched(x, y)) << x << ", " << y;
            }
        }
    }
}

TEST_F(ImageFixture, FlipsMirrorTheImage)
{
    source.flipU = 1;
    source.flipV = 1;
    EXPECT_EQ(DrawSquare(), 1);
    for (int32_t y = 6; y < 14; ++y)
        for (int32_t x = 4; x < 12; ++x) ASSERT_EQ(Pixel(x, y), TexelPixel(11 - x, 13 - y)) << x << ", " << y;
}

TEST_F(ImageFixture, TheDestinationRectangleAndARegionClip)
{
    offscreen->SetOffscreenDestRect({7, 0, kWidth, 12});
    auto region = rastertest::RectRegion(0, 0, 10, kHeight);
    EXPECT_EQ(DrawSquare(region.get()), 1);
    for (int32_t y = 6; y < 14; ++y) {
        for (int32_t x = 4; x < 12; ++x) {
            if (x >= 7 && x < 10 && y < 12) {
                ASSERT_EQ(Pixel(x, y), TexelPixel(x - 4, y - 6)) << x << ", " << y;
            } else {
                ASSERT_TRUE(Untouched(x, y)) << x << ", " << y;
            }
        }
    }
}

TEST_F(ImageFixture, WhatDrawsNothing)
{
    auto coords = ListOf<TextureCoord>({{0, 0}, {0, 0}, {0, 0}});
    auto two = ListOf<DevicePoint>({{1, 1}, {9, 9}});
    EXPECT_EQ(DrawTexturedImage(&source, offscreen.get(), two.get(), coords.get(), nullptr), 0);
    auto flat = ListOf<DevicePoint>({{1, 4}, {9, 4}, {20, 4}});
    EXPECT_EQ(DrawTexturedImage(&source, offscreen.get(), flat.get(), coords.get(), nullptr), 0);
    auto outside = ListOf<DevicePoint>({{50, 1}, {60, 1}, {55, 9}});
    EXPECT_EQ(DrawTexturedImage(&source, offscreen.get(), outside.get(), coords.get(), nullptr), 0);
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x) ASSERT_TRUE(Untouched(x, y));
    // Each image took the texture's rows and handed them back, with their number.
    EXPECT_EQ(texture->taken, 3);
    EXPECT_EQ(texture->handedBack, 3);
    EXPECT_EQ(texture->lastRows, texture->Format().rowTable);
    EXPECT_EQ(texture->lastRowCount, 8);
}

TEST_F(ImageFixture, TheFaceSetUpReadsThePixelMapAndFlipsTheCoordinates)
{
    source.flipU = 1;
    std::vector<TextureCoord> coords = {{0, 0}, {IntToFixed(2), 0}, {0, IntToFixed(3)}};
    TextureSetup setup;
    ASSERT_TRUE(SetupTexturedPolygon(&source, offscreen.get(), coords.data(), 3, &setup));
    EXPECT_EQ(setup.rowTable, texture->GetRowTable());
    EXPECT_EQ(setup.width, 8);
    EXPECT_EQ(setup.height, 8);
    EXPECT_EQ(setup.column, kTexColumn32);
    EXPECT_EQ(setup.destination, offscreen.get());
    EXPECT_EQ(setup.destWidth, offscreen->Format().width);
    EXPECT_EQ(coords[0].u, IntToFixed(7));
    EXPECT_EQ(coords[1].u, IntToFixed(5));
    source.pixels = nullptr;
    EXPECT_FALSE(SetupTexturedPolygon(&source, offscreen.get(), coords.data(), 3, &setup));
    EXPECT_EQ(setup.filler, nullptr);
}
