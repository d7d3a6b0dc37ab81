// Shade level tables: for each of 32 shade levels (0 full brightness, 31 black) and each of the
// 216 cube colours, the pixel values that draw the colour at that level in every pixel format.
// The texture manager builds a source set and a screen set; the rasterizers read the screen set;
// the drawing layer rewrites the screen set's 8-bit tables for the screen's colour table.
#pragma once

#include <cstdint>

class DynamicArray;

constexpr int32_t kShadeLevelCount = 32;

struct ShadeLevelEntry {
    // Four groups of four tables of 216 bytes: group 0 for 1-bit, 1 for 2-bit, 2 for 4-bit and
    // 3 for 8-bit pixels; table j of a group holds pick j + 1 of the 2 x 2 dither cell.
    uint8_t* ByteTables[16];
    uint32_t* PlanarPatternA;  // plane patterns of picks 1 and 2 of group 2
    uint32_t* PlanarPatternB;  // plane patterns of picks 3 and 4 of group 2
    uint32_t* Pixels32;
    uint16_t* Pixels16;
    uint32_t* Pixels24;  // three low bytes used
    // The arrays that own the tables above, in the same order.
    DynamicArray* owners[21];
};

// The first of the 8-bit group's byte tables.
constexpr int32_t kByteTables8Bit = 12;

// The two sets (32 entries each), null until the texture manager has built them.
extern ShadeLevelEntry* ShadeLevelSourceSet;
extern ShadeLevelEntry* ShadeLevelScreenSet;

// Rewrites the screen set's 8-bit byte tables through the screen's colour table: each source
// pick, a cube index, becomes the pixel value of that colour-table entry. Runs only where the
// source picks are cube indices (an 8-bit palette screen of at least 236 entries whose device
// has a colour table); picks outside the colour table leave their entry as it was.
void RemapShadeLevelTables();
