// Start-up and shutdown of the drawing layer: the screen's capabilities, cursors, the font
// file, the program palette, the region work objects and the pen's pattern.
#pragma once

#include "draw/gdi_handles.h"
#include "draw/screen_caps.h"

struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;

// Reads a device's capabilities; a 4-plane device is recorded as 4 bits per pixel on 1 plane.
ScreenCaps ReadScreenCaps(HDC dc);

// Runs once at program start before any window exists: records the screen's capabilities,
// loads the cursors and the font file beside the module (FontFileLoaded tells whether it was
// found), makes the program palette, starts the region work and sets up the pen.
void InitGraphics(HINSTANCE instance);
// Frees what InitGraphics made.
void ShutdownGraphics();
