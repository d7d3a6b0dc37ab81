// RGBColor48: a colour as three unsigned 16-bit channels.
#pragma once

#include <cstdint>

struct RGBColor48 {
    uint16_t red;
    uint16_t green;
    uint16_t blue;
};
