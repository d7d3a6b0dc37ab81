// Small figures drawn with the pen into the current port: pixel strokes, rectangle outlines,
// regular polygons, turned rectangles, a shadowed box and the down, right and spin marks.
#pragma once

#include <cstdint>

#include "draw/port_base.h"
#include "foundation/fixed.h"
#include "foundation/planar_geometry.h"

// A horizontal or vertical stroke from the first point to the second, both ends drawn (a stroke
// from a point to itself draws that pixel).
void DrawStroke(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// The outline of the rectangle spanned by two points, from its top-left corner round and back.
void FrameBetweenPoints(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// The polygon of RegularPolygonPoints, closed, with a 6 x 6 oval round its first vertex; the
// half-step flag turns it back by half a step. Nothing for n < 1.
void DrawRegularPolygon(int32_t count, int32_t centreX, int32_t centreY, int32_t radius,
                        int32_t startDegrees, int32_t halfStep);
// RotatedRectCorners; with the draw flag the outline through the corners is drawn.
void RotatedRect(IntPoint corners[4], int32_t x, int32_t y, int32_t width, int32_t height, int32_t offsetX,
                 int32_t offsetY, Fixed angle, int32_t mode, int32_t draw);
// Erases and frames the rectangle, with a one-pixel shadow below its bottom from left + 2 and
// beside its right edge up to top + 2.
void ShadowBox(const PortRect& rect);
// A small downward triangle at the lower right of the rectangle.
void DownMark(const PortRect& rect);
// A small right-pointing triangle at the upper right of the rectangle.
void RightMark(const PortRect& rect);
// A frame with its corners cut by one pixel and a small vertical double-pointed arrow at its
// horizontal centre from top + 2 to top + 10.
void SpinGlyph(const PortRect& rect);
