// Placing rectangles on the screen: inside bounds, and beside an anchor rectangle.
#pragma once

#include <cstdint>

#include "draw/port_base.h"

// Moves the rectangle, keeping its size, into the bounds; a rectangle larger than the bounds
// ends aligned with their bottom and right.
void ConstrainRectInside(PortRect* rect, const PortRect& bounds);
// Puts the rectangle right of the anchor, else left of it, below or above it (the first side
// with room), else anywhere inside the bounds.
void PlaceRectBeside(PortRect* rect, const PortRect& bounds, const PortRect& anchor);
