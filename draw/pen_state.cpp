// Colours, pens and patterns of the current port.
#include "draw/pen_state.h"

#include <windows.h>

#include "draw/current_port.h"
#include "draw/program_palette.h"

int32_t DottedPenPhase = 0;

namespace {

// PALETTERGB of the channels' high bytes.
COLORREF PaletteColorRef(const RGBColor48& colour)
{
    return PALETTERGB(colour.red >> 8, colour.green >> 8, colour.blue >> 8);
}

struct DrawingState {
    COLORREF foreRef = PaletteColorRef(kBlackColor);
    LOGPEN pen = {PS_SOLID, {1, 1}, PaletteColorRef(kBlackColor)};
    PenTransferMode mode = 0;
    StockPatternIndex pattern = 0;
    HBITMAP patternBitmap = nullptr;
};

DrawingState gState;

void RebuildBrush()
{
    HDC port = GetPort();
    if (!port) return;
    HPALETTE previousPalette = ProgramPalette ? SelectPalette(port, ProgramPalette, FALSE) : nullptr;
    HBRUSH brush = gState.patternBitmap ? CreatePatternBrush(gState.patternBitmap)
                                        : CreateSolidBrush(gState.foreRef);
    HGDIOBJ replaced = SelectObject(port, brush);
    if (previousPalette) SelectPalette(port, previousPalette, TRUE);
    if (replaced) DeleteObject(replaced);
}

void RebuildPen()
{
    HDC port = GetPort();
    if (!port) return;
    HGDIOBJ replaced = SelectObject(port, CreatePenIndirect(&gState.pen));
    if (replaced) DeleteObject(replaced);
}

void MakePatternBitmap(StockPatternIndex index)
{
    if (gState.patternBitmap) DeleteObject(gState.patternBitmap);
    const uint16_t* rows = StockPatternRows(index);
    gState.patternBitmap = rows ? CreateBitmap(8, 8, 1, 1, rows) : nullptr;
}

}  // namespace

void RGBForeColor(const RGBColor48& colour)
{
    HDC port = GetPort();
    if (!port) return;
    gState.foreRef = PaletteColorRef(colour);
    gState.pen.lopnColor = gState.foreRef;
    SetTextColor(port, gState.foreRef);
    RebuildBrush();
    RebuildPen();
}

void RGBBackColor(const RGBColor48& colour)
{
    HDC port = GetPort();
    if (!port) return;
    SetBkColor(port, PaletteColorRef(colour));
}

void PenMode(PenTransferMode mode)
{
    HDC port = GetPort();
    if (!port) return;
    gState.mode = mode;
    int rop = R2_COPYPEN;
    UINT style = PS_SOLID;
    switch (mode) {
    case 1:
    case 9: rop = R2_NOTXORPEN; break;
    case 3: rop = R2_MERGEPENNOT; break;
    case 8:
        rop = DottedPenPhase ? R2_NOTXORPEN : R2_XORPEN;
        style = PS_DOT;
        break;
    default: break;
    }
    if (gState.pen.lopnStyle != style) {
        gState.pen.lopnStyle = style;
        RebuildPen();
    }
    SetROP2(port, rop);
}

void GetPenState(PenState* state)
{
    state->mode = gState.mode;
}

void SetPenState(const PenState& state)
{
    PenMode(state.mode);
}

void PenSize(int32_t width, int32_t height)
{
    gState.pen.lopnWidth = {width, height};
    RebuildPen();
}

void PenPat(StockPatternIndex index)
{
    if (index == gState.pattern) return;
    gState.pattern = index;
    MakePatternBitmap(index);
    RebuildBrush();
}

StockPatternIndex GetPenPat()
{
    return gState.pattern;
}

void PenNormal()
{
    PenPat(kFirstStockPattern);
    PenMode(kPenCopy);
}

uint16_t SetDotPattern(int32_t x, int32_t y)
{
    gState.pattern = -1;
    return MakeDotPattern(x, y);
}

void InitPenState()
{
    MakePatternBitmap(kFirstStockPattern);
    RGBForeColor(kBlackColor);
    RGBBackColor(kWhiteColor);
}

void FreePenState()
{
    if (gState.patternBitmap) DeleteObject(gState.patternBitmap);
    gState = DrawingState();
}
