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
void DrawLine4(Q_Offscreen* offscreen, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const RGBColor48* colour);
void DrawLineFixed4(Q_Offscreen* offscreen, Fixed x0, Fixed y0, Fixed x1, Fixed y1, const RGBColor48* colour);
void DrawLineClipped4(Q_Offscreen* offscreen, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                      const RGBColor48* colour, const SpanRegion* region);
void DrawLinePlanar(Q_Offscreen* offscreen, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const RGBColor48* colour);
void DrawLineFixedPlanar(Q_Offscreen* offscreen, Fixed x0, Fixed y0, Fixed x1, Fixed y1, const RGBColor48* colour);
void DrawLineClippedPlanar(Q_Offscreen* offscreen, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                           const RGBColor48* colour, const SpanRegion* region);
void DrawLine8(Q_Offscreen* offscreen, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const RGBColor48* colour);
void DrawLineFixed8(Q_Offscreen* offscreen, Fixed x0, Fixed y0, Fixed x1, Fixed y1, const RGBColor48* colour);
void DrawLineClipped8(Q_Offscreen* offscreen, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                      const RGBColor48* colour, const SpanRegion* region);
void DrawLine16(Q_Offscreen* offscreen, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const RGBColor48* colour);
void DrawLineFixed16(Q_Offscreen* offscreen, Fixed x0, Fixed y0, Fixed x1, Fixed y1, const RGBColor48* colour);
void DrawLineClipped16(Q_Offscreen* offscreen, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                       const RGBColor48* colour, const SpanRegion* region);
void DrawLine24(Q_Offscreen* offscreen, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const RGBColor48* colour);
void DrawLineFixed24(Q_Offscreen* offscreen, Fixed x0, Fixed y0, Fixed x1, Fixed y1, const RGBColor48* colour);
void DrawLineClipped24(Q_Offscreen* offscreen, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                       const RGBColor48* colour, const SpanRegion* region);
void DrawLine32(Q_Offscreen* offscreen, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const RGBColor48* colour);
void DrawLineFixed32(Q_Offscreen* offscreen, Fixed x0, Fixed y0, Fixed x1, Fixed y1, const RGBColor48* colour);
void DrawLineClipped32(Q_Offscreen* offscreen, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                       const RGBColor48* colour, const SpanRegion* region);
