// Colour matching: the colour-match block of a screen device (match cache, colour table and
// channel tables), the dithered matcher that picks four colour-table pixels for a colour, and the
// packers that turn the picks into the 32-bit pixel patterns the rasterizers store.
#pragma once

#include <cstdint>

#include "foundation/rgb_color.h"

class DynamicArray;

// One colour of a device's colour table: the colour's 8-bit channels and the pixel showing it.
struct ColorTableEntry {
    uint16_t red;
    uint16_t green;
    uint16_t blue;
    uint16_t pixel;
};

// Built into a screen device offscreen, borrowed by every other offscreen. An indexed device has
// a match cache and a colour table, a true-colour device the three channel tables.
struct ColorMatchBlock {
    DynamicArray* matchCache = nullptr;  // 17 x 17 x 17 words of cached picks
    DynamicArray* colorTable = nullptr;  // ColorTableEntry
    DynamicArray* redTable = nullptr;    // 256 words: the pixel bits of each channel value
    DynamicArray* greenTable = nullptr;
    DynamicArray* blueTable = nullptr;
};

constexpr uint32_t kEmptyMatch = 0xFF00FF00;  // a match cache entry not filled yet
constexpr int32_t kMatchCacheEntries = 17 * 17 * 17;

// Four colour-table pixels for the colour, the first pick in the high byte, each pick carrying the
// error of the last into the next; cached per 17-level quantisation. On a device without a match
// cache the true-colour pixel.
uint32_t MatchColorDithered(const ColorMatchBlock& block, const RGBColor48& colour);
// The true-colour pixel from the published channel tables; 0 when none are published.
uint32_t TrueColorPixel(const RGBColor48& colour);

// The 2 x 2 dither pattern of four picks for a depth: one row in the low half, the next in the
// high half. Depths other than 1, 2, 4 and 8 take the word as it is.
uint32_t PackDitherPattern(uint32_t picks, int32_t depth);
// A word filled with one pick: the first, or on 1-bit pixels the second.
uint32_t PackFillPattern(uint32_t picks, int32_t depth);
