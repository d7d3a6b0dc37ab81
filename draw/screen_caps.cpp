// The recorded screen capabilities and the depths derived from them.
#include "draw/screen_caps.h"

namespace {
ScreenCaps gScreenCaps;
}  // namespace

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
    return OffscreenScreenDepth();
}

int32_t PaletteScreenDepthTwin()
{
    return PaletteScreenDepth();
}
