// Bevelled rectangles.
#include "toolkit/bevel.h"

#include "draw/pen_state.h"
#include "draw/shapes.h"

void PaintColourRect(const PortRect& rect, const RGBColor48& colour)
{
    RGBForeColor(colour);
    PaintRectPolygon(rect);
}

void DrawBevel(const PortRect& rect, const RGBColor48* colours)
{
    PaintColourRect(rect, colours[kBevelFace]);
    PaintColourRect({rect.left, rect.top, rect.right, rect.top + 1}, colours[kBevelTop]);
    PaintColourRect({rect.left, rect.top, rect.left + 1, rect.bottom}, colours[kBevelLeft]);
    PaintColourRect({rect.right - 1, rect.top, rect.right, rect.bottom}, colours[kBevelRight]);
    PaintColourRect({rect.left, rect.bottom - 1, rect.right, rect.bottom}, colours[kBevelBottom]);
}
