// The drawing primitives the offscreens use, in their least working form: the fore and back
// colours of the current port, and rectangle fills in the solid fore colour or in white.
#include <windows.h>

#include "draw/current_port.h"
#include "draw/primitives.h"

namespace {

COLORREF gForeColour = PALETTERGB(0, 0, 0);

COLORREF PaletteRGB(const RGBColor48& colour)
{
    return PALETTERGB(colour.red >> 8, colour.green >> 8, colour.blue >> 8);
}

}  // namespace

void RGBForeColor(const RGBColor48& colour)
{
    if (!GetPort()) return;
    gForeColour = PaletteRGB(colour);
    SetTextColor(GetPort(), gForeColour);
}

void RGBBackColor(const RGBColor48& colour)
{
    if (!GetPort()) return;
    SetBkColor(GetPort(), PaletteRGB(colour));
}

void PenPat(int32_t index) {}

void PaintRectPolygon(const PortRect& rect)
{
    const RECT area = {rect.left, rect.top, rect.right, rect.bottom};
    HBRUSH brush = CreateSolidBrush(gForeColour);
    FillRect(GetPort(), &area, brush);
    DeleteObject(brush);
}

void EraseRect(const PortRect& rect)
{
    const RECT area = {rect.left, rect.top, rect.right, rect.bottom};
    FillRect(GetPort(), &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}
