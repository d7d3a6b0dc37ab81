// The textured span fillers: one horizontal run of destination pixels from a texture of 8-bit
// colour-cube indices, u and v stepped by constant increments per pixel and each texel translated
// through a table into the destination's pixel format. 96 fillers, 16 rows of texture options
// (wrap kinds, transparent texel 0, power-of-two masks) by 6 columns of pixel formats, gathered
// into TexSpanTable; each is a loop of its own with nothing tested per pixel.
#pragma once

#include <array>
#include <cstdint>

#include "foundation/fixed.h"

// Depth modes: how the destination packs its pixels.
constexpr int32_t kTexDepth1Bit = 0;   // 8 pixels per byte
constexpr int32_t kTexDepth2Bit = 1;   // 4 pixels per byte
constexpr int32_t kTexDepth4Bit = 2;   // 2 pixels per byte
constexpr int32_t kTexDepth8Bit = 3;
constexpr int32_t kTexDepth16Bit = 4;
constexpr int32_t kTexDepth24Bit = 5;
constexpr int32_t kTexDepth32Bit = 6;
constexpr int32_t kTexDepthPlanar = 7;  // 16 colours in four bit planes, 8 pixels per byte of each

// Columns of the table.
constexpr int32_t kTexColumnPacked = 0;  // depth modes 0, 1 and 2
constexpr int32_t kTexColumn8 = 1;
constexpr int32_t kTexColumn16 = 2;
constexpr int32_t kTexColumn24 = 3;
constexpr int32_t kTexColumn32 = 4;
constexpr int32_t kTexColumnPlanar = 5;
constexpr int32_t kTexColumns = 6;
constexpr int32_t kTexRows = 16;

// Row bits.
constexpr int32_t kTexRowMirrorV = 1;      // v repeats with every second copy mirrored
constexpr int32_t kTexRowMirrorU = 2;      // u likewise
constexpr int32_t kTexRowTransparent = 4;  // texel 0 leaves the destination pixel unchanged
constexpr int32_t kTexRowPowerOfTwo = 8;   // both sizes powers of two: wrapping by masks

// One span, filled anew for each call.
struct TexSpanRecord {
    int32_t count;  // pixels to write, above 0
    Fixed u;        // texture column, 16.16
    Fixed du;       // per pixel
    Fixed v;        // texture row, 16.16
    Fixed dv;
    // Translation tables indexed by texel: table A for even pixels (the only table of the 16-,
    // 24-, 32-bit and planar columns), table B for odd pixels (8-bit and packed columns). Entries
    // are bytes (packed: the value repeated at every pixel position; 8-bit: the pixel), 16-bit
    // pixels, 24-bit pixels in the low three bytes of a word, 32-bit pixels, or four plane bytes
    // (plane 0 the highest).
    const void* tableA;
    const void* tableB;
    uint8_t* destination;  // the byte holding the first pixel (not the planar column)
    uint8_t* planes;       // the plane-0 byte holding the first pixel (planar column only)
    int32_t widthMask;     // texture width - 1
    int32_t width;         // texels
    int32_t heightMask;
    int32_t height;
    uint8_t* const* rows;  // start of each texture row, one byte per texel
    int32_t planeStride;   // bytes from one plane to the next (planar column only)
};

using TexSpanFiller = void (*)(const TexSpanRecord* span);

// The 96 fillers, looked up at row x 6 + column.
extern const std::array<TexSpanFiller, kTexRows * kTexColumns> TexSpanTable;

// Written by the textured rasterisers, read by the fillers: the depth mode of the destination
// (at the start of every fill) and the position of a span's first pixel inside its destination
// byte (x mod pixels per byte, for the packed and planar modes, before each span).
extern int32_t TexDepthMode;
extern int32_t TexBitPhase;

// The packed and planar fillers step u and v before each fetch (their first pixel samples at
// u + du); the byte-per-pixel fillers fetch first and step after.
constexpr bool TexColumnStepsFirst(int32_t column)
{
    return column == kTexColumnPacked || column == kTexColumnPlanar;
}
