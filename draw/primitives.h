// The drawing primitives that the offscreens use: colours, the pen pattern and rectangle fills,
// all drawn into the current port.
#pragma once

#include <cstdint>

#include "draw/port_base.h"
#include "foundation/rgb_color.h"

void RGBForeColor(const RGBColor48& colour);
void RGBBackColor(const RGBColor48& colour);
// One of the stock 8 x 8 patterns (1 solid fore colour).
void PenPat(int32_t index);
// Fills the rectangle in the current pattern without an outline.
void PaintRectPolygon(const PortRect& rect);
// Fills the rectangle white.
void EraseRect(const PortRect& rect);
