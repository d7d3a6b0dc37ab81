// Bevelled rectangles: a face in one colour of a bevel colour table (the help bar's from the
// system colours, system_colors.h; the button panels' fixed greys, button_item.h) with one-pixel
// edges in the table's edge colours; and the plain one-colour rectangles they are made of.
#pragma once

#include "draw/port_base.h"
#include "foundation/rgb_color.h"

// The entries of a bevel colour table.
enum BevelEntry : int {
    kBevelFace = 0,
    kBevelTop = 1,
    kBevelRight = 2,
    kBevelBottom = 3,
    kBevelLeft = 4,
};

// Paints the rectangle in the current port in the colour, with the current pen pattern.
void PaintColourRect(const PortRect& rect, const RGBColor48& colour);
// Fills the rectangle in the current port with the table's face colour and draws its edges: top
// and left in the top and left colours, right and bottom in the right and bottom colours.
void DrawBevel(const PortRect& rect, const RGBColor48* colours);
