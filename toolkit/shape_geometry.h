// Plane shapes for the toolkit: rectangles around and between points, points on a circle,
// turned rectangles, keeping a four-corner shape rectangular while a corner is dragged, and
// whether one triangle keeps to one side of each edge of another.
#pragma once

#include <cstdint>

#include "draw/port_base.h"
#include "foundation/fixed.h"
#include "foundation/planar_geometry.h"

class DynamicArray;

// Keeps the rectangle within 8 pixels of the point on every side.
void ClampRectAround(PortRect* rect, int32_t x, int32_t y);
// The rectangle spanned by two points (left <= right, top <= bottom).
void RectFromPoints(PortRect* rect, int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// Empties the array (of FixedPoint) and appends n points of the circle round the centre through
// the given point, from that point on in steps of -2 pi / n; all in 16.16. Returns the first
// point's angle in 16.16 radians (0 for a point at the centre). An array whose elements are not
// FixedPoints is left alone.
Fixed CirclePoints(DynamicArray* points, Fixed centreX, Fixed centreY, Fixed pointX, Fixed pointY, int32_t count);

// RotatedRect's mode bits.
constexpr int32_t kRotatedAtOffset = 1;     // the first corner is placed at the offset
constexpr int32_t kRotatedNoXOffset = 2;    // the x offset is not applied
constexpr int32_t kRotatedNoYOffset = 4;    // the y offset is not applied
constexpr int32_t kRotatedHeightOnly = 8;   // only the height-direction terms are kept

// The corners (x, y), (x + w, y), (x + w, y + h), (x, y + h) turned about (x, y) by the angle
// (16.16 radians, clockwise on the screen) and moved by the offset as the mode bits say.
void RotatedRectCorners(IntPoint corners[4], int32_t x, int32_t y, int32_t width, int32_t height,
                        int32_t offsetX, int32_t offsetY, Fixed angle, int32_t mode);

// MoveQuadCorner's handle kinds whose corners run the other way round.
constexpr int32_t kReversedHandleFirst = 3;
constexpr int32_t kReversedHandleLast = 4;

// Moves corner 0..3 of a rectangle's corners (in order round it) by (dx, dy), and its two
// neighbours with it so that the shape stays a rectangle: the neighbour on the corner's vertical
// edge by dx, the one on its horizontal edge by dy. For an even corner the vertical edge goes to
// the previous corner (to the next one for handle kinds 3 and 4; odd corners the other way
// round). With `constrain` the corner keeps to one edge: dy is dropped where the vertical edge
// goes to the previous corner, dx where it goes to the next. A corner outside 0..3 moves nothing.
void MoveQuadCorner(FixedPoint corners[4], Fixed dx, Fixed dy, int32_t corner, int32_t handleKind,
                    int32_t constrain);

// 1 when, for each edge of the first triangle in turn, the three points of the second all lie on
// its left or on it, or all on its right or on it (by PointSide); else 0.
int32_t TrianglesSameSide(const IntPoint (&first)[3], const IntPoint (&second)[3]);
