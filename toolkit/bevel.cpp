// Bevelled rectangles.
#include "toolkit/bevel.h"

#include "draw/pen_state.h"
#include "draw/shapes.h"

namespace {

void PaintRect(const PortRect& rect, const RGBColor48& colour)
{
    RGBForeColor(colour);
    PaintRectPolygon(rect);
}

}  // namespace

void DrawBevel(const PortRect& rect, const RGBColor48* colours)
{
    PaintRect(rect, colours[kBevelFace]);
    PaintRect({rect.left, rect.top, rect.right, rect.top + 1}, colours[kBevelTop]);
    PaintRect({rect.left, rect.top, rect.left + 1, rect.bottom}, colours[kBevelLeft]);
    PaintRect({rect.right - 1, rect.top, rect.right, rect.bottom}, colours[kBevelRight]);
    PaintRect({rect.left, rect.bottom - 1, rect.right, rect.bottom}, colours[kBevelBottom]);
}
