// Copies between an offscreen and other ports: a block transfer when both give a DC, else the
// averaging pixel copy; and the masked copy into an offscreen.
#include <windows.h>

#include "draw/q_offscreen.h"

namespace {

// A port without a DC can only take part in the pixel copy when it is an offscreen or a pixel
// map, both of which are Q_Offscreen objects.
Q_Offscreen* PixelPort(PortBase* port)
{
    return port->GetPortKind() == kPortOffscreen ? static_cast<Q_Offscreen*>(port) : nullptr;
}

}  // namespace

void Q_Offscreen::CopyOffscreenToPort(PortBase* destination, const PortRect& source, const PortRect& target)
{
    CopyOffscreenToPortRop(destination, source, target, SRCCOPY);
}

void Q_Offscreen::CopyPortToOffscreen(PortBase* source, const PortRect& from, const PortRect& target)
{
    CopyPortToOffscreenRop(source, from, target, SRCCOPY);
}

void Q_Offscreen::CopyOffscreenToPortRop(PortBase* destination, const PortRect& source,
                                         const PortRect& target, uint32_t rasterOperation)
{
    PortRect ignored;
    HDC sourceDC = GetDrawingDC(&ignored);
    HDC destinationDC = destination->GetDrawingDC(&ignored);
    if (sourceDC && destinationDC)
        BlitRect(sourceDC, destinationDC, source, target, rasterOperation);
    else if (Q_Offscreen* pixels = PixelPort(destination))
        ScaledPixelCopy(pixels, source, target);
    destination->ReleaseDrawingDC(destinationDC);
    ReleaseDrawingDC(sourceDC);
}

void Q_Offscreen::CopyPortToOffscreenRop(PortBase* source, const PortRect& from, const PortRect& target,
                                         uint32_t rasterOperation)
{
    PortRect ignored;
    HDC sourceDC = source->GetDrawingDC(&ignored);
    HDC destinationDC = GetDrawingDC(&ignored);
    if (sourceDC && destinationDC)
        BlitRect(sourceDC, destinationDC, from, target, rasterOperation);
    else if (Q_Offscreen* pixels = PixelPort(source))
        pixels->LockedScaledPixelCopy(this, from, target);
    ReleaseDrawingDC(destinationDC);
    source->ReleaseDrawingDC(sourceDC);
}

void Q_Offscreen::MaskedPortCopy(PortBase* source, PortBase* mask, const PortRect& from,
                                 const PortRect& target)
{
    PortRect ignored;
    HDC destinationDC = GetDrawingDC(&ignored);
    HDC sourceDC = source->GetDrawingDC(&ignored);
    HDC maskDC = mask->GetDrawingDC(&ignored);
    if (destinationDC && sourceDC && maskDC) MaskedCopy(sourceDC, destinationDC, maskDC, from, target, from);
    mask->ReleaseDrawingDC(maskDC);
    source->ReleaseDrawingDC(sourceDC);
    ReleaseDrawingDC(destinationDC);
}
