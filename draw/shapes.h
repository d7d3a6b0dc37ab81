// Shapes drawn into the current port with its pen and brush: rectangles, ovals, lines.
#pragma once

#include <cstdint>

#include "draw/port_base.h"

// Fills the rectangle white.
void EraseRect(const PortRect& rect);
// The outline through (left, top), (right - 1, top), (right - 1, bottom - 1), (left, bottom - 1)
// in the pen.
void FrameRect(const PortRect& rect);
// The ellipse in the rectangle: outlined with the pen, filled with the brush.
void DrawOval(const PortRect& rect);
// Fills the rectangle with the brush and no outline; PaintQuad is the same.
void PaintRectPolygon(const PortRect& rect);
void PaintQuad(const PortRect& rect);
// Pen moves and lines; a line leaves its end point undrawn.
void MoveTo(int32_t x, int32_t y);
void LineTo(int32_t x, int32_t y);
void DrawingNoOp();
