// PortRect: a rectangle in port or device coordinates, right and bottom exclusive, laid out as
// the system's RECT; the one test of whether a point lies inside a rectangle.
#pragma once

#include <cstdint>

struct PortRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    // Left and top edges inside, right and bottom outside.
    bool Contains(int32_t x, int32_t y) const { return x >= left && x < right && y >= top && y < bottom; }
};
