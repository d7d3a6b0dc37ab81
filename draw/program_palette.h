// The program palette: on a palette screen the 10 static system colours at each end and the
// 216 colours of the colour cube between them, selected into every DC the drawing layer hands
// out; and the colour-match block of each screen device offscreen, built from the screen.
#pragma once

#include <cstdint>

#include "draw/gdi_handles.h"

class Q_Offscreen;

// The one program palette (0 when none was made).
extern HPALETTE ProgramPalette;
