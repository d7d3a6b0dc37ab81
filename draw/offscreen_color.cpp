// Colour matching on an offscreen, through the colour-match block it borrowed from the screen
// device and the depth of its pixels.
#include "draw/q_offscreen.h"

uint32_t Q_Offscreen::MatchColorDithered(const RGBColor48& colour) const
{
    return ::MatchColorDithered(match_, colour);
}

uint32_t Q_Offscreen::ColorToPixel(const RGBColor48& colour) const
{
    if (!match_.matchCache) return TrueColorPixel(colour);
    return PackDitherPattern(MatchColorDithered(colour), PixelDepth());
}

uint32_t Q_Offscreen::ColorToPixelFill(const RGBColor48& colour) const
{
    if (!match_.matchCache) return TrueColorPixel(colour);
    return PackFillPattern(MatchColorDithered(colour), PixelDepth());
}

int32_t Q_Offscreen::PixelDepth() const
{
    return format_.pixelAccess ? format_.planes * format_.bitsPerPixel : depth_;
}
