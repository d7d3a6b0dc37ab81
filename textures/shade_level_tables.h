// ShadeLevelTables: for each of 32 shade levels (0 full brightness to 31 black) and each of the 216
// colour-cube entries, the pixel values that draw that cube colour darkened to that level, in every
// pixel format. Two sets are kept: the source set, and the screen set that every user reads.
#pragma once

#include <cstdint>

class DynamicArray;

constexpr int32_t kShadeLevelCount = 32;
constexpr int32_t kShadeTableEntries = 216;  // one per colour-cube entry

// Groups of ShadeLevelEntry::ByteTables, one per packed pixel depth.
constexpr int32_t kByteTables1Bit = 0;
constexpr int32_t kByteTables2Bit = 1;
constexpr int32_t kByteTables4Bit = 2;
constexpr int32_t kByteTables8Bit = 3;

constexpr int32_t kShadeEntryOwnedArrays = 21;

// One shade level. Every table has kShadeTableEntries entries indexed by cube index; the tables
// that the screen's depth does not use hold zeros.
struct ShadeLevelEntry {
    // Four groups (kByteTables1Bit ..) of four picks p1 to p4 of a 2 x 2 dither, each pick replicated
    // across its byte (p1 even row even pixel, p2 even row odd pixel, p3 odd row even pixel, p4 odd
    // row odd pixel).
    uint8_t* ByteTables[4][4];
    uint32_t* PlanarPatternA;  // plane patterns of picks p1 and p2 of the 4-bit group (screen set only)
    uint32_t* PlanarPatternB;  // plane patterns of picks p3 and p4
    uint32_t* Pixels32;
    uint16_t* Pixels16;
    uint32_t* Pixels24;  // the three low bytes used
    // The arrays that own the tables: the 16 byte tables in order, then the five tables above.
    DynamicArray* owners[kShadeEntryOwnedArrays];
};

// The first entries of the two sets; null until built.
ShadeLevelEntry* ScreenShadeLevels();
ShadeLevelEntry* SourceShadeLevels();

// Builds both sets for the screen device's pixel format.
void BuildShadeLevelTables();
// Destroys every owned table and both sets; nothing when they were never built.
void FreeShadeLevelTables();
