// The colours of the help bar's bevelled drawing, read from the system colours at start-up and
// whenever they change. (Button panels have greys of their own, button_item.h.)
#pragma once

#include "foundation/rgb_color.h"

constexpr int kBevelColorCount = 7;
// Raised: face, highlight, shadow, shadow, highlight, text, text. Pressed: face, shadow,
// highlight, highlight, shadow, text, text.
extern RGBColor48 RaisedBevelColors[kBevelColorCount];
extern RGBColor48 PressedBevelColors[kBevelColorCount];

// Fills both tables from the system colours (each byte widened to 16 bits).
void InitSystemColors();
