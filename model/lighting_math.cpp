// Light sums and shade levels.
#include "model/lighting_math.h"

#include "foundation/loop_turns.h"
#include "model/light.h"

RGBColor48 SumLighting(const LightList* lights, const RGBColor48& colour, const ShortVector3& normal)
{
    uint32_t red = 0;
    uint32_t green = 0;
    uint32_t blue = 0;
    const int32_t count = lights ? lights->ArrayCount() : 0;
    for (int32_t i = 0; i < count; ++i) {
        const Light* light = lights->LightListGet(i);
        if (!light || !light->On) continue;
        // The products of 16-bit components can exceed 32 bits for vectors longer than 256; the
        // sum is taken in 64 bits and clamped, which is the same for every unit vector.
        int64_t dot = int64_t(light->Direction[0]) * normal.x + int64_t(light->Direction[1]) * normal.y +
                      int64_t(light->Direction[2]) * normal.z;
        if (light->LightIsAmbient()) dot = 65536;
        if (dot < 0) dot = 0;
        if (dot > 0x7FFFFFFF) dot = 0x7FFFFFFF;
        const uint32_t d = uint32_t(dot);
        red += (((uint32_t(light->Colour.red) * colour.red) >> 16) * d) >> 16;
        green += (((uint32_t(light->Colour.green) * colour.green) >> 16) * d) >> 16;
        blue += (((uint32_t(light->Colour.blue) * colour.blue) >> 16) * d) >> 16;
    }
    CountTurns(count);
    auto clamp = [](uint32_t v) { return uint16_t(v < 65536 ? v : 65535); };
    return {clamp(red), clamp(green), clamp(blue)};
}

Fixed ShadeLevel(const LightList* lights, int32_t levels, const ShortVector3& normal)
{
    const RGBColor48 lit = SumLighting(lights, {65535, 65535, 65535}, normal);
    const double luminance = (0.299 * lit.red + 0.587 * lit.green + 0.114 * lit.blue) / 65535.0;
    const double level = (levels - 1) - luminance * (levels - 1);
    return X2Fix(level);
}

int32_t ShadeEntryOf(const LightList* lights, const ShortVector3& normal)
{
    if (!lights) return kShadeLevels - 1;
    const int32_t whole = FixedFloor(ShadeLevel(lights, kShadeLevels, normal));
    return whole < 0 ? 0 : whole > kShadeLevels - 1 ? kShadeLevels - 1 : whole;
}
