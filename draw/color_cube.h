// The colour cube: the fixed 6 x 6 x 6 colours with channel levels 0xFFFF, 0xCCCC, 0x9999,
// 0x6666, 0x3333 and 0 (entry 0 white, entry 215 black), the tables that map a channel's high
// byte to its nearest level, and the four-pick cube dither.
#pragma once

#include <cstdint>

#include "foundation/rgb_color.h"

class DynamicArray;

constexpr int32_t kColorCubeSize = 216;

// The channel value of each of the cube's six levels, lightest first.
constexpr uint16_t kColorCubeLevels[6] = {0xFFFF, 0xCCCC, 0x9999, 0x6666, 0x3333, 0x0000};

// The colour of cube entry `index` (0 to 215).
constexpr RGBColor48 ColorCubeColour(int32_t index)
{
    return {kColorCubeLevels[index / 36], kColorCubeLevels[index / 6 % 6], kColorCubeLevels[index % 6]};
}

// The cube: a DynamicArray of 216 RGBColor48, red level outermost; null until built.
extern DynamicArray* ColorCube;

// Makes the cube array (nothing when it exists); the index tables are fixed data.
void BuildColorCube();
// Destroys the cube (with the program palette).
void DestroyColorCube();

// 36 x red level + 6 x green level + blue level of the levels nearest to the channels.
int32_t ColorCubeIndex(const RGBColor48& colour);
// Copies cube entry `index` out; nothing when the index is outside the cube.
void ColorCubeEntry(RGBColor48* colour, int32_t index);
// Four cube indices whose mean approximates the colour, the error of each pick carried into the
// next.
void ColorToDitherQuad(const RGBColor48& colour, uint8_t picks[4]);
