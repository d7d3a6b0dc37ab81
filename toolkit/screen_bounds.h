// The screen's size as the toolkit lays windows out on it, and system metrics it shares.
#pragma once

#include <cstdint>

#include "draw/port_base.h"

// (0, 0, HORZRES, VERTRES) of the screen.
void GetScreenBounds(PortRect* rect);
// The screen bounds, at most 800 x 600.
void GetUsableScreenBounds(PortRect* rect);
// The toolkit's scroll-bar thickness: SM_CYVTHUMB + 1.
int32_t ScrollThumbSize();
// SM_CYCAPTION.
int32_t CaptionHeight();
