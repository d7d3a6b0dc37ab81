// The dithered colour matcher and the pixel pattern packers.
#include "draw/color_match.h"

#include <cstdlib>

#include "draw/raster_globals.h"
#include "foundation/dynamic_array.h"

namespace {

constexpr int32_t kFarthest = 198000;

int32_t Distance(int32_t dr, int32_t dg, int32_t db)
{
    return 4 * std::abs(dr - dg) + std::abs(dg - db) + std::abs(dr - db) + (std::abs(dr) & ~7) +
           (std::abs(dg) & ~7) + (std::abs(db) & ~7);
}

// The value v repeated in every `bits`-wide field of a 16-bit half.
uint32_t Repeat16(uint32_t v, int32_t bits)
{
    uint32_t half = 0;
    for (int32_t shift = 0; shift < 16; shift += bits) half |= v << shift;
    return half;
}

uint32_t Pick(uint32_t picks, int32_t n)  // n = 1 (high byte) to 4 (low byte)
{
    return (picks >> (8 * (4 - n))) & 0xFF;
}

}  // namespace

uint32_t TrueColorPixel(const RGBColor48& colour)
{
    if (!PublishedRaster.redTable) return 0;
    return PublishedRaster.redTable[colour.red >> 8] | PublishedRaster.greenTable[colour.green >> 8] |
           PublishedRaster.blueTable[colour.blue >> 8];
}

uint32_t MatchColorDithered(const ColorMatchBlock& block, const RGBColor48& colour)
{
    if (!block.matchCache) return TrueColorPixel(colour);
    const int32_t r = colour.red >> 8;
    const int32_t g = colour.green >> 8;
    const int32_t b = colour.blue >> 8;
    const int32_t slot = ((r + 8) >> 4) * 289 + ((g + 8) >> 4) * 17 + ((b + 8) >> 4);
    uint32_t* cached = block.matchCache->At<uint32_t>(slot);
    if (cached && *cached != kEmptyMatch) return *cached;

    const int32_t count = block.colorTable ? block.colorTable->ArrayCount() : 0;
    if (count == 0) return 0;
    const ColorTableEntry* table = block.colorTable->Elements<ColorTableEntry>();
    const int32_t target[3] = {(r + 8) & ~15, (g + 8) & ~15, (b + 8) & ~15};
    int32_t wanted[3] = {target[0], target[1], target[2]};
    uint32_t result = 0;
    for (int32_t pick = 0; pick < 4; ++pick) {
        int32_t best = 0;
        int32_t bestDistance = kFarthest;
        for (int32_t e = 0; e < count; ++e) {
            const int32_t d = Distance(table[e].red - wanted[0], table[e].green - wanted[1],
                                       table[e].blue - wanted[2]);
            if (d < bestDistance) {
                bestDistance = d;
                best = e;
            }
        }
        const ColorTableEntry& chosen = table[best];
        wanted[0] = target[0] + (wanted[0] - chosen.red);
        wanted[1] = target[1] + (wanted[1] - chosen.green);
        wanted[2] = target[2] + (wanted[2] - chosen.blue);
        result = (result << 8) | (chosen.pixel & 0xFF);
    }
    if (cached) *cached = result;
    return result;
}

uint32_t PackDitherPattern(uint32_t picks, int32_t depth)
{
    const uint32_t p1 = Pick(picks, 1);
    const uint32_t p2 = Pick(picks, 2);
    const uint32_t p3 = Pick(picks, 3);
    const uint32_t p4 = Pick(picks, 4);
    switch (depth) {
    case 8:
        return p4 | p3 << 8 | p1 << 16 | p2 << 24;
    case 4:
        return Repeat16((p3 & 15) << 4 | (p4 & 15), 8) | Repeat16((p2 & 15) << 4 | (p1 & 15), 8) << 16;
    case 2:
        return Repeat16((p3 & 3) << 2 | (p4 & 3), 4) | Repeat16((p2 & 3) << 2 | (p1 & 3), 4) << 16;
    case 1:
        return Repeat16((p3 & 1) << 1 | (p4 & 1), 2) | Repeat16((p2 & 1) << 1 | (p1 & 1), 2) << 16;
    default:
        return picks;
    }
}

uint32_t PackFillPattern(uint32_t picks, int32_t depth)
{
    switch (depth) {
    case 8:
        return Pick(picks, 1) * 0x01010101u;
    case 4:
        return (Pick(picks, 1) & 15) * 0x11111111u;
    case 2:
        return (Pick(picks, 1) & 3) * 0x55555555u;
    case 1:
        return (Pick(picks, 2) & 1) ? 0xFFFFFFFFu : 0;
    default:
        return picks;
    }
}
