// OffscreenPixelAccess: the offscreens the picture readers decode into, and their sizes.
#include "textures/offscreen_pixel_access.h"

#include <new>

#include "draw/q_offscreen.h"

ResultCode OffscreenPixelAccess::Make(Q_Offscreen** result, const PortRect& rect, int32_t depth)
{
    *result = new (std::nothrow) Q_Offscreen;
    if (!*result) return kResultFailed;
    return (*result)->QOffscreenInit(rect, depth, nullptr);
}

void OffscreenPixelAccess::Dispose(Q_Offscreen** result)
{
    if (*result) (*result)->DisposeOffscreen();
    *result = nullptr;
}

int32_t OffscreenPixelAccess::Width(const Q_Offscreen* offscreen)
{
    return offscreen ? offscreen->PortBounds().Width() : 0;
}

int32_t OffscreenPixelAccess::Height(const Q_Offscreen* offscreen)
{
    return offscreen ? offscreen->PortBounds().Height() : 0;
}
