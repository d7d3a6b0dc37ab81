// Device point lists: the polygons the rasterizers consume, as integer pixel points in device
// coordinates (y growing downwards), clockwise on the screen, with no repeated or closing point.
#pragma once

#include <cstdint>

#include "foundation/dynamic_array.h"

struct DevicePoint {
    int32_t x;
    int32_t y;
};

// A DynamicArray of DevicePoint elements (8 bytes each).
using DevicePointList = DynamicArray;

// A DynamicArray of one Fixed intensity per point, parallel to a DevicePointList.
using DeviceValueList = DynamicArray;
