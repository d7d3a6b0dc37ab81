// Port base: depth and kind, saved objects, prepared DCs and the block transfers.
#include "draw/port_base.h"

#include <gtest/gtest.h>

#include "draw/current_port.h"
#include "draw/program_palette.h"
#include "tests/draw/dib_support.h"
#include "tests/draw/screen_support.h"

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

    ScreenCaps noBlit = ScreenOfDepth(16);
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
    TestDib dib(8, 8);
    HGDIOBJ originalBrush = GetCurrentObject(dib.dc(), OBJ_BRUSH);
    HGDIOBJ originalPalette = GetCurrentObject(dib.dc(), OBJ_PAL);
    PortBase port;
    port.SetPortDC(dib.dc());
    HDC before = reinterpret_cast<HDC>(0x1234);
    SetPort(before);

    port.SelectPortObjects();
    EXPECT_EQ(GetCurrentObject(dib.dc(), OBJ_BRUSH), GetStockObject(BLACK_BRUSH));
    EXPECT_EQ(GetCurrentObject(dib.dc(), OBJ_PEN), GetStockObject(BLACK_PEN));
    SetPort(dib.dc());
    HBRUSH own = CreateSolidBrush(RGB(1, 2, 3));
    HPEN ownPen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    SelectObject(dib.dc(), own);
    SelectObject(dib.dc(), ownPen);

    port.RestorePortObjects();
    EXPECT_EQ(GetCurrentObject(dib.dc(), OBJ_BRUSH), originalBrush);
    EXPECT_EQ(GetObjectType(own), 0u);
    EXPECT_EQ(GetObjectType(ownPen), 0u);
    EXPECT_EQ(GetCurrentObject(dib.dc(), OBJ_PAL), originalPalette);
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
    TestDib source(4, 4);
    TestDib destination(8, 8);
    source.Fill(RGB(0, 0, 255));
    SetPixel(source.dc(), 0, 0, RGB(255, 0, 0));
    SetPixel(source.dc(), 1, 0, RGB(0, 255, 0));
    destination.Fill(RGB(255, 255, 255));

    BlitRect(source.dc(), destination.dc(), {0, 0, 2, 1}, {5, 6, 7, 7}, SRCCOPY);
    EXPECT_EQ(destination.Pixel(5, 6), kRed);
    EXPECT_EQ(destination.Pixel(6, 6), kGreen);
    EXPECT_EQ(destination.Pixel(4, 6), kWhite);
    EXPECT_EQ(destination.Pixel(7, 6), kWhite);
    EXPECT_EQ(destination.Pixel(5, 7), kWhite);

    // Twice the width, same height: each source pixel becomes two.
    BlitRect(source.dc(), destination.dc(), {0, 0, 2, 1}, {0, 0, 4, 1}, SRCCOPY);
    EXPECT_EQ(destination.Pixel(0, 0), kRed);
    EXPECT_EQ(destination.Pixel(1, 0), kRed);
    EXPECT_EQ(destination.Pixel(2, 0), kGreen);
    EXPECT_EQ(destination.Pixel(3, 0), kGreen);
    EXPECT_EQ(destination.Pixel(4, 0), kWhite);
    EXPECT_EQ(GetStretchBltMode(destination.dc()), BLACKONWHITE);
}

TEST(PortBase, MaskedCopyShowsTheSourceWhereTheMaskIsBlack)
{
    TestDib source(4, 2);
    TestDib destination(6, 2);
    TestDib mask(4, 2, 1);
    source.Fill(RGB(255, 0, 0));
    destination.Fill(RGB(0, 0, 255));
    mask.Fill(RGB(255, 255, 255));
    SetPixel(mask.dc(), 0, 0, RGB(0, 0, 0));
    SetPixel(mask.dc(), 1, 0, RGB(0, 0, 0));
    SetPixel(mask.dc(), 3, 1, RGB(0, 0, 0));

    MaskedCopy(source.dc(), destination.dc(), mask.dc(), {0, 0, 4, 2}, {1, 0, 5, 2}, {0, 0, 4, 2});
    const uint32_t expected[2][6] = {{kBlue, kRed, kRed, kBlue, kBlue, kBlue},
                                     {kBlue, kBlue, kBlue, kBlue, kRed, kBlue}};
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 6; ++x) EXPECT_EQ(destination.Pixel(x, y), expected[y][x]) << x << "," << y;
}
