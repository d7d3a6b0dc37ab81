// The recorded screen capabilities and the depths derived from them.
#include "draw/screen_caps.h"

namespace {
ScreenCaps gScreenCaps;
}  // namespace

ScreenCaps ScreenCapsOfDepth(int32_t depth)
{
    constexpr int32_t kRcBitBlt = 0x0001;
    constexpr int32_t kRcPalette = 0x0100;
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
    caps.rasterCaps = kRcBitBlt | (caps.paletteDevice ? kRcPalette : 0);
    return caps;
}

void SetScreenCaps(const ScreenCaps& caps)
{
    gScreenCaps = caps;
}

const ScreenCaps& GetScreenCaps()
{
    return gScreenCaps;
}

int32_t ScreenDepth()
{
    return gScreenCaps.planes * gScreenCaps.bitsPerPixel;
}

int32_t OffscreenScreenDepth()
{
    return gScreenCaps.blockTransfer ? ScreenDepth() : 0;
}

int32_t PaletteScreenDepth()
{
    return gScreenCaps.paletteDevice ? ScreenDepth() : 0;
}

int32_t PaletteScreenDepthTwin()
{
    return PaletteScreenDepth();
}
