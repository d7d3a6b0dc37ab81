// Device point lists: a face's screen points (pixels from the view centre, y up) brought into
// port coordinates around the view origin and packed into the work lists of the current render
// context, with repeated
// neighbours and the closing repeat dropped, and the per-vertex shading values, projected
// records and texture coordinates carried alongside. Each list is valid until the next face.
#pragma once

#include <cstdint>

#include "foundation/fixed.h"
#include "foundation/result_code.h"
#include "raster/device_point_list.h"

class DynamicArray;

// The view origin of the current render context: the port point of the view centre (0, 0 until
// set).
void SetViewOrigin(int32_t x, int32_t y);
void GetViewOrigin(int32_t* x, int32_t* y);

// The current context's lists: device points (8 bytes), values (4), projected records (14) and
// texture coordinates (8). Made by the face front end's start-up, or on first use.
ResultCode InitDevicePointLists();
void FreeDevicePointLists();

// The order flag: non-zero walks the corners in stored order, zero in reverse. Index lists are
// a face's 16-bit indices or its 32-bit clipped list (DrawnIndexAt).
DevicePointList* BuildDevicePoly(const DynamicArray* vertices, int32_t order);
DevicePointList* BuildIndexedDevicePoly(const DynamicArray* vertices, const DynamicArray* indices, int32_t order);
void BuildShadedDevicePoly(const DynamicArray* vertices, int32_t order, const DynamicArray* values,
                           DevicePointList** points, DeviceValueList** valuesOut);
void BuildIndexedShadedDevicePoly(const DynamicArray* vertices, const DynamicArray* indices, int32_t order,
                                  const DynamicArray* values, DevicePointList** points, DeviceValueList** valuesOut);
// Points and projected records by vertex index, texture pairs by corner, v flipped against the
// texture's height.
void BuildTexturedDevicePoly(const DynamicArray* vertices, const DynamicArray* records, const DynamicArray* pairs,
                             const DynamicArray* indices, int32_t textureHeight, int32_t order,
                             DevicePointList** points, DynamicArray** recordsOut, DynamicArray** coordsOut);
void BuildElementTexturedDevicePoly(const DynamicArray* vertices, const DynamicArray* records,
                                    const DynamicArray* pairs, int32_t textureHeight, int32_t order,
                                    DevicePointList** points, DynamicArray** recordsOut, DynamicArray** coordsOut);

// Without dropping repeats; the reverse flag (non-zero) reverses.
DevicePointList* CopyPointList(const DynamicArray* vertices, int32_t reverse);
DevicePointList* BuildIndexedDevicePolyAll(const DynamicArray* vertices, const DynamicArray* indices,
                                           int32_t reverse);
DevicePointList* BuildDevicePolyAll(const DynamicArray* vertices, int32_t reverse);
DynamicArray* FlipTextureCoords(const DynamicArray* pairs, int32_t height, int32_t reverse);
DynamicArray* FlipTextureCoordsDedup(const DynamicArray* pairs, int32_t height, int32_t order);
