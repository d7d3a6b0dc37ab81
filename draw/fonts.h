// Fonts by number: the program's font file added at start-up, the faces it names made on
// first use and cached until shutdown, and the font selection into the current port.
#pragma once

#include <cstdint>

#include "draw/font_faces.h"
#include "draw/gdi_handles.h"

struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;

// The font of a number, size (pixels of character height) and style bits: the stock system font
// for number 0, else the cached font, made and cached on a miss; 0 when it cannot be made.
HFONT GetFont(FontNumber number, int32_t size, int32_t style);
// Makes the font of a number with CreateFontA (face and character set from the number).
HFONT CreateFontForNumber(FontNumber number, int32_t size, int32_t style);
// Selects the font into the current port (nothing without one).
void UseTextFont(FontNumber number, int32_t size, int32_t style);
void SelectTextFont(FontNumber number, int32_t size, int32_t style);

// 1 when the font file added at least one font.
int32_t FontFileLoaded();
// Adds the font file that lies beside the module to the system's fonts and makes the font cache.
void LoadFontFile(HINSTANCE instance);
// Deletes the cached fonts and the cache and removes the font file from the system's fonts.
void UnloadFontFile();
