// The per-colour steps of the shade table build.
#include "textures/shade_picks.h"

#include <utility>

void ArrangeDitherPicks(uint8_t picks[4])
{
    if (picks[0] == picks[2] || picks[3] == picks[1])
        std::swap(picks[2], picks[3]);
    else if (picks[0] == picks[1] || picks[3] == picks[2])
        std::swap(picks[1], picks[3]);
}

uint8_t ReplicatePick(uint8_t pick, int32_t bits)
{
    uint32_t v = pick;
    if (bits <= 1) v = (v << 1) | v;
    if (bits <= 2) v = (v << 2) | v;
    if (bits <= 4) v = (v << 4) | v;
    return uint8_t(v);
}

uint32_t PlanarPattern(uint8_t first, uint8_t second)
{
    uint32_t pattern = 0;
    for (int32_t plane = 0; plane < 4; ++plane) {
        uint32_t byte = 0;
        if ((first >> plane) & 1) byte |= 0xAA;
        if ((second >> plane) & 1) byte |= 0x55;
        pattern |= byte << (8 * (3 - plane));
    }
    return pattern;
}
