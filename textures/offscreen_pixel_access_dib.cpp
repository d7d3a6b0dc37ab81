// OffscreenPixelAccess: the picture readers' and writer's rows moved in and out of the
// offscreen's DIB section by the system's bitmap calls.
#include "textures/offscreen_pixel_access.h"

#include <windows.h>

#include "draw/q_offscreen.h"

ResultCode OffscreenPixelAccess::Begin(Q_Offscreen* offscreen)
{
    if (!offscreen) return kResultFailed;
    PortRect bounds;
    HDC dc = offscreen->GetDrawingDC(&bounds);
    HBITMAP section = offscreen->OffscreenBitmap();
    if (!dc || !section || !offscreen->PortOldBitmap()) {
        if (dc) offscreen->ReleaseDrawingDC(dc);
        return kResultFailed;
    }
    IgnoreResult(offscreen->Lock());
    // The bitmap calls need the DIB section out of every DC.
    if (SelectObject(dc, offscreen->PortOldBitmap()) != section) {
        SelectObject(dc, section);
        offscreen->Unlock();
        offscreen->ReleaseDrawingDC(dc);
        return kResultFailed;
    }
    offscreen_ = offscreen;
    dc_ = dc;
    bitmap_ = section;
    return kResultOk;
}

void OffscreenPixelAccess::End()
{
    if (!offscreen_) return;
    SelectObject(dc_, bitmap_);
    offscreen_->Unlock();
    offscreen_->ReleaseDrawingDC(dc_);
    offscreen_ = nullptr;
    dc_ = nullptr;
    bitmap_ = nullptr;
}

ResultCode OffscreenPixelAccess::PutRows(int32_t first, int32_t count, const uint8_t* bits,
                                         const DibHeaderBlock& header)
{
    if (!offscreen_) return kResultFailed;
    const int stored = SetDIBits(dc_, bitmap_, UINT(first), UINT(count), bits,
                                 reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS);
    return stored == count ? kResultOk : kResultFailed;
}

int32_t OffscreenPixelAccess::GetRow(int32_t line, uint8_t* row, DibHeaderBlock* header)
{
    if (!offscreen_) return 0;
    return GetDIBits(dc_, bitmap_, UINT(line), 1, row, reinterpret_cast<BITMAPINFO*>(header), DIB_RGB_COLORS);
}
