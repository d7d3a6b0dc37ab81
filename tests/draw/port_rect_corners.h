// A port rectangle as one value (left, top, right, bottom) that the tests compare and print.
#pragma once

#include <array>
#include <cstdint>

#include "draw/port_base.h"

inline std::array<int32_t, 4> CornersOf(const PortRect& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}
