// The textured polygon rasteriser: draws a projected texture-mapped face into the locked
// destination offscreen. The face is clipped to the frame's region, set up for the texture and
// the destination's pixel format, and filled row by row through one span filler: in one affine
// pass when its vertices share one depth, else piece by piece after perspective subdivision.
#pragma once

#include <cstdint>

#include "raster/polygon_clip.h"
#include "raster/textured_fill.h"

class DynamicArray;
class Q_Offscreen;
class SpanRegion;

// The entry for one face: texture coordinates (TextureCoord per vertex, flipped in place by the
// set-up), device points (DevicePoint, whose count is the vertex count), the face's projected
// vertex records (only each one's reciprocal depth is read) and the frame's region. 0 when the
// region is missing or empty, else DrawTexturedPolygon's result; the destination's raster
// globals are published again afterwards.
int32_t DrawTexturedPolygons(Q_Offscreen* destination, DynamicArray* coords, const DynamicArray* devicePoints,
                             const DynamicArray* projected, SpanRegion* region, const TextureSource* source);

// The face as 16.16 device positions with reciprocal depth (x, y, w). 0 when the count is below
// 3, when there is no region, or when the face was drawn; 1 when the clip left nothing.
int32_t DrawTexturedPolygon(Q_Offscreen* destination, DynamicArray* coords, const ClipPoint3* vertices, int32_t count,
                            const SpanRegion* region, const TextureSource* source);
