// Reading an offscreen's pixel format from its bitmap, and probing which memory backs a pixel.
#pragma once

#include <cstdint>

#include "draw/gdi_handles.h"

class Q_Offscreen;

// Fills the offscreen's pixel format from the bitmap (the 1-bit format of its bounds when the
// bitmap cannot be described) and, when the offscreen has DIB bits, its row table: row 0 at the
// bits, each next row row bytes x planes further. Answers the pixel-access flag.
int32_t ReadBitmapFormat(Q_Offscreen* offscreen, HDC dc, HBITMAP bitmap);

// 1 when one of the `count` bytes from `start` changes as pixel (x, y) of the DC is painted black
// and then white; 0 otherwise or at the first byte that cannot be written. The pixel stays painted.
int32_t ProbePixelMemory(HDC dc, int32_t x, int32_t y, int32_t count, uint8_t* start);
