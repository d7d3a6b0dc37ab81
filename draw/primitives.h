// The drawing primitives of the current port in one include: colours, pens and patterns, shapes
// and text.
#pragma once

#include "draw/pen_state.h"
#include "draw/shapes.h"
#include "draw/text.h"
