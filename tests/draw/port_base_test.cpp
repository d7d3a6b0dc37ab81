// Port base: depth and kind, saved objects, prepared DCs and the block transfers.
#include "draw/port_base.h"

#include <gtest/gtest.h>

#include "draw/current_port.h"
#include "draw/program_palette.h"
#include "tests/draw/draw_support.h"

namespace {

constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kWhite = 0xFFFFFF;

}  // namespace

TEST(PortBase, DepthFollowsTheScreenAndBlockTransfers)
{
    ScopedScreenCaps screen(16);
    PortBase port;
    EXPECT_EQ(port.Depth(), 16);
    port.SetPortDepth(8);
    EXPECT_EQ(port.PortDepthField(), 8);

    ScreenCaps noBlit = ScreenCapsOfDepth(16);
    noBlit.blockTransfer = 0;
    SetScreenCaps(noBlit);
    port.SetPortDepth(8);
    EXPECT_EQ(port.PortDepthField(), 0);
}

TEST(PortBase, DrawingModeSwitchesReturnThePreviousValue)
{
    EXPECT_EQ(SetDirectPixelDrawing(1), 0);
    EXPECT_EQ(GetDirectPixelDrawing(), 1);
    EXPECT_EQ(SetDirectPixelDrawing(0), 1);
    EXPECT_EQ(SetGdiOnlyDrawing(1), 0);
    EXPECT_EQ(GetGdiOnlyDrawing(), 1);
    EXPECT_EQ(SetGdiOnlyDrawing(0), 1);
}

TEST(PortBase, RestoreDeletesThePortsOwnBrushAndPenAndRestoresTheCurrentPort)
{
    ScopedScreenCaps caps(32);
    auto offscreen = MakeOffscreen(8, 8, 0);
    HDC dc = offscreen->PortDC();
    HGDIOBJ originalBrush = GetCurrentObject(dc, OBJ_BRUSH);
    HGDIOBJ originalPalette = GetCurrentObject(dc, OBJ_PAL);
    PortBase port;
    port.SetPortDC(dc);
    HDC before = reinterpret_cast<HDC>(0x1234);
    SetPort(before);

    port.SelectPortObjects();
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(BLACK_BRUSH));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    SetPort(dc);
    HBRUSH own = CreateSolidBrush(RGB(1, 2, 3));
    HPEN ownPen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    SelectObject(dc, own);
    SelectObject(dc, ownPen);

    port.RestorePortObjects();
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), originalBrush);
    EXPECT_EQ(GetObjectType(own), 0u);
    EXPECT_EQ(GetObjectType(ownPen), 0u);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), originalPalette);
    EXPECT_EQ(GetPort(), before);
    SetPort(nullptr);
}

TEST(PortBase, MemoryDCsSelectTheProgramPaletteAndCopyPen)
{
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[2];
    } logical{0x300, 2, {{0, 0, 0, 0}, {255, 255, 255, 0}}};
    ProgramPalette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical));
    HDC dc = CreatePortMemoryDC(nullptr);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), ProgramPalette);
    EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
    EXPECT_EQ(GetPolyFillMode(dc), WINDING);
    SelectPalette(dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), TRUE);
    DeleteDC(dc);
    DeleteObject(ProgramPalette);
    ProgramPalette = nullptr;
}

TEST(PortBase, BlitRectCopiesEqualSizesAndStretchesOthers)
{
    ScopedScreenCaps caps(32);
    const RGBColor48 white = {0xFFFF, 0xFFFF, 0xFFFF};
    auto source = MakeOffscreen(4, 4, 0);
    auto destination = MakeOffscreen(8, 8, 0, &white);
    source->SetPixelColor(0, 0, {0xFFFF, 0, 0});
    source->SetPixelColor(1, 0, {0, 0xFFFF, 0});

    BlitRect(source->PortDC(), destination->PortDC(), {0, 0, 2, 1}, {5, 6, 7, 7}, SRCCOPY);
    EXPECT_EQ(Pixel32(destination.get(), 5, 6), kRed);
    EXPECT_EQ(Pixel32(destination.get(), 6, 6), kGreen);
    EXPECT_EQ(Pixel32(destination.get(), 4, 6), kWhite);
    EXPECT_EQ(Pixel32(destination.get(), 7, 6), kWhite);
    EXPECT_EQ(Pixel32(destination.get(), 5, 7), kWhite);

    // Twice the width, same height: each source pixel becomes two.
    BlitRect(source->PortDC(), destination->PortDC(), {0, 0, 2, 1}, {0, 0, 4, 1}, SRCCOPY);
    const uint32_t stretched[5] = {kRed, kRed, kGreen, kGreen, kWhite};
    for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(Pixel32(destination.get(), x, 0), stretched[x]) << x;
    EXPECT_EQ(GetStretchBltMode(destination->PortDC()), BLACKONWHITE);
}

TEST(PortBase, MaskedCopyShowsTheSourceWhereTheMaskIsBlack)
{
    ScopedScreenCaps caps(32);
    const RGBColor48 red = {0xFFFF, 0, 0};
    const RGBColor48 blue = {0, 0, 0xFFFF};
    auto source = MakeOffscreen(4, 2, 0, &red);
    auto destination = MakeOffscreen(6, 2, 0, &blue);
    SetScreenCaps(ScreenCapsOfDepth(8));  // a one-bit mask needs a screen of fewer than 9 bits
    const RGBColor48 white = {0xFFFF, 0xFFFF, 0xFFFF};
    auto mask = MakeOffscreen(4, 2, 1, &white);
    for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {3, 1}}) mask->SetPixelColor(x, y, {0, 0, 0});

    MaskedCopy(source->PortDC(), destination->PortDC(), mask->PortDC(), {0, 0, 4, 2}, {1, 0, 5, 2},
               {0, 0, 4, 2});
    const uint32_t expected[2][6] = {{kBlue, kRed, kRed, kBlue, kBlue, kBlue},
                                     {kBlue, kBlue, kBlue, kBlue, kRed, kBlue}};
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 6; ++x) EXPECT_EQ(Pixel32(destination.get(), x, y), expected[y][x]) << x << "," << y;
}
