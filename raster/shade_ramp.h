// Shade ramps: for one shaded polygon, the colour of every shade level for the polygon's
// colour-cube index, gathered from the shade level tables once so that each pixel costs one read.
// 34 entries: level 0, levels 0 to 31, level 31; indexed from the second entry, so that the level
// indices -1 and 32 that interpolation and dithering can reach repeat the end levels.
#pragma once

#include <algorithm>
#include <cstdint>

#include "draw/color_cube.h"
#include "textures/shade_level_builder.h"

namespace raster {

constexpr int32_t kShadeRampEntries = kShadeLevelCount + 2;

template <class T>
struct ShadeRamp {
    T entries[kShadeRampEntries];

    // The ramp indexed by level, -1 to 32.
    const T* Levels() const { return entries + 1; }

    // Fills the ramp with element `rampByte` of the table that `tableOf` picks from each level.
    // A byte beyond the tables is taken as the last cube entry; a missing table gives zeros.
    template <class TableOf>
    void Build(const ShadeLevelEntry* levels, int32_t rampByte, TableOf tableOf)
    {
        const int32_t index = std::clamp<int32_t>(rampByte, 0, kColorCubeSize - 1);
        for (int32_t level = 0; level < kShadeLevelCount; ++level) {
            const auto* table = tableOf(levels[level]);
            entries[level + 1] = table ? T(table[index]) : T(0);
        }
        entries[0] = entries[1];
        entries[kShadeRampEntries - 1] = entries[kShadeRampEntries - 2];
    }
};

// The intensity range the ramps serve: below 0 the ramp's first guard answers, and values up to
// just below 32.0 plus a jitter below 1.0 reach at most level 32.
constexpr Fixed kLowestIntensity = 0;
constexpr Fixed kHighestIntensity = 0x1FFFFF;

// Intensities as the polygon routines take them from their value lists: below 0 becomes 0, 32.0 or
// more becomes exactly 31.0.
constexpr Fixed ClampPointIntensity(Fixed v)
{
    return v < 0 ? 0 : (v >= IntToFixed(kShadeLevelCount) ? IntToFixed(kShadeLevelCount - 1) : v);
}

// The per-pixel intensity step of a span of `length` pixels from `left` to `right`: exactly
// FixDiv(right - left, length << 16), which truncates the quotient towards zero.
inline Fixed SpanIntensityStep(Fixed left, Fixed right, int32_t length)
{
    return Fixed((int64_t(right) - left) / length);
}

}  // namespace raster
