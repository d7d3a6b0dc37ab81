// Where the player puts a model's view: the rectangle a model window gives its walk view from
// the screen's size, and the rectangle a new view window asks for in the usable screen.
#pragma once

#include "draw/port_base.h"

// The screen less 5, 23, 6 and 6 pixels at the left, top, right and bottom, then centred within
// a box of 512 x 342 on a larger screen (501 x 313 on any screen of at least that box).
PortRect ModelViewRect(const PortRect& screen);

// The middle of the usable screen: a third of its width either side of its centre, and a third
// of its height above and below.
PortRect ViewWindowRect(const PortRect& usable);
