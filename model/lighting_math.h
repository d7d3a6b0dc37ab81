// The lighting arithmetic that the scene model and the renderer share: the colour a light list
// gives a face of some colour and normal, and the shade level (0 brightest) of that light.
#pragma once

#include <cstdint>

#include "foundation/fixed.h"
#include "foundation/rgb_color.h"
#include "model/short_vector.h"

class LightList;

// The lit colour: every light that is on adds its colour times the surface colour times the
// cosine of the angle (8.8 vectors of length 256); an ambient light shines fully. Channels are
// clamped to 65535.
RGBColor48 SumLighting(const LightList* lights, const RGBColor48& colour, const ShortVector3& normal);

// The shade level of white lit by the lights, as a Fixed value from 0 (full light) to
// levels - 1 (no light); callers take its integer part.
Fixed ShadeLevel(const LightList* lights, int32_t levels, const ShortVector3& normal);

// Shade levels of the shade-level tables: 0 full brightness to kShadeLevels - 1 black.
constexpr int32_t kShadeLevels = 32;

// The shade-level table entry for a side lit by the lights from the normal's direction: the
// integer part of ShadeLevel, kept within the table; the darkest entry without lights.
int32_t ShadeEntryOf(const LightList* lights, const ShortVector3& normal);

// The vector pointing the other way, each component clamped to 16 bits.
constexpr ShortVector3 NegatedVector(const ShortVector3& v)
{
    return {ClampToShort(-int32_t(v.x)), ClampToShort(-int32_t(v.y)), ClampToShort(-int32_t(v.z))};
}
