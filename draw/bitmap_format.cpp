// The pixel format reader and the pixel memory probe.
#include "draw/bitmap_format.h"

#include <windows.h>

#include "draw/q_offscreen.h"
#include "foundation/dynamic_array.h"

int32_t ReadBitmapFormat(Q_Offscreen* offscreen, HDC /*dc*/, HBITMAP bitmap)
{
    PixelFormat& format = offscreen->Format();
    DIBSECTION section{};
    if (bitmap && GetObjectA(bitmap, sizeof section, &section)) {
        format.width = section.dsBm.bmWidth;
        format.height = section.dsBm.bmHeight;
        format.rowBytes = section.dsBm.bmWidthBytes;
        format.planes = section.dsBm.bmPlanes;
        format.bitsPerPixel = section.dsBm.bmBitsPixel;
    } else {
        PortRect bounds;
        offscreen->GetBounds(&bounds);
        format.width = bounds.right;
        format.height = bounds.bottom;
        format.rowBytes = format.width / 8;
        format.planes = 1;
        format.bitsPerPixel = 1;
    }
    format.pixelBits = offscreen->DibBits();
    format.pixelAccess = 0;
    format.rowTable = nullptr;
    if (!format.pixelBits) return 0;

    format.formatWords[0] = format.formatWords[1] = format.formatWords[2] = 0;
    if (!format.rowTableArray) format.rowTableArray = NewDynamicArray(0, sizeof(uint8_t*), 1);
    // Without a row for every pixel row there is no direct access.
    if (!format.rowTableArray || format.rowTableArray->ArraySetCount(format.height) != kResultOk)
        return 0;
    format.rowTable = format.rowTableArray->Elements<uint8_t*>();
    const int32_t stride = format.rowBytes * format.planes;
    for (int32_t row = 0; row < format.height; ++row)
        format.rowTable[row] = row == 0 ? format.pixelBits : format.rowTable[row - 1] + stride;
    format.pixelAccess = 1;
    return 1;
}

int32_t ProbePixelMemory(HDC dc, int32_t x, int32_t y, int32_t count, uint8_t* start)
{
    for (int32_t i = 0; i < count; ++i) {
        volatile uint8_t* byte = start + i;
        if (IsBadWritePtr(const_cast<uint8_t*>(byte), 1)) return 0;
        const uint8_t remembered = *byte;
        SetPixel(dc, x, y, RGB(0, 0, 0));
        GdiFlush();
        if (*byte != remembered) return 1;
        SetPixel(dc, x, y, RGB(255, 255, 255));
        GdiFlush();
        if (*byte != remembered) return 1;
    }
    return 0;
}
