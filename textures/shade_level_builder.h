// Building the shade level tables: for each of the 32 shade levels (0 full brightness, 31 black)
// and each colour-cube entry, the pixels that draw the cube colour darkened to that level on the
// screen device's pixel format, in a source set and a screen set (the entry layout and the two
// set pointers belong to the drawing layer, which remaps the screen set's 8-bit tables).
#pragma once

#include <cstdint>

#include "draw/shade_level_tables.h"

// The first byte table of each packed-depth group of ShadeLevelEntry::ByteTables (the 8-bit group
// starts at kByteTables8Bit); table j of a group holds pick j + 1.
constexpr int32_t kByteTables1Bit = 0;
constexpr int32_t kByteTables2Bit = 4;
constexpr int32_t kByteTables4Bit = 8;

// The tables owned by each entry: the 16 byte tables, then the two plane-pattern tables and the
// 32-, 16- and 24-bit pixel tables.
constexpr int32_t kShadeEntryTables = 21;

// Builds both sets from the screen device (the first of the device list), locked meanwhile, for
// its depth. Nothing happens without a screen device or when the sets exist already; when memory
// runs out the sets are not installed and everything made so far is freed.
void BuildShadeLevelTables();
// Destroys every table of both sets and the sets themselves; nothing when they were never built.
void FreeShadeLevelTables();
