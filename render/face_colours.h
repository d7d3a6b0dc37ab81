// The colour rules that flat faces, faces drawn in layers and polygon elements share: a colour
// seen through the see-through faces in front (the blend value: R | G << 16 and B | coverage << 16,
// coverage below 0x1000 meaning nothing in front and above 0xEFFF an opaque front), and the edge
// colour of a face.
#pragma once

#include <algorithm>
#include <cstdint>

#include "foundation/rgb_color.h"

// Coverage values of the blend.
constexpr uint32_t kNothingInFront = 0x1000;  // below: nothing in front
constexpr uint32_t kOpaqueInFront = 0xEFFF;   // above: the front is opaque

constexpr uint32_t BlendCoverage(uint32_t blendCoverage) { return blendCoverage >> 16; }
constexpr uint32_t PackBlendColour(const RGBColor48& c) { return uint32_t(c.red) | (uint32_t(c.green) << 16); }
constexpr uint32_t PackBlendCoverage(const RGBColor48& c, uint32_t coverage)
{
    return uint32_t(c.blue) | (coverage << 16);
}
constexpr RGBColor48 UnpackBlendColour(uint32_t blendColour, uint32_t blendCoverage)
{
    return {uint16_t(blendColour & 0xFFFF), uint16_t(blendColour >> 16), uint16_t(blendCoverage & 0xFFFF)};
}

// (channel x k + 0x7FFF) >> 16 added to the blend channel, at most 0xFFFF.
inline RGBColor48 AddShare(const RGBColor48& blend, const RGBColor48& colour, uint32_t k)
{
    auto channel = [k](uint16_t b, uint16_t c) {
        return uint16_t(std::min<uint32_t>(0xFFFF, b + ((uint32_t(c) * k + 0x7FFF) >> 16)));
    };
    return {channel(blend.red, colour.red), channel(blend.green, colour.green), channel(blend.blue, colour.blue)};
}

// An opaque colour seen through the see-through faces in front: the blend colour plus the
// colour's share of what the coverage leaves; an opaque front shows the blend colour alone when
// `opaqueShowsBlend`, else the colour itself.
inline RGBColor48 BlendedColour(const RGBColor48& colour, uint32_t blendColour, uint32_t blendCoverage,
                                bool opaqueShowsBlend)
{
    const uint32_t t = BlendCoverage(blendCoverage);
    const RGBColor48 blend = UnpackBlendColour(blendColour, blendCoverage);
    if (t > kOpaqueInFront && opaqueShowsBlend) return blend;
    if (t < kNothingInFront || t > kOpaqueInFront) return colour;
    const uint32_t k = ((t ^ 0xFFFF) * 0xFFFF + 0x7FFF) >> 16;
    return AddShare(blend, colour, k);
}

// The edge colour of a face: three quarters of each channel.
constexpr RGBColor48 ThreeQuarters(const RGBColor48& c)
{
    return {uint16_t((c.red >> 2) + (c.red >> 1)), uint16_t((c.green >> 2) + (c.green >> 1)),
            uint16_t((c.blue >> 2) + (c.blue >> 1))};
}
