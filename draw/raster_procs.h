// RasterProcs: the four polygon routines of one pixel format, the set installed for the
// offscreen published last, and the sets of every pixel format that an offscreen can choose.
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

// The sets of the pixel formats, by planes x bits per pixel, and their routines.
extern const RasterProcSet RasterSetPlanar;  // 4 planes of 1 bit
extern const RasterProcSet RasterSet4;       // packed 4-bit pixels
extern const RasterProcSet RasterSet8;
extern const RasterProcSet RasterSet16;
extern const RasterProcSet RasterSet24;
extern const RasterProcSet RasterSet32;

extern FillPolygonRoutine &FillPolygonPlanar, &FillPolygon4, &FillPolygon8,
    &FillPolygon16, &FillPolygon24, &FillPolygon32;
extern FillPolygonClippedRoutine &FillPolygonClippedPlanar, &FillPolygonClipped4, &FillPolygonClipped8,
    &FillPolygonClipped16, &FillPolygonClipped24, &FillPolygonClipped32;
extern ShadePolygonRoutine &ShadePolygonPlanar, &ShadePolygon4, &ShadePolygon8,
    &ShadePolygon16, &ShadePolygon24, &ShadePolygon32;
extern ShadePolygonClippedRoutine &ShadePolygonClippedPlanar, &ShadePolygonClipped4, &ShadePolygonClipped8,
    &ShadePolygonClipped16, &ShadePolygonClipped24, &ShadePolygonClipped32;
