// The program palette: on a palette screen the 10 static system colours at each end and the
// 216 colours of the colour cube between them, selected into every DC the drawing layer hands
// out; and the colour-match block of each screen device offscreen, built from the screen.
#pragma once

#include <cstdint>

#include "draw/gdi_handles.h"

class Q_Offscreen;

// The one program palette (0 when none was made).
extern HPALETTE ProgramPalette;

// Makes and realises the program palette (on a 4-bit screen the 16 system colours); answers the
// number of entries realised, 0 when no palette was made.
int32_t CreateProgramPalette();
// Realises the program palette as the window's foreground palette; the number of entries changed.
int32_t RealizeProgramPalette(HWND window);
// Deletes the palette and destroys the colour cube.
void DisposeProgramPalette();

// Clears the device's colour-match block and builds it anew from the screen.
void RebuildWindowPalette(Q_Offscreen* device);
// Builds the device's channel tables (a true-colour device: answers 1) or its match cache and
// colour table (an indexed device of 8 bits or fewer: answers 0).
int32_t BuildDeviceColorTables(Q_Offscreen* device);
// 1 when the red, green and blue tables, read back from pixels set on the device, occupy
// disjoint bit fields of a pixel; otherwise the tables are destroyed and the answer is 0.
int32_t BuildChannelTables(Q_Offscreen* device);
// On a palette screen of at least 236 entries, rebuilds an indexed device's tables and remaps the
// shade tables to them.
void RefreshDevicePalette(Q_Offscreen* device);
void RefreshAllDevicePalettes();
