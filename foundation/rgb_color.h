// RGBColor48: a colour as three unsigned 16-bit channels.
#pragma once

#include <cstdint>

struct RGBColor48 {
    uint16_t red;
    uint16_t green;
    uint16_t blue;
};

constexpr RGBColor48 kBlackColor = {0, 0, 0};
constexpr RGBColor48 kWhiteColor = {0xFFFF, 0xFFFF, 0xFFFF};
