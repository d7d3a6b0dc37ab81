// The offscreen: its bitmap per depth, initialisation, resizing, locking, publication to the
// rasterizers, pixels and disposal.
#include "draw/q_offscreen.h"

#include <windows.h>

#include "draw/bitmap_format.h"
#include "draw/current_port.h"
#include "draw/device_list.h"
#include "draw/primitives.h"
#include "draw/raster_procs.h"
#include "draw/screen_caps.h"
#include "foundation/dynamic_array.h"
#include "foundation/loop_turns.h"
#include "foundation/ui_services.h"

Q_Offscreen* SharedOffscreen = nullptr;
Q_Offscreen* StartupOffscreen = nullptr;

namespace {

// The turns that making an offscreen counts: a memory DC and a bitmap section of the system's,
// selected into it, deleted again with it; 27 to 29 us under Wine (picture-bench), at 13 ns a turn
// (the typical turn of an honest read, system-weights).
constexpr int64_t kOffscreenTurns = 2200;

// Bitmap rows hold whole multiples of 32 pixels with at least 8 pixels to spare past the bounds,
// so that the rasterizers may write whole 32-bit words past the right edge of a span.
constexpr int32_t kRowPixelMultiple = 32;
constexpr int32_t kRowSparePixels = 8;

constexpr int32_t PaddedRowPixels(int32_t width)
{
    return (width + kRowSparePixels + kRowPixelMultiple - 1) & ~(kRowPixelMultiple - 1);
}

}  // namespace

HBITMAP CreateOffscreenDIB(HDC dc, int32_t depth, int32_t width, int32_t height, uint8_t** bits)
{
    struct {
        BITMAPINFOHEADER header;
        union {
            RGBQUAD colors[2];
            WORD indices[256];
        };
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = -height;
    info.header.biPlanes = 1;
    info.header.biCompression = BI_RGB;
    UINT usage = DIB_RGB_COLORS;

    const int32_t screen = OffscreenScreenDepth();
    if (screen >= 9) {
        info.header.biBitCount = WORD(screen);
    } else {
        const int32_t effective = depth > screen || depth < 1 ? screen : depth;
        info.header.biBitCount = WORD(effective);
        if (effective == 1) {
            info.header.biClrUsed = 2;
            info.colors[0] = {0, 0, 0, 0};
            info.colors[1] = {255, 255, 255, 0};
        } else if (effective == 4 || effective == 8) {
            info.header.biClrUsed = 1u << effective;
            for (WORD i = 0; i < info.header.biClrUsed; ++i) info.indices[i] = i;
            usage = DIB_PAL_COLORS;
        } else {
            *bits = nullptr;
            return nullptr;
        }
    }
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), usage, &pixels, nullptr, 0);
    *bits = bitmap ? static_cast<uint8_t*>(pixels) : nullptr;
    return bitmap;
}

Q_Offscreen::~Q_Offscreen()
{
    ReleaseGraphics();
    DestroyArray(format_.rowTableArray);
    if (SharedOffscreen == this) SharedOffscreen = nullptr;
    if (StartupOffscreen == this) StartupOffscreen = nullptr;
}

void Q_Offscreen::ReleaseGraphics()
{
    // A locked offscreen gives back the objects it displaced and the current port it replaced.
    if (savedBrush_)
        RestorePortObjects();
    else if (dc_ && GetPort() == dc_)
        SetPort(nullptr);
    UnlockChannelTables();
    if (PublishedOffscreen == this) {
        PublishedRaster = RasterGlobals();
        PublishedOffscreen = nullptr;
    }
    if (dc_) {
        HGDIOBJ current = oldBitmap_ ? SelectObject(dc_, oldBitmap_) : nullptr;
        if (current && current != oldBitmap_) DeleteObject(current);
        DeleteDC(dc_);
    }
    dc_ = nullptr;
    oldBitmap_ = nullptr;
    bitmap_ = nullptr;
    dibBits_ = nullptr;
    format_.pixelBits = nullptr;
    format_.rowTable = nullptr;
    format_.pixelAccess = 0;
    if (deviceFlag_) {
        DestroyArray(match_.matchCache);
        DestroyArray(match_.colorTable);
        DestroyArray(match_.redTable);
        DestroyArray(match_.greenTable);
        DestroyArray(match_.blueTable);
    }
    match_ = ColorMatchBlock();
}

void Q_Offscreen::ResetFields(int32_t depth)
{
    ReleaseGraphics();
    InitPortFields(kPortOffscreen);
    lockCount_ = 0;
    sized_ = 0;
    link_ = nullptr;
    deviceFlag_ = 0;
    rasterizers_ = 0;
    depth_ = depth;
}

void Q_Offscreen::SelectBitmap(HBITMAP bitmap, uint8_t* bits)
{
    HGDIOBJ replaced = SelectObject(dc_, bitmap);
    if (!oldBitmap_)
        oldBitmap_ = static_cast<HBITMAP>(replaced);
    else if (replaced && replaced != oldBitmap_)
        DeleteObject(replaced);
    bitmap_ = bitmap;
    dibBits_ = bits;
}

ResultCode Q_Offscreen::QOffscreenInit(const PortRect& rect, int32_t depth, const RGBColor48* fill)
{
    ResetFields(depth);
    globalRect_ = rect;
    destRect_ = rect;
    bounds_ = {0, 0, rect.Width(), rect.Height()};

    // A memory DC compatible with the screen, made without taking the screen's own DC: each take
    // is a round trip to the window system, dear for a texture table's thousands of pictures.
    CountTurns(kOffscreenTurns);
    dc_ = CreatePortMemoryDC(nullptr);
    if (!dc_) return kResultFailed;

    // The bitmap is made once, at its size: each one is a mapping of the system's, dear to make
    // by the thousand (a texture table's pictures).
    const ResultCode result = OffscreenResize({0, 0, rect.Width(), rect.Height()});
    if (result == kResultOk && fill) {
        IgnoreResult(Lock());
        PenPat(1);
        RGBForeColor(*fill);
        PaintRectPolygon(bounds_);
        RGBForeColor(kBlackColor);
        Unlock();
    }
    if (result == kResultOk && depth == -1) depth_ = Depth();
    return result;
}

ResultCode Q_Offscreen::OffscreenResize(const PortRect& rect)
{
    if (lockCount_ > 0) ShowAlert("Q_Offscreen is locked in Resize().");
    if (deviceFlag_) return kResultFailed;
    sized_ = 1;
    globalRect_ = rect;
    bounds_ = {0, 0, rect.Width(), rect.Height()};

    const int32_t w = rect.Width() < 2 ? 1 : rect.Width();
    const int32_t h = rect.Height() < 2 ? 1 : rect.Height();
    uint8_t* bits = nullptr;
    HBITMAP bitmap = CreateOffscreenDIB(dc_, depth_, PaddedRowPixels(w), h, &bits);
    ResultCode result = kResultOk;
    if (bitmap) {
        SelectBitmap(bitmap, bits);
    } else {
        // The previous bitmap stays in the DC; its pixels are no longer this offscreen's.
        result = kResultFailed;
        bitmap_ = nullptr;
        dibBits_ = nullptr;
    }

    rasterizers_ = 0;
    if (ReadBitmapFormat(this, dc_, bitmap_)) {
        rasterizers_ = SelectRasterProcs();
        UnlockChannelTables();
    }
    PublishRasterGlobals();
    UnpublishRasterGlobals();
    return result;
}

ResultCode Q_Offscreen::OffscreenFromPort(HDC reference)
{
    ResetFields(0);
    dc_ = CreatePortMemoryDC(reference);
    if (!dc_) return kResultFailed;
    uint8_t* bits = nullptr;
    HBITMAP bitmap = CreateOffscreenDIB(dc_, 0, 32, 32, &bits);
    if (bitmap) SelectBitmap(bitmap, bits);
    // The device the memory DC draws for gives the size and the depth.
    const ScreenCaps device = ReadDeviceCaps(dc_);
    bounds_ = {0, 0, device.width, device.height};
    globalRect_ = bounds_;
    destRect_ = bounds_;
    sized_ = 1;
    depth_ = device.planes * device.bitsPerPixel;
    ReadBitmapFormat(this, dc_, bitmap_);
    deviceFlag_ = 1;
    return bitmap ? kResultOk : kResultFailed;
}

ResultCode Q_Offscreen::PortToNewOffscreen(PortBase* port)
{
    PortRect bounds;
    port->GetBounds(&bounds);
    const ResultCode result = QOffscreenInit(bounds, -1, nullptr);
    if (result != kResultOk) return result;
    // The port first, so that this offscreen is the current port that EraseRect clears.
    IgnoreResult(port->Lock());
    IgnoreResult(Lock());
    if (port->IsSized() == 1) {
        EraseRect(bounds_);
        CopyPortToOffscreen(port, bounds, bounds);
    }
    Unlock();
    port->Unlock();
    return kResultOk;
}

ResultCode Q_Offscreen::Activate()
{
    if (SharedOffscreen && SharedOffscreen != this) SharedOffscreen->DisposeOffscreen();
    SharedOffscreen = this;
    return Lock();
}

ResultCode Q_Offscreen::Deactivate()
{
    if (SharedOffscreen == this) SharedOffscreen = nullptr;
    Unlock();
    return kResultOk;
}

int32_t Q_Offscreen::Depth()
{
    return deviceFlag_ ? OffscreenScreenDepth() : ScreenDepth();
}

HDC Q_Offscreen::GetDrawingDC(PortRect* rect)
{
    *rect = bounds_;
    return dc_;
}

ResultCode Q_Offscreen::Lock()
{
    if (++lockCount_ == 1) {
        SelectPortObjects();
        SetPort(dc_);
        PublishRasterGlobals();
    }
    RGBForeColor(kBlackColor);
    RGBBackColor(kWhiteColor);
    return kResultOk;
}

void Q_Offscreen::Unlock()
{
    if (lockCount_ == 0) return;
    if (--lockCount_ == 0) {
        RestorePortObjects();
        UnpublishRasterGlobals();
    }
}

int32_t Q_Offscreen::GetRowStride()
{
    return format_.rowBytes * format_.planes;
}

void Q_Offscreen::GetPixelColor(RGBColor48* colour, int32_t x, int32_t y)
{
    const COLORREF c = GetPixel(dc_, x, y);
    *colour = {uint16_t(GetRValue(c) * 257), uint16_t(GetGValue(c) * 257), uint16_t(GetBValue(c) * 257)};
}

int32_t Q_Offscreen::IndexColours(RGBColor48* colours) const
{
    RGBQUAD table[kIndexColours];
    const UINT count = dc_ && bitmap_ ? GetDIBColorTable(dc_, 0, kIndexColours, table) : 0;
    for (UINT i = 0; i < count; ++i)
        colours[i] = {uint16_t(table[i].rgbRed * 257), uint16_t(table[i].rgbGreen * 257), uint16_t(table[i].rgbBlue * 257)};
    return int32_t(count);
}

void Q_Offscreen::SetPixelColor(int32_t x, int32_t y, const RGBColor48& colour)
{
    SetPixel(dc_, x, y, PALETTERGB(colour.red >> 8, colour.green >> 8, colour.blue >> 8));
}

uint8_t** Q_Offscreen::GetRowTable()
{
    return format_.rowTable;
}

uint8_t* Q_Offscreen::GetPixelBits()
{
    return format_.pixelBits;
}

ResultCode Q_Offscreen::InitNoFill(const PortRect& rect, int32_t depth, DynamicArray* /*table*/)
{
    return QOffscreenInit(rect, depth, nullptr);
}

int32_t Q_Offscreen::PublishRasterGlobals()
{
    // Whatever the system drew into the bitmap lands before the rasterizers write to it.
    GdiFlush();
    PublishedOffscreen = this;
    static_cast<PixelFormat&>(PublishedRaster) = format_;
    return SelectRasterProcs();
}

void Q_Offscreen::UnpublishRasterGlobals()
{
    UnlockChannelTables();
    PublishedRaster.redTable = nullptr;
    PublishedRaster.greenTable = nullptr;
    PublishedRaster.blueTable = nullptr;
}

void Q_Offscreen::LockChannelTables()
{
    if (!match_.redTable || !match_.greenTable || !match_.blueTable) {
        PublishedRaster.redTable = PublishedRaster.greenTable = PublishedRaster.blueTable = nullptr;
        return;
    }
    if (!tablesLocked_) {
        match_.redTable->ArrayLock();
        match_.greenTable->ArrayLock();
        match_.blueTable->ArrayLock();
        tablesLocked_ = true;
    }
    PublishedRaster.redTable = match_.redTable->Elements<uint32_t>();
    PublishedRaster.greenTable = match_.greenTable->Elements<uint32_t>();
    PublishedRaster.blueTable = match_.blueTable->Elements<uint32_t>();
}

void Q_Offscreen::UnlockChannelTables()
{
    if (!tablesLocked_) return;
    match_.redTable->ArrayUnlock();
    match_.greenTable->ArrayUnlock();
    match_.blueTable->ArrayUnlock();
    tablesLocked_ = false;
}

int32_t Q_Offscreen::SelectRasterProcs()
{
    if (deviceFlag_) {
        LockChannelTables();
        return 0;
    }
    UnlockChannelTables();
    match_ = ColorMatchBlock();
    LockChannelTables();
    if (!format_.pixelAccess) return 0;
    // The lookup gives a rectangle without height (or else without width) a row (a column).
    const Q_Offscreen* device = PlaceNewWindow(&globalRect_);
    if (!device || !device->format_.pixelAccess) return 0;
    match_ = device->match_;
    LockChannelTables();

    const RasterProcSet* set = ChooseRasterSet(format_.planes, format_.bitsPerPixel);
    if (!set) return 0;
    RasterProcs = *set;
    return 1;
}
