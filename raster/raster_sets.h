// The rasterizer sets over offscreens: the 24 polygon routines that the drawing layer installs in
// RasterProcs by pixel format (declared with RasterProcs), and the line routines of every set,
// which the textured face drawing also calls. Every routine draws into the published raster target.
#pragma once

#include <cstdint>

#include "draw/raster_procs.h"
#include "foundation/fixed.h"
#include "foundation/rgb_color.h"

class Q_Offscreen;
class SpanRegion;

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
