// The rasterizer sets over offscreens: the 24 polygon routines, the set of each pixel format that
// the drawing layer installs in RasterProcs when it publishes an offscreen, and the line routines
// of every set, which the textured face drawing also calls. Every routine draws into the published
// raster target.
#pragma once

#include <cstdint>

#include "draw/raster_procs.h"
#include "foundation/fixed.h"
#include "foundation/rgb_color.h"

class Q_Offscreen;
class SpanRegion;

// The sets of the pixel formats and their routines.
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

// The set of a pixel format, chosen by planes x bits per pixel: 4 the planar set with 4 planes,
// else the packed 4-bit set; 8, 16, 24 and 32 their sets; null for any other product.
const RasterProcSet* RasterSetFor(int32_t planes, int32_t bitsPerPixel);
// Installs RasterSetFor as the drawing layer's choice of a set; programs that draw faces directly
// into offscreens call it at start-up, before they make their offscreens.
void InstallRasterSets();

// DrawLine*: between integer device points, clipped to the destination rectangle.
// DrawLineFixed*: between 16.16 points already clipped. DrawLineClipped*: between integer points,
// clipped to the region's clip shape (nothing when the region is empty). Lines are never dithered.
using LineRoutine = void(Q_Offscreen* offscreen, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                         const RGBColor48* colour);
using FixedLineRoutine = void(Q_Offscreen* offscreen, Fixed x0, Fixed y0, Fixed x1, Fixed y1, const RGBColor48* colour);
using ClippedLineRoutine = void(Q_Offscreen* offscreen, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                                const RGBColor48* colour, const SpanRegion* region);

extern LineRoutine& DrawLinePlanar;
extern FixedLineRoutine& DrawLineFixedPlanar;
extern ClippedLineRoutine& DrawLineClippedPlanar;
extern LineRoutine& DrawLine4;
extern FixedLineRoutine& DrawLineFixed4;
extern ClippedLineRoutine& DrawLineClipped4;
extern LineRoutine& DrawLine8;
extern FixedLineRoutine& DrawLineFixed8;
extern ClippedLineRoutine& DrawLineClipped8;
extern LineRoutine& DrawLine16;
extern FixedLineRoutine& DrawLineFixed16;
extern ClippedLineRoutine& DrawLineClipped16;
extern LineRoutine& DrawLine24;
extern FixedLineRoutine& DrawLineFixed24;
extern ClippedLineRoutine& DrawLineClipped24;
extern LineRoutine& DrawLine32;
extern FixedLineRoutine& DrawLineFixed32;
extern ClippedLineRoutine& DrawLineClipped32;
