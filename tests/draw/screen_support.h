// Test support: screen capabilities of a chosen depth, installed for the life of a scope.
#pragma once

#include "draw/screen_caps.h"

// The capabilities of a screen of `depth` bits on one plane that can do block transfers; depths
// of 8 and below are palette screens with a 256-entry palette.
inline ScreenCaps ScreenOfDepth(int32_t depth)
{
    ScreenCaps caps;
    caps.blockTransfer = 1;
    caps.bitsPerPixel = depth;
    caps.planes = 1;
    caps.width = 1024;
    caps.height = 768;
    caps.numColors = depth <= 8 ? (1 << depth) : -1;
    if (depth == 8) {
        caps.paletteDevice = 1;
        caps.sizePalette = 256;
        caps.numReserved = 20;
        caps.colorRes = 18;
        caps.numColors = 20;
    }
    caps.rasterCaps = 0x0001 | (caps.paletteDevice ? 0x0100 : 0);  // RC_BITBLT, RC_PALETTE
    return caps;
}

class ScopedScreenCaps {
public:
    explicit ScopedScreenCaps(const ScreenCaps& caps) : saved_(GetScreenCaps()) { SetScreenCaps(caps); }
    explicit ScopedScreenCaps(int32_t depth) : ScopedScreenCaps(ScreenOfDepth(depth)) {}
    ~ScopedScreenCaps() { SetScreenCaps(saved_); }
    ScopedScreenCaps(const ScopedScreenCaps&) = delete;
    ScopedScreenCaps& operator=(const ScopedScreenCaps&) = delete;

private:
    ScreenCaps saved_;
};
