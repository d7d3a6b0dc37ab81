// The port base, the drawing-mode switches, prepared DCs and block transfers.
#include "draw/port_base.h"

#include <windows.h>

#include "draw/color_cube.h"
#include "draw/current_port.h"
#include "draw/program_palette.h"
#include "draw/screen_caps.h"

static_assert(sizeof(PortRect) == sizeof(RECT), "PortRect mirrors RECT");

namespace {

int32_t gDirectPixelDrawing = 0;
int32_t gGdiOnlyDrawing = 0;
// The palette displaced by the last PrepareWindowDC or CreatePortMemoryDC.
HPALETTE gSavedPalette = nullptr;

void PrepareDC(HDC dc)
{
    if (ProgramPalette) {
        gSavedPalette = SelectPalette(dc, ProgramPalette, TRUE);
        RealizePalette(dc);
    }
    SetPolyFillMode(dc, WINDING);
    SetROP2(dc, R2_COPYPEN);
}

}  // namespace

void PortBase::SetPortDepth(int32_t depth)
{
    depth_ = GetScreenCaps().blockTransfer ? depth : 0;
}

void PortBase::SelectPortObjects()
{
    savedBrush_ = static_cast<HBRUSH>(SelectObject(dc_, GetStockObject(BLACK_BRUSH)));
    savedPen_ = static_cast<HPEN>(SelectObject(dc_, GetStockObject(BLACK_PEN)));
    savedFont_ = static_cast<HFONT>(SelectObject(dc_, GetStockObject(SYSTEM_FONT)));
    if (ProgramPalette) savedPalette_ = SelectPalette(dc_, ProgramPalette, FALSE);
    savedPort_ = GetPort();
}

void PortBase::RestorePortObjects()
{
    if (savedBrush_) DeleteObject(SelectObject(dc_, savedBrush_));
    if (savedPen_) DeleteObject(SelectObject(dc_, savedPen_));
    if (savedFont_) SelectObject(dc_, savedFont_);
    if (savedPalette_) SelectPalette(dc_, savedPalette_, TRUE);
    savedBrush_ = nullptr;
    savedPen_ = nullptr;
    savedFont_ = nullptr;
    savedPalette_ = nullptr;
    SetPort(savedPort_);
}

int32_t PortBase::LockedColorCubeIndex(const RGBColor48& colour)
{
    IgnoreResult(Lock());
    const int32_t index = ColorCubeIndex(colour);
    Unlock();
    return index;
}

int32_t SetDirectPixelDrawing(int32_t flag)
{
    const int32_t previous = gDirectPixelDrawing;
    gDirectPixelDrawing = flag;
    return previous;
}

int32_t GetDirectPixelDrawing()
{
    return gDirectPixelDrawing;
}

int32_t SetGdiOnlyDrawing(int32_t flag)
{
    const int32_t previous = gGdiOnlyDrawing;
    gGdiOnlyDrawing = flag;
    return previous;
}

int32_t GetGdiOnlyDrawing()
{
    return gGdiOnlyDrawing;
}

HDC PrepareWindowDC(HWND window)
{
    HDC dc = GetDC(window);
    PrepareDC(dc);
    return dc;
}

HDC CreatePortMemoryDC(HDC reference)
{
    HDC dc = CreateCompatibleDC(reference);
    PrepareDC(dc);
    return dc;
}

void ReleasePortDC(HWND window, HDC dc)
{
    if (gSavedPalette) SelectPalette(dc, gSavedPalette, TRUE);
    ReleaseDC(window, dc);
}

void BlitRect(HDC sourceDC, HDC destinationDC, const PortRect& source, const PortRect& destination,
              uint32_t rasterOperation)
{
    if (source.Width() == destination.Width() && source.Height() == destination.Height()) {
        BitBlt(destinationDC, destination.left, destination.top, destination.Width(),
               destination.Height(), sourceDC, source.left, source.top, rasterOperation);
        return;
    }
    const int previousMode = SetStretchBltMode(destinationDC, COLORONCOLOR);
    StretchBlt(destinationDC, destination.left, destination.top, destination.Width(),
               destination.Height(), sourceDC, source.left, source.top, source.Width(),
               source.Height(), rasterOperation);
    SetStretchBltMode(destinationDC, previousMode);
}

void MaskedCopy(HDC sourceDC, HDC destinationDC, HDC maskDC, const PortRect& source,
                const PortRect& destination, const PortRect& mask)
{
    constexpr DWORD kSourceAndNotMask = 0x220326;  // DSna
    const int32_t w = destination.Width();
    const int32_t h = destination.Height();
    const PortRect scratch = {0, 0, w, h};

    HDC screen = GetDC(nullptr);
    HBITMAP a = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    HBITMAP b = CreateCompatibleBitmap(destinationDC, w, h);
    if (a && b) {
        HDC dcA = CreateCompatibleDC(destinationDC);
        HDC dcB = CreateCompatibleDC(destinationDC);
        HGDIOBJ previousA = SelectObject(dcA, a);
        HGDIOBJ previousB = SelectObject(dcB, b);
        BlitRect(sourceDC, dcA, source, scratch, SRCCOPY);
        BlitRect(destinationDC, dcB, destination, scratch, SRCCOPY);
        BlitRect(maskDC, dcB, mask, scratch, SRCAND);
        BlitRect(maskDC, dcA, mask, scratch, kSourceAndNotMask);
        BitBlt(dcB, 0, 0, w, h, dcA, 0, 0, SRCPAINT);
        BlitRect(dcB, destinationDC, scratch, destination, SRCCOPY);
        SelectObject(dcA, previousA);
        SelectObject(dcB, previousB);
        DeleteDC(dcA);
        DeleteDC(dcB);
    }
    if (a) DeleteObject(a);
    if (b) DeleteObject(b);
}
