// RasterProcs: the four polygon routines of one pixel format, the set installed for the
// offscreen published last, and the installed choice of a set for a pixel format.
#pragma once

#include <cstdint>

#include "foundation/rgb_color.h"

class DynamicArray;
class Q_Offscreen;
class SpanRegion;

// Every routine takes the target offscreen and a device point list (a DynamicArray of x, y pairs
// of int32_t) and answers 1 when anything was drawn, else 0. Options: 4 frame, 8 fill, 16 match
// the fill colour with ColorToPixel instead of ColorToPixelFill; a non-zero pattern half-tones.
using FillPolygonRoutine = int32_t(Q_Offscreen* target, DynamicArray* points, const RGBColor48* fill,
                                   const RGBColor48* frame, int32_t options, int32_t pattern);
using FillPolygonClippedRoutine = int32_t(Q_Offscreen* target, DynamicArray* points,
                                          const RGBColor48* fill, const RGBColor48* frame,
                                          SpanRegion* region, int32_t options, int32_t pattern);
// Shaded routines take one Fixed intensity per point and the shade-ramp byte (a cube index).
using ShadePolygonRoutine = int32_t(Q_Offscreen* target, DynamicArray* points, DynamicArray* values,
                                    int32_t rampByte, const RGBColor48* frame, int32_t options,
                                    int32_t pattern);
using ShadePolygonClippedRoutine = int32_t(Q_Offscreen* target, DynamicArray* points,
                                           DynamicArray* values, int32_t rampByte,
                                           const RGBColor48* frame, SpanRegion* region,
                                           int32_t options, int32_t pattern);

struct RasterProcSet {
    FillPolygonRoutine* FillPolygon;
    FillPolygonClippedRoutine* FillPolygonClipped;
    ShadePolygonRoutine* ShadePolygon;
    ShadePolygonClippedRoutine* ShadePolygonClipped;
};

// The set of the pixel format published last (kept when a publication chooses none).
extern RasterProcSet RasterProcs;

// The set of a pixel format (planes, bits per pixel in one plane), or null when the format has
// none. The rasterizer layer installs its choice at start-up; until then no format has a set and
// offscreens are drawn through the system's calls alone.
using RasterSetChoice = const RasterProcSet* (*)(int32_t planes, int32_t bitsPerPixel);
// Installs the choice (null restores the one that chooses nothing); returns the one before.
RasterSetChoice InstallRasterSetChoice(RasterSetChoice choice);
const RasterProcSet* ChooseRasterSet(int32_t planes, int32_t bitsPerPixel);
