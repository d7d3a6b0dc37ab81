// The colour cube and its component-to-index tables.
#include "draw/color_cube.h"

#include <algorithm>
#include <array>

#include "foundation/dynamic_array.h"

DynamicArray* ColorCube = nullptr;

namespace {

constexpr int32_t kLevels = 6;

// The level nearest to each high byte: between two neighbouring levels a > b the boundary is
// (a + b) >> 1, which belongs to the darker level.
constexpr std::array<int32_t, 256> MakeLevelOfByte()
{
    std::array<int32_t, 256> level{};
    for (int32_t k = 0; k + 1 < kLevels; ++k) {
        const int32_t a = kColorCubeLevels[k] >> 8;
        const int32_t b = kColorCubeLevels[k + 1] >> 8;
        const int32_t middle = (a + b) >> 1;
        for (int32_t v = b; v <= a; ++v) level[v] = v > middle ? k : k + 1;
    }
    return level;
}

constexpr std::array<int32_t, 256> kLevelOfByte = MakeLevelOfByte();

uint16_t Clamp16(int32_t v)
{
    return uint16_t(std::clamp(v, 0, 0xFFFF));
}

}  // namespace

void BuildColorCube()
{
    if (ColorCube) return;
    ColorCube = NewDynamicArray(kColorCubeSize, sizeof(RGBColor48), 1);
    if (!ColorCube) return;
    for (int32_t i = 0; i < kColorCubeSize; ++i) *ColorCube->At<RGBColor48>(i) = ColorCubeColour(i);
}

void DestroyColorCube()
{
    if (ColorCube) ColorCube->Destroy();
    ColorCube = nullptr;
}

int32_t ColorCubeIndex(const RGBColor48& colour)
{
    return 36 * kLevelOfByte[colour.red >> 8] + 6 * kLevelOfByte[colour.green >> 8] +
           kLevelOfByte[colour.blue >> 8];
}

void ColorCubeEntry(RGBColor48* colour, int32_t index)
{
    BuildColorCube();
    // An index outside the cube leaves the colour as it was.
    if (ColorCube) IgnoreResult(ColorCube->ArrayGet(index, colour));
}

void ColorToDitherQuad(const RGBColor48& colour, uint8_t picks[4])
{
    int32_t errorRed = 0;
    int32_t errorGreen = 0;
    int32_t errorBlue = 0;
    RGBColor48 current = colour;
    for (int32_t pick = 0; pick < 4; ++pick) {
        const int32_t index = ColorCubeIndex(current);
        const RGBColor48 chosen = ColorCubeColour(index);
        errorRed += colour.red - chosen.red;
        errorGreen += colour.green - chosen.green;
        errorBlue += colour.blue - chosen.blue;
        current = {Clamp16(colour.red + errorRed), Clamp16(colour.green + errorGreen),
                   Clamp16(colour.blue + errorBlue)};
        picks[pick] = uint8_t(index);
    }
}
